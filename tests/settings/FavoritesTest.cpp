#include "settings/Favorites.h"

#include <gtest/gtest.h>

// Written with CR LF after every line; read with any line end.
TEST(FavoritesTest, LinesEndWithCrLfAndSplitAtTheFirstEquals) {
    EXPECT_EQ(FavoritesText({"Дім=/home/u", "Диск=/media/u/Диск"}),
              "Дім=/home/u\r\nДиск=/media/u/Диск\r\n");
    EXPECT_EQ(FavoritesText({}), "");
    EXPECT_EQ(FavoritesText({""}), "\r\n");
    for (const char* text : {"a=1\r\nb=2\r\n", "a=1\nb=2", "a=1\rb=2\r"})
        EXPECT_EQ(ParseFavorites(text), (QStringList{"a=1", "b=2"})) << text;
    EXPECT_EQ(ParseFavorites("a=1\r\n\r\nb=2\r\n"), (QStringList{"a=1", "", "b=2"}));
    EXPECT_EQ(ParseFavorites(""), QStringList{});
    EXPECT_EQ(ParseFavorites("\r\n"), QStringList{""});

    EXPECT_EQ(SplitFavoriteLine("Документи=/home/u/a=b"), (TFavorite{"Документи", "/home/u/a=b"}));
    EXPECT_EQ(SplitFavoriteLine("=/tmp"), (TFavorite{"", "/tmp"}));
    EXPECT_EQ(SplitFavoriteLine("no equals"), (TFavorite{"no equals", ""}));
    EXPECT_EQ(FavoriteLine({"Дім", "/home/u"}), "Дім=/home/u");
}
