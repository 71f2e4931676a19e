#include "settings/PlatformHelpers.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(PlatformHelpersTest, WindowsVersionIsUnknownHereAndClassifiedAsDesigned) {
    EXPECT_EQ(GetWindowsVersion(), 0);
    EXPECT_EQ(ClassifyWindowsVersion(1, 4, 0, " B "), 2);
    EXPECT_EQ(ClassifyWindowsVersion(1, 4, 0, "C"), 1);
    EXPECT_EQ(ClassifyWindowsVersion(1, 4, 10, "A\r\n"), 4);
    EXPECT_EQ(ClassifyWindowsVersion(1, 4, 89, ""), 3);
    EXPECT_EQ(ClassifyWindowsVersion(1, 4, 90, "A"), 5);
    EXPECT_EQ(ClassifyWindowsVersion(1, 4, 91, ""), 0);
    EXPECT_EQ(ClassifyWindowsVersion(2, 3, 1, ""), 6);
    EXPECT_EQ(ClassifyWindowsVersion(2, 3, 5, ""), 7);
    EXPECT_EQ(ClassifyWindowsVersion(2, 3, 51, ""), 8);
    EXPECT_EQ(ClassifyWindowsVersion(2, 4, 0, "Service Pack 6"), 9);
    EXPECT_EQ(ClassifyWindowsVersion(2, 5, 0, ""), 10);
    EXPECT_EQ(ClassifyWindowsVersion(2, 5, 1, "Service Pack 2"), 11);
    EXPECT_EQ(ClassifyWindowsVersion(2, 6, 0, ""), 0); // Vista
    EXPECT_EQ(ClassifyWindowsVersion(2, 5, 2, ""), 0);
    EXPECT_EQ(ClassifyWindowsVersion(0, 3, 1, ""), 0);
    // The test main runs a QApplication on the offscreen platform.
    EXPECT_GE(GetColorDepth(), 16);
    EXPECT_LE(GetColorDepth(), 32);
}

TEST(PlatformHelpersTest, ForceFoldersMakesEveryMissingLevelOrNamesTheFileInTheWay) {
    TTempFolder folder;
    WriteFileBytes(folder / "file", "x");
    fs::create_directory_symlink(folder.Path(), folder.Path() / "link");
    EXPECT_TRUE(FolderExists(folder / "link"));
    EXPECT_FALSE(FolderExists(folder / "file"));
    EXPECT_FALSE(FolderExists(""));
    const std::string deep = folder / "a/b/c/Тека з пробілом/e";
    ForceFolders(deep + "/");
    EXPECT_TRUE(fs::is_directory(deep));
    // Existing folders are fine, and so are doubled separators and relative
    // parts.
    ForceFolders(deep);
    ForceFolders(folder / "a//b/../b/x");
    EXPECT_TRUE(fs::is_directory(folder / "a/b/x"));
    ForceFolders("/");

    // A file in the way fails, naming it.
    for (const std::string& target : {folder / "file", folder / "file/sub/deeper"}) {
        try {
            ForceFolders(target);
            FAIL() << "made " << target;
        } catch (const EFolderError& error) {
            EXPECT_NE(std::string(error.what()).find(folder / "file"), std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(ReadFileBytes(folder / "file"), "x");
    EXPECT_THROW(ForceFolders(""), EFolderError);
}
