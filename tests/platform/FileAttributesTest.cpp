#include "platform/FileAttributes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

TEST(FileAttributesTest, MapsPermissionsAndNamesBothWays) {
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
    for (const char* ending : {"", "/", "/."})
        EXPECT_EQ(FileAttributesOf(folder.Path().string() + ending), faDirectory) << ending;
    EXPECT_EQ(std::tuple(FileAttributesOf(folder / "missing"), FileAttributesOf("")),
              std::tuple(0u, 0u));

    // Of the attributes only read-only changes the mode; execute permission
    // goes only to those who may read.
    const struct {
        mode_t before;
        std::optional<uint32_t> attributes; // nothing: MakeExecutable
        mode_t after;
    } cases[] = {
        {0664, faArchive | faHidden | faSystem, 0664},
        {0664, faReadOnly | faArchive, 0444},
        {0640, std::nullopt, 0750},
        {0604, std::nullopt, 0705},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        chmod(plain.c_str(), c.before);
        ASSERT_TRUE(c.attributes ? ApplyFileAttributes(plain, *c.attributes)
                                 : MakeExecutable(plain));
        struct stat info {};
        ASSERT_EQ(stat(plain.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.after);
    }
    EXPECT_FALSE(ApplyFileAttributes(folder / "missing", faReadOnly));
    EXPECT_FALSE(MakeExecutable(folder / "missing"));
}
