#include "platform/Mounts.h"

#include <gtest/gtest.h>

namespace {

const char* const kSampleTable =
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
    "23 22 0:21 / /proc rw,nosuid - proc proc rw\n"
    "40 22 0:35 / /tmp rw,nosuid,nodev shared:20 - tmpfs tmpfs rw,size=4096k\n"
    "61 22 8:17 / /media/user/My\\040Disk rw,nosuid shared:30 master:2 - vfat /dev/sdb1 rw\n"
    "62 22 11:0 / /media/cd rw - iso9660 /dev/sr0 ro\n"
    "63 22 0:50 /sub /mnt/bind\\134dir rw - ext4 /dev/sda2 rw\n";

// A record's fields, compared and printed at once.
std::string Fields(const TMountRecord& mount) {
    return mount.mountPoint + " | " + mount.root + " | " + mount.fsType + " | " + mount.source +
           " | " + std::to_string(mount.major) + ":" + std::to_string(mount.minor);
}

} // namespace

TEST(MountsTest, ParsesTablesAndFindsTheMountOfAPath) {
    const auto mounts = ParseMountInfo(kSampleTable);
    ASSERT_EQ(mounts.size(), 6u);
    EXPECT_EQ(Fields(mounts[0]), Fields({"/", "/", "ext4", "/dev/sda2", 8, 2}));
    // Two optional tags before the separator must not shift the type; octal
    // escapes in paths are undone.
    EXPECT_EQ(Fields(mounts[3]), Fields({"/media/user/My Disk", "/", "vfat", "/dev/sdb1", 8, 17}));
    // No optional tag at all.
    EXPECT_EQ(Fields(mounts[4]), Fields({"/media/cd", "/", "iso9660", "/dev/sr0", 11, 0}));
    EXPECT_EQ(Fields(mounts[5]), Fields({"/mnt/bind\\dir", "/sub", "ext4", "/dev/sda2", 0, 50}));
    // A backslash not followed by an octal triple stays as it is.
    const auto odd = ParseMountInfo("1 0 8:1 / /mnt/a\\x1 rw - ext4 /dev/sda1 rw\n"
                                    "2 0 8:1 / /mnt/b\\12 rw - ext4 /dev/sda1 rw\n");
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(std::tuple(odd[0].mountPoint, odd[1].mountPoint),
              std::tuple("/mnt/a\\x1", "/mnt/b\\12"));

    // Lines that do not parse are skipped.
    const auto parsed =
        ParseMountInfo("\n"
                       "garbage\n"
                       "1 0 8:1 / /a rw shared:1 ext4 /dev/sda1 rw\n" // no separator
                       "2 0 8x1 / /b rw - ext4 /dev/sda1 rw\n"        // bad device
                       "3 0 8:1 / relative rw - ext4 /dev/sda1 rw\n"
                       "4 0 8:1 / /c rw -\n"        // no type
                       "5 0 8:1 / /d rw - ext4\n"); // no source: kept
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(Fields(parsed[0]), Fields({"/d", "/", "ext4", "", 8, 1}));

    // MountOf matches whole components and the last stacked mount.
    const auto stacked = ParseMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                        "2 1 8:17 / /mnt/a rw - vfat /dev/sdb1 rw\n"
                                        "3 1 8:33 / /mnt/a/b rw - vfat /dev/sdc1 rw\n"
                                        "4 2 0:40 / /mnt/a rw - tmpfs tmpfs rw\n");
    ASSERT_EQ(stacked.size(), 4u);
    EXPECT_EQ(MountOf(stacked, "/mnt/ab/file")->mountPoint, "/");
    EXPECT_EQ(MountOf(stacked, "/mnt/a")->fsType, "tmpfs"); // the last mount stacked there
    EXPECT_EQ(MountOf(stacked, "/mnt/a/")->mountPoint, "/mnt/a");
    EXPECT_EQ(MountOf(stacked, "/mnt/a/bc")->mountPoint, "/mnt/a");
    EXPECT_EQ(MountOf(stacked, "/mnt/a/b/c/d")->mountPoint, "/mnt/a/b");
    EXPECT_EQ(MountOf(stacked, "relative/path"), nullptr);
    EXPECT_EQ(MountOf({}, "/"), nullptr);
}
