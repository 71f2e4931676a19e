#include "engine/BlockArithmetic.h"

#include "engine/Signature.h"

namespace {

constexpr int64_t Header10 = static_cast<int64_t>(SignatureFixedLength);

std::optional<TBlockSizing> SizeForCount(int64_t F, uint16_t K, int64_t h) {
    if (F < 1 || K < 2)
        return std::nullopt;
    const int64_t T = F + h;
    TBlockSizing sizing;
    sizing.blockSize = T / K + T % K;
    sizing.blockCount = CountBlocksWithHeader(F, sizing.blockSize, h);
    sizing.lastBlock = LastBlockSizeWithHeader(F, sizing.blockSize, h);
    return sizing;
}

std::optional<TBlockSizing> SizeForTime(int64_t F, int64_t hours, int64_t minutes, int64_t seconds,
                                        int64_t speed, int64_t h) {
    if (F < 1 || speed < 1)
        return std::nullopt;
    int64_t hourSeconds = 0;
    int64_t minuteSeconds = 0;
    int64_t totalSeconds = 0;
    int64_t bits = 0;
    // Times and speeds past what 64 bits hold give no block size rather than a wrapped one.
    if (__builtin_mul_overflow(hours, int64_t{3600}, &hourSeconds) ||
        __builtin_mul_overflow(minutes, int64_t{60}, &minuteSeconds) ||
        __builtin_add_overflow(hourSeconds, minuteSeconds, &totalSeconds) ||
        __builtin_add_overflow(totalSeconds, seconds, &totalSeconds) || totalSeconds < 0 ||
        __builtin_mul_overflow(totalSeconds, speed, &bits))
        return std::nullopt;
    TBlockSizing sizing;
    sizing.blockSize = bits / 8 + bits % 8;
    sizing.blockCount = CountBlocksWithHeader(F, sizing.blockSize, h);
    sizing.lastBlock = LastBlockSizeWithHeader(F, sizing.blockSize, h);
    return sizing;
}

} // namespace

int64_t Signature110Overhead(int64_t n, int64_t m) {
    return Header10 + n + m;
}

int64_t CountBlocksWithHeader(int64_t F, int64_t B, int64_t h) {
    if (F < 0 || B < 1)
        return 0;
    const int64_t T = F + h;
    // An empty file still makes one (empty) piece, as Split writes it.
    if (T == 0)
        return 1;
    return T / B + (T % B != 0 ? 1 : 0);
}

int64_t LastBlockSizeWithHeader(int64_t F, int64_t B, int64_t h) {
    if (F < 0 || B < 1)
        return 0;
    const int64_t T = F + h;
    if (T == 0 || B >= T)
        return 0;
    const int64_t rest = T % B;
    return rest == 0 ? B : rest;
}

int64_t CountBlocks(int64_t F, int64_t B) {
    return CountBlocksWithHeader(F, B, 0);
}
int64_t CountBlocks10(int64_t F, int64_t B) {
    return CountBlocksWithHeader(F, B, Header10);
}
int64_t CountBlocks(int64_t F, int64_t B, int64_t n, int64_t m) {
    return CountBlocksWithHeader(F, B, Signature110Overhead(n, m));
}

int64_t LastBlockSize(int64_t F, int64_t B) {
    return LastBlockSizeWithHeader(F, B, 0);
}
int64_t LastBlockSize10(int64_t F, int64_t B) {
    return LastBlockSizeWithHeader(F, B, Header10);
}
int64_t LastBlockSize(int64_t F, int64_t B, int64_t n, int64_t m) {
    return LastBlockSizeWithHeader(F, B, Signature110Overhead(n, m));
}

std::optional<TBlockSizing> BlockSizeForCount(int64_t F, uint16_t K) {
    return SizeForCount(F, K, 0);
}
std::optional<TBlockSizing> BlockSizeForCount10(int64_t F, uint16_t K) {
    return SizeForCount(F, K, Header10);
}
std::optional<TBlockSizing> BlockSizeForCount(int64_t F, uint16_t K, int64_t n, int64_t m) {
    return SizeForCount(F, K, Signature110Overhead(n, m));
}

std::optional<TBlockSizing> BlockSizeForTime(int64_t F, int64_t hours, int64_t minutes,
                                             int64_t seconds, int64_t speed) {
    return SizeForTime(F, hours, minutes, seconds, speed, 0);
}
std::optional<TBlockSizing> BlockSizeForTime10(int64_t F, int64_t hours, int64_t minutes,
                                               int64_t seconds, int64_t speed) {
    return SizeForTime(F, hours, minutes, seconds, speed, Header10);
}
std::optional<TBlockSizing> BlockSizeForTime(int64_t F, int64_t hours, int64_t minutes,
                                             int64_t seconds, int64_t speed, int64_t n, int64_t m) {
    return SizeForTime(F, hours, minutes, seconds, speed, Signature110Overhead(n, m));
}
