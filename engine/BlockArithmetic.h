#pragma once

#include <cstdint>
#include <optional>

// How a whole file of F bytes falls into blocks of B bytes when the first block
// also carries a header of h bytes. Each function comes in three variants:
// plain (h = 0: DOS- and WinSplit-compatible sets), "10" (h = 34: version 1.0
// signature) and with the extension and comment lengths n and m (h = 34 + n + m:
// version 1.1 signature; a self-joining caller adds the stub length to F).
// All arithmetic is 64-bit. These are the window's preview of what Split does
// and agree with it exactly.

// Signature overhead of the version 1.1 header for extension and comment lengths.
int64_t Signature110Overhead(int64_t n, int64_t m);

// Blocks for F data bytes plus a header of h bytes: 0 when F < 0 or B < 1;
// otherwise ceil((F + h) / B), and at least 1: an empty file still makes one
// block, the header alone or, without a header, an empty piece.
int64_t CountBlocksWithHeader(int64_t F, int64_t B, int64_t h);
// Size of the last block: 0 when the count above is 0 or everything fits in one
// block (B >= F + h); otherwise (F + h) mod B, or B when that is 0.
int64_t LastBlockSizeWithHeader(int64_t F, int64_t B, int64_t h);

int64_t CountBlocks(int64_t F, int64_t B);
int64_t CountBlocks10(int64_t F, int64_t B);
int64_t CountBlocks(int64_t F, int64_t B, int64_t n, int64_t m);

int64_t LastBlockSize(int64_t F, int64_t B);
int64_t LastBlockSize10(int64_t F, int64_t B);
int64_t LastBlockSize(int64_t F, int64_t B, int64_t n, int64_t m);

// A block size derived from a wanted count or a transfer time, with what it gives.
struct TBlockSizing {
    int64_t blockSize = 0;
    int64_t blockCount = 0;
    int64_t lastBlock = 0;
};

// Block size for at most K blocks: T div K + T mod K with T = F + h, so that K
// blocks always hold the whole file (fewer may result). Nothing (nullopt) when
// F < 1 or K < 2.
std::optional<TBlockSizing> BlockSizeForCount(int64_t F, uint16_t K);
std::optional<TBlockSizing> BlockSizeForCount10(int64_t F, uint16_t K);
std::optional<TBlockSizing> BlockSizeForCount(int64_t F, uint16_t K, int64_t n, int64_t m);

// Block size that one transfer of the given time at `speed` bits per second
// moves: b = (hours * 3600 + minutes * 60 + seconds) * speed bits, block size
// b div 8 + b mod 8 bytes. Nothing when F < 1 or speed < 1 (or the time is
// negative). The product is 64-bit, so long times at high speeds do not wrap.
std::optional<TBlockSizing> BlockSizeForTime(int64_t F, int64_t hours, int64_t minutes,
                                             int64_t seconds, int64_t speed);
std::optional<TBlockSizing> BlockSizeForTime10(int64_t F, int64_t hours, int64_t minutes,
                                               int64_t seconds, int64_t speed);
std::optional<TBlockSizing> BlockSizeForTime(int64_t F, int64_t hours, int64_t minutes,
                                             int64_t seconds, int64_t speed, int64_t n, int64_t m);
