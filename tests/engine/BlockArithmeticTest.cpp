#include "engine/BlockArithmetic.h"

#include <gtest/gtest.h>

TEST(BlockArithmeticTest, DesignExamples) {
    // 3,000,000 bytes in 1,457,664-byte blocks, extension ".dat", no comment: h = 38.
    EXPECT_EQ(CountBlocks(3000000, 1457664, 4, 0), 3);
    EXPECT_EQ(LastBlockSize(3000000, 1457664, 4, 0), 84710);
    EXPECT_EQ(CountBlocks(3000000, 1457664), 3);
    EXPECT_EQ(LastBlockSize(3000000, 1457664), 84672);
    EXPECT_EQ(CountBlocks10(3000000, 1457664), 3);
    EXPECT_EQ(LastBlockSize10(3000000, 1457664), 3000034 - 2 * 1457664);
}

TEST(BlockArithmeticTest, ExactMultiplesAndOneBlock) {
    // F + h exactly two blocks: the last block is full.
    EXPECT_EQ(CountBlocks(200 - 38, 100, 4, 0), 2);
    EXPECT_EQ(LastBlockSize(200 - 38, 100, 4, 0), 100);
    EXPECT_EQ(CountBlocks(201 - 38, 100, 4, 0), 3);
    EXPECT_EQ(LastBlockSize(201 - 38, 100, 4, 0), 1);
    // Everything fits in one block: last block size 0.
    EXPECT_EQ(CountBlocks(62, 100, 4, 0), 1);
    EXPECT_EQ(LastBlockSize(62, 100, 4, 0), 0);
    EXPECT_EQ(LastBlockSize(100, 100), 0);
    EXPECT_EQ(CountBlocks(101, 100), 2);
    EXPECT_EQ(LastBlockSize(101, 100), 1);
}

TEST(BlockArithmeticTest, EmptyFilesAndBadSizes) {
    EXPECT_EQ(CountBlocks(0, 100), 1); // one empty piece, named by the batch file
    // A signed set of an empty file is one piece holding the header, as Split makes it.
    EXPECT_EQ(CountBlocks(0, 100, 4, 0), 1);
    EXPECT_EQ(CountBlocks10(0, 100), 1);
    EXPECT_EQ(LastBlockSize(0, 100, 4, 0), 0);
    EXPECT_EQ(CountBlocks(-1, 100), 0);
    EXPECT_EQ(CountBlocks(100, 0), 0);
    EXPECT_EQ(CountBlocks(100, -5, 1, 1), 0);
    EXPECT_EQ(LastBlockSize(100, 0), 0);
}

TEST(BlockArithmeticTest, SixtyFourBitSizes) {
    const int64_t fiveGiB = int64_t{5} << 30;
    EXPECT_EQ(CountBlocks(fiveGiB, 1457664), fiveGiB / 1457664 + 1);
    EXPECT_EQ(LastBlockSize(fiveGiB, 1457664), fiveGiB % 1457664);
    EXPECT_EQ(CountBlocks(fiveGiB, int64_t{1} << 30), 5);
}

TEST(BlockArithmeticTest, BlockSizeForCount) {
    // T = 107 (plain variant with F = 107), K = 10: 10 + 7 = 17, which makes 7 blocks.
    std::optional<TBlockSizing> sizing = BlockSizeForCount(107, 10);
    ASSERT_TRUE(sizing);
    EXPECT_EQ(sizing->blockSize, 17);
    EXPECT_EQ(sizing->blockCount, 7);
    EXPECT_EQ(sizing->lastBlock, 5);
    // Version 1.1 with n = 4, m = 0: T = 69 + 38 = 107 as well.
    sizing = BlockSizeForCount(69, 10, 4, 0);
    ASSERT_TRUE(sizing);
    EXPECT_EQ(sizing->blockSize, 17);
    sizing = BlockSizeForCount10(73, 10);
    ASSERT_TRUE(sizing);
    EXPECT_EQ(sizing->blockSize, 17);
    EXPECT_FALSE(BlockSizeForCount(0, 10));
    EXPECT_FALSE(BlockSizeForCount(100, 1));
    // K blocks of that size always hold the file.
    for (int64_t F : {1, 2, 99, 1000, 65537, 3000000})
        for (uint16_t K : {2, 3, 7, 100, 65535}) {
            const auto s = BlockSizeForCount(F, K, 4, 3);
            ASSERT_TRUE(s);
            EXPECT_LE(s->blockCount, K) << F << " " << K;
            EXPECT_GE(s->blockSize * K, F + 41);
        }
}

TEST(BlockArithmeticTest, BlockSizeForTime) {
    // One minute at 28,800 bits per second: 1,728,000 bits, 216,000 bytes.
    std::optional<TBlockSizing> sizing = BlockSizeForTime(3000000, 0, 1, 0, 28800);
    ASSERT_TRUE(sizing);
    EXPECT_EQ(sizing->blockSize, 216000);
    EXPECT_EQ(sizing->blockCount, CountBlocks(3000000, 216000));
    EXPECT_EQ(sizing->lastBlock, LastBlockSize(3000000, 216000));
    // The remainder of the division by 8 is added: 1 s at 13 bit/s = 1 + 5.
    EXPECT_EQ(BlockSizeForTime(100, 0, 0, 1, 13)->blockSize, 6);
    // 23:59:59 at 115,200 bit/s is past 32 bits and must not wrap.
    EXPECT_EQ(BlockSizeForTime(100, 23, 59, 59, 115200)->blockSize, 86399LL * 115200 / 8);
    EXPECT_EQ(BlockSizeForTime(3000000, 0, 1, 0, 28800, 4, 0)->blockCount,
              CountBlocks(3000000, 216000, 4, 0));
    EXPECT_FALSE(BlockSizeForTime(0, 0, 1, 0, 28800));
    EXPECT_FALSE(BlockSizeForTime(100, 0, 1, 0, 0));
    EXPECT_FALSE(BlockSizeForTime10(100, 0, 0, 0, -1));
}
