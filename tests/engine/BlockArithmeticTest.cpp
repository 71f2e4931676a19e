#include "engine/BlockArithmetic.h"

#include <gtest/gtest.h>

// A last block of 0 means one block holds everything; an empty file still
// makes one (empty) piece, as Split writes it.
TEST(BlockArithmeticTest, CountsAtTheEdgesAndBlockSizesForACountOrTime) {
    const int64_t fiveGiB = int64_t{5} << 30;
    const struct {
        int64_t F, B, h, count, last;
    } cases[] = {
        {3000000, 1457664, 38, 3, 84710}, // ".dat", no comment
        {3000000, 1457664, 0, 3, 84672},
        {200 - 38, 100, 38, 2, 100}, // exactly two blocks: the last is full
        {201 - 38, 100, 38, 3, 1},
        {62, 100, 38, 1, 0},
        {100, 100, 0, 1, 0},
        {101, 100, 0, 2, 1},
        {0, 100, 0, 1, 0},
        {0, 100, 38, 1, 0},
        {-1, 100, 0, 0, 0},
        {100, 0, 0, 0, 0},
        {100, -5, 36, 0, 0},
        {fiveGiB, 1457664, 0, fiveGiB / 1457664 + 1, fiveGiB % 1457664},
        {fiveGiB, int64_t{1} << 30, 0, 5, 1 << 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.F) + " / " + std::to_string(c.B) + " + " +
                     std::to_string(c.h));
        EXPECT_EQ(CountBlocksWithHeader(c.F, c.B, c.h), c.count);
        EXPECT_EQ(LastBlockSizeWithHeader(c.F, c.B, c.h), c.last);
    }
    // The headers of the variants: none, 34 bytes, and 34 + n + m.
    EXPECT_EQ(LastBlockSize(3000000, 1457664), 84672);
    EXPECT_EQ(CountBlocks(3000000, 1457664), 3);
    EXPECT_EQ(LastBlockSize10(3000000, 1457664), 3000034 - 2 * 1457664);
    EXPECT_EQ(CountBlocks10(0, 100), 1);
    EXPECT_EQ(LastBlockSize(3000000, 1457664, 4, 0), 84710);
    EXPECT_EQ(CountBlocks(201 - 38, 100, 4, 0), 3);

    // T = 107 (plain variant with F = 107), K = 10: 10 + 7 = 17, which makes 7 blocks.
    const auto facts = [](const TBlockSizing& s) {
        return std::tuple(s.blockSize, s.blockCount, s.lastBlock);
    };
    EXPECT_EQ(facts(BlockSizeForCount(107, 10).value()), std::tuple(17, 7, 5));
    // Version 1.1 with n = 4, m = 0: T = 69 + 38 = 107 as well.
    EXPECT_EQ(BlockSizeForCount(69, 10, 4, 0).value().blockSize, 17);
    EXPECT_EQ(BlockSizeForCount10(73, 10).value().blockSize, 17);
    EXPECT_FALSE(BlockSizeForCount(0, 10));
    EXPECT_FALSE(BlockSizeForCount(100, 1));
    // K blocks of that size always hold the file.
    for (int64_t F : {1, 2, 99, 1000, 65537, 3000000})
        for (uint16_t K : {2, 3, 7, 100, 65535}) {
            const TBlockSizing s = BlockSizeForCount(F, K, 4, 3).value();
            EXPECT_TRUE(s.blockCount <= K && s.blockSize * K >= F + 41) << F << " " << K;
        }

    // One minute at 28,800 bits per second: 1,728,000 bits, 216,000 bytes.
    EXPECT_EQ(facts(BlockSizeForTime(3000000, 0, 1, 0, 28800).value()),
              std::tuple(216000, CountBlocks(3000000, 216000), LastBlockSize(3000000, 216000)));
    // The remainder of the division by 8 is added: 1 s at 13 bit/s = 1 + 5.
    EXPECT_EQ(BlockSizeForTime(100, 0, 0, 1, 13).value().blockSize, 6);
    EXPECT_EQ(BlockSizeForTime(3000000, 0, 1, 0, 28800, 4, 0).value().blockCount,
              CountBlocks(3000000, 216000, 4, 0));
    EXPECT_FALSE(BlockSizeForTime(0, 0, 1, 0, 28800));
    EXPECT_FALSE(BlockSizeForTime(100, 0, 1, 0, 0));
    EXPECT_FALSE(BlockSizeForTime10(100, 0, 0, 0, -1));
}
