#include "engine/InfoFile.h"

#include <gtest/gtest.h>

TEST(InfoFileTest, WritesThreeCrLfLines) {
    EXPECT_EQ(InfoFileText("zip", 4, 5000000), "zip\r\n4\r\n5000000\r\n");
    EXPECT_EQ(InfoFileText("", 0, 0), "\r\n0\r\n0\r\n");
    // Sizes past 32 bits are plain decimal text.
    EXPECT_EQ(InfoFileText("iso", 3685, 5368709120), "iso\r\n3685\r\n5368709120\r\n");
}

TEST(InfoFileTest, ReadsBackWhatItWrites) {
    const std::optional<TInfoFile> info = ParseInfoFileText(InfoFileText("dat", 3, 3000000));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->extension, "dat");
    EXPECT_EQ(info->blockCount, 3);
    EXPECT_EQ(info->wholeFileSize, 3000000);
    const std::optional<TInfoFile> big = ParseInfoFileText("iso\n3685\n5368709120\n");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->wholeFileSize, int64_t{5368709120});
}

TEST(InfoFileTest, DefaultsForMissingOrBadLines) {
    std::optional<TInfoFile> info = ParseInfoFileText("txt\r\nthree\r\n12x\r\n");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->blockCount, 1);
    EXPECT_FALSE(info->wholeFileSize);
    info = ParseInfoFileText("txt");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->extension, "txt");
    EXPECT_EQ(info->blockCount, 1);
    EXPECT_FALSE(info->wholeFileSize);
    info = ParseInfoFileText("\r\n2\r\n10\r\n");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->extension, "");
    EXPECT_FALSE(ParseInfoFileText(""));
    // Windows-1251 extension bytes become UTF-8.
    EXPECT_EQ(ParseInfoFileText("\xF2\xE5\xEA\r\n1\r\n1\r\n")->extension, "тек");
}

TEST(InfoFileTest, DecimalParsing) {
    EXPECT_EQ(ParseDecimal(" 42 "), 42);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_FALSE(ParseDecimal("-7"));
    EXPECT_FALSE(ParseDecimal(""));
    EXPECT_FALSE(ParseDecimal("4 2"));
    EXPECT_FALSE(ParseDecimal("99999999999999999999"));
    EXPECT_EQ(ParseDecimal("9223372036854775807"), INT64_MAX);
}

TEST(InfoFileTest, RecognisesTheExtensionInAnyCase) {
    EXPECT_TRUE(IsInfoFileName("/a/set.wsp"));
    EXPECT_TRUE(IsInfoFileName("/a/SET.WsP"));
    EXPECT_FALSE(IsInfoFileName("/a.wsp/set"));
    EXPECT_FALSE(IsInfoFileName("/a/set.wsp.001"));
}
