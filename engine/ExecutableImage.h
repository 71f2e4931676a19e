#pragma once

// Plain standard C++ only: both stubs, the Linux and the Windows one, compile
// this file on its own.

#include <cstddef>
#include <cstdint>
#include <functional>

// Reads exactly `length` bytes at `offset` into `buffer`; false on a short read.
using TImageReader = std::function<bool(uint64_t offset, unsigned char* buffer, size_t length)>;

// Length in bytes of the program image at the start of a file of `fileSize`
// bytes that `read` gives access to: for an ELF image the end of its section
// header table or of its last segment or section, whichever is later; for a
// Windows (PE) image the end of its headers, its sections' raw data, its COFF
// symbols and its certificate table, whichever is later. A self-joining first
// piece is that image followed by the signature, so this is where the
// signature starts. Only the headers are read, each read bounded by the file.
// Returns 0 when the file does not start with a whole image of either kind.
uint64_t ExecutableImageLength(const TImageReader& read, uint64_t fileSize);
