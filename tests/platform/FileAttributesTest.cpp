#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(FileAttributesTest, MapsPermissionsAndNames) {
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string plain = folder / "plain.txt";
    WriteFileBytes(plain, "x");
    chmod(plain.c_str(), 0644);
    EXPECT_EQ(FileAttributesOf(plain), faArchive);
    chmod(plain.c_str(), 0444);
    EXPECT_EQ(FileAttributesOf(plain), faArchive | faReadOnly);
    const std::string hidden = folder / ".hidden";
    WriteFileBytes(hidden, "x");
    EXPECT_EQ(FileAttributesOf(hidden), faArchive | faHidden);
    EXPECT_EQ(FileAttributesOf(folder.Path().string()), faDirectory);
    EXPECT_EQ(FileAttributesOf(folder.Path().string() + "/"), faDirectory);
    EXPECT_EQ(FileAttributesOf(folder / "missing"), 0u);
    EXPECT_EQ(FileAttributesOf(""), 0u);
    EXPECT_EQ(FileAttributesOf(folder.Path().string() + "/."), faDirectory);
}

TEST(FileAttributesTest, RestoresReadOnlyOnly) {
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string file = folder / "f.bin";
    WriteFileBytes(file, "x");
    chmod(file.c_str(), 0664);
    ASSERT_TRUE(ApplyFileAttributes(file, faArchive | faHidden | faSystem));
    struct stat info {};
    stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
    ASSERT_TRUE(ApplyFileAttributes(file, faReadOnly | faArchive));
    stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_FALSE(ApplyFileAttributes(folder / "missing", faReadOnly));
}

TEST(FileAttributesTest, ExecutableWhereReadable) {
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string file = folder / "p.exe";
    WriteFileBytes(file, "x");
    chmod(file.c_str(), 0640);
    ASSERT_TRUE(MakeExecutable(file));
    struct stat info {};
    stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
    chmod(file.c_str(), 0604);
    ASSERT_TRUE(MakeExecutable(file));
    stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0705u);
    EXPECT_FALSE(MakeExecutable(folder / "missing"));
}
