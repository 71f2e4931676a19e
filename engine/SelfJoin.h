#pragma once

#include <cstdint>
#include <string>

// Length in bytes of the program image, Linux (ELF) or Windows (PE), at the
// start of the file at `path` (see ExecutableImageLength). A self-joining first
// piece is that image followed by the signature, so this is where the
// signature starts. Returns 0 when the file does not start with such an image.
int64_t StubLengthOf(const std::string& path);
