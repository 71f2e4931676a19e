#include "platform/Volumes.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(VolumesTest, DriveTypesOfMountsAndFreeSpace) {
    // A small copy of sysfs: block/<disk>/removable, partitions as folders
    // inside their disk, and dev/block/MAJ:MIN links to either.
    TScopedXdgHome home;
    TTempFolder sysfs;
    fs::create_directories(sysfs.Path() / "dev/block");
    for (const auto& [disk, removable] : {std::pair{"sda", "0"}, {"sdb", "1"}, {"mmcblk0", "1"}}) {
        fs::create_directories(sysfs.Path() / "block" / disk);
        WriteFileBytes(sysfs / ("block/" + std::string(disk) + "/removable"),
                       std::string(removable) + "\n");
    }
    for (const auto& [partition, device] : {std::pair{"sda/sda2", "8:2"}, {"sdb/sdb1", "8:17"}}) {
        fs::create_directories(sysfs.Path() / "block" / partition);
        WriteFileBytes(sysfs / ("block/" + std::string(partition) + "/partition"), "1\n");
        fs::create_directory_symlink("../../block/" + std::string(partition),
                                     sysfs.Path() / "dev/block" / device);
    }
    fs::create_directory_symlink("../../block/sdb", sysfs.Path() / "dev/block/8:16");
    const std::string root = sysfs / "block";
    const auto typeOf = [&](const char* fsType, const char* source, unsigned major = 0,
                            unsigned minor = 0, const std::string& sysBlock = "") {
        return DriveTypeOfMount({"/mnt/x", "/", fsType, source, major, minor},
                                sysBlock.empty() ? root : sysBlock);
    };
    EXPECT_EQ(typeOf("iso9660", "/dev/sr0", 11, 0), dtCdRom);
    EXPECT_EQ(typeOf("udf", "/dev/sr0", 11, 0), dtCdRom);
    EXPECT_EQ(typeOf("ramfs", "ramfs"), dtRamDisk);
    // tmpfs must stay a valid split target.
    EXPECT_EQ(typeOf("tmpfs", "tmpfs", 0, 35), dtFixed);
    for (const char* remote : {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs"})
        EXPECT_EQ(typeOf(remote, "server:/share"), dtRemote) << remote;
    EXPECT_EQ(typeOf("ext4", "/dev/sda2", 8, 2), dtFixed);
    EXPECT_EQ(typeOf("proc", "proc"), dtFixed);

    // Removable is read from the parent disk of a partition, found through
    // /sys/dev/block: the partition's folder sits in its disk's.
    EXPECT_EQ(typeOf("vfat", "/dev/sdb1", 8, 17), dtRemovable);
    EXPECT_EQ(typeOf("vfat", "/dev/sdb", 8, 16), dtRemovable);
    // A trailing separator on the root changes nothing.
    EXPECT_EQ(typeOf("vfat", "/dev/sdb1", 8, 17, root + "/"), dtRemovable);
    // No device link: the source name is stripped of its partition number.
    EXPECT_EQ(typeOf("vfat", "/dev/sdb3", 8, 19), dtRemovable);
    EXPECT_EQ(typeOf("vfat", "/dev/mmcblk0p1", 179, 1), dtRemovable);
    EXPECT_EQ(typeOf("ext4", "/dev/sda5", 8, 5), dtFixed);
    // A device sysfs does not know is a fixed disk.
    EXPECT_EQ(typeOf("ext4", "/dev/nvme9n1p1", 259, 9), dtFixed);
    EXPECT_EQ(typeOf("vfat", "/dev/sdb1", 8, 17, "/nonexistent/block"), dtFixed);

    // The free space is what statvfs says, compared around a call during which
    // other processes writing to the volume did not change it.
    const auto available = [&] {
        struct statvfs volume {};
        EXPECT_EQ(statvfs(sysfs.Path().c_str(), &volume), 0);
        return static_cast<int64_t>(volume.f_bavail) * static_cast<int64_t>(volume.f_frsize);
    };
    int64_t before = 0, free = 0;
    int attempts = 0;
    do {
        before = available();
        free = FreeSpaceOf(sysfs.Path().string());
    } while (available() != before && ++attempts < 1000);
    EXPECT_EQ(free, before) << "the volume held still: " << (attempts < 1000);
    EXPECT_EQ(FreeSpaceOf(sysfs / "missing/sysfs"), -1);
    EXPECT_EQ(FreeSpaceOf(""), -1);
}

// Private mounts inside the test's folder, so that what the machine itself
// mounts (a removable or remote /tmp) does not decide the outcome.
TEST(VolumesTest, PrivateMountsTellTheirType) {
    EXPECT_EQ(DriveTypeOf(""), dtNoRootDir);
    TScopedXdgHome home;
    TTempFolder folder;
    const std::string mountPoint = folder / "mnt";
    fs::create_directory(mountPoint);
    const auto typeUnder = [&](const char* fsType, const std::string& path) {
        if (mount("varn-test", mountPoint.c_str(), fsType, 0, nullptr) != 0)
            return dtUnknown;
        const TDriveType type = DriveTypeOf(path);
        umount(mountPoint.c_str());
        return type;
    };
    const TDriveType ramfs = typeUnder("ramfs", mountPoint + "/file");
    if (ramfs == dtUnknown)
        GTEST_SKIP() << "cannot mount ramfs here (needs privileges)";
    EXPECT_EQ(ramfs, dtRamDisk);
    // tmpfs is a valid split target; a path not there yet tells the volume that would hold it.
    EXPECT_EQ(typeUnder("tmpfs", mountPoint + "/not/yet/there"), dtFixed);
}
