#pragma once

#include "engine/Signature.h"

#include <cstdint>
#include <optional>
#include <string>

// The signature stored in an open piece at `offset` (after a stub), read with
// pread so the file position is left alone. Nothing when the bytes there are no
// whole signature; a read error throws EEngineError naming `path`.
std::optional<TSignature> ReadSignatureAt(int fd, int64_t offset, const std::string& path);

// The whole content of a small text file (at most `limit` bytes are read).
std::string ReadSmallFile(const std::string& path, std::size_t limit);
