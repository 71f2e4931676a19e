#pragma once

#include "engine/Signature.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

// A broken property is a finding: abort so that libFuzzer keeps the input and
// prints the stack, in every build type (assert would vanish under NDEBUG).
#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

inline bool SameSignature(const TSignature& a, const TSignature& b) {
    return a.version == b.version && a.flag == b.flag && a.wholeFileSize == b.wholeFileSize &&
           a.attributes == b.attributes && a.creationTime == b.creationTime &&
           a.lastAccessTime == b.lastAccessTime && a.lastWriteTime == b.lastWriteTime &&
           a.blockCount == b.blockCount && a.extension == b.extension && a.comment == b.comment;
}

inline bool SameSignature(const std::optional<TSignature>& a, const std::optional<TSignature>& b) {
    if (a.has_value() != b.has_value())
        return false;
    return !a || SameSignature(*a, *b);
}
