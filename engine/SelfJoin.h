#pragma once

#include <cstdint>
#include <string>

// Length in bytes of the executable image at the start of the file at `path`:
// the end of its ELF section header table or of its last segment, whichever is
// later. A self-joining first piece is that image followed by the signature, so
// this is where the signature starts. Returns 0 when the file does not start
// with an ELF image.
int64_t StubLengthOf(const std::string& path);
