#include "engine/InfoFile.h"

#include <gtest/gtest.h>

TEST(InfoFileTest, WritesThreeCrLfLinesReadsEveryLineOrItsDefaultAndKnowsItsName) {
    EXPECT_EQ(InfoFileText("zip", 4, 5000000), "zip\r\n4\r\n5000000\r\n");
    EXPECT_EQ(InfoFileText("", 0, 0), "\r\n0\r\n0\r\n");
    // Sizes past 32 bits are plain decimal text.
    EXPECT_EQ(InfoFileText("iso", 3685, 5368709120), "iso\r\n3685\r\n5368709120\r\n");

    // A missing or bad count reads as one piece, a missing or bad size as unknown.
    const struct {
        std::string text;
        const char* extension;
        int64_t blocks;
        std::optional<int64_t> size;
    } cases[] = {
        {InfoFileText("dat", 3, 3000000), "dat", 3, 3000000},
        {"iso\n3685\n5368709120\n", "iso", 3685, int64_t{5368709120}},
        {"txt\r\nthree\r\n12x\r\n", "txt", 1, std::nullopt},
        {"txt", "txt", 1, std::nullopt},
        {"\r\n2\r\n10\r\n", "", 2, 10},
        {"\xF2\xE5\xEA\r\n1\r\n1\r\n", "тек", 1, 1}, // Windows-1251 becomes UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<TInfoFile> info = ParseInfoFileText(c.text);
        ASSERT_TRUE(info);
        EXPECT_EQ(std::tuple(info->extension, info->blockCount, info->wholeFileSize),
                  std::tuple(c.extension, c.blocks, c.size));
    }
    EXPECT_FALSE(ParseInfoFileText(""));

    // Its numbers are plain decimals.
    EXPECT_EQ(
        std::tuple(ParseDecimal(" 42 "), ParseDecimal("+7"), ParseDecimal("9223372036854775807")),
        std::tuple(42, 7, INT64_MAX));
    for (const char* bad : {"-7", "", "4 2", "99999999999999999999"})
        EXPECT_FALSE(ParseDecimal(bad)) << bad;

    // The extension is recognised in any case.
    EXPECT_EQ(std::tuple(IsInfoFileName("/a/set.wsp"), IsInfoFileName("/a/SET.WsP"),
                         IsInfoFileName("/a.wsp/set"), IsInfoFileName("/a/set.wsp.001")),
              std::tuple(true, true, false, false));
}
