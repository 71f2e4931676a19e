#include "settings/PlatformHelpers.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(PlatformHelpersTest, ColorDepthIsTheScreensAndForceFoldersMakesEveryLevelOrFails) {
    // The test main runs a QApplication on the offscreen platform.
    EXPECT_GE(GetColorDepth(), 16);
    EXPECT_LE(GetColorDepth(), 32);

    TScopedXdgHome xdg;
    TTempFolder folder;
    WriteFileBytes(folder / "file", "x");
    fs::create_directory_symlink(folder.Path(), folder.Path() / "link");
    EXPECT_TRUE(FolderExists(folder / "link"));
    EXPECT_FALSE(FolderExists(folder / "file"));
    EXPECT_FALSE(FolderExists(""));
    const std::string deep = folder / "a/b/c/Тека з пробілом/e";
    ForceFolders(deep + "/");
    EXPECT_TRUE(fs::is_directory(deep));
    // Existing folders, doubled separators and relative parts are fine.
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
