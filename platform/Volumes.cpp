#include "platform/Volumes.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

namespace fs = std::filesystem;

namespace {

bool IsRemoteFileSystem(const std::string& fsType) {
    static const char* const remoteTypes[] = {"nfs",   "nfs4",       "cifs",  "smb3",
                                              "smbfs", "fuse.sshfs", "sshfs", "9p",
                                              "afs",   "ncpfs",      "coda",  "ceph"};
    for (const char* remote : remoteTypes)
        if (fsType == remote)
            return true;
    return false;
}

std::string ReadFirstLine(const fs::path& path) {
    std::ifstream file(path);
    std::string line;
    if (file)
        std::getline(file, line);
    return line;
}

// The whole-disk name behind a mount: /sys/dev/block/MAJ:MIN links into the
// device tree, where a partition is a folder inside its disk's folder and
// holds a "partition" file. Without sysfs the device name of the source is
// used, with a partition number stripped the usual ways (sdb1, mmcblk0p1).
std::string DiskNameOf(const TMountRecord& mount, fs::path sysBlockRoot) {
    if (sysBlockRoot.filename().empty())
        sysBlockRoot = sysBlockRoot.parent_path(); // "/sys/block/"
    std::error_code error;
    if (mount.major != 0) {
        const fs::path devLink = sysBlockRoot.parent_path() / "dev" / "block" /
                                 (std::to_string(mount.major) + ":" + std::to_string(mount.minor));
        const fs::path device = fs::canonical(devLink, error);
        if (!error && !device.filename().empty()) {
            if (fs::exists(device / "partition", error))
                return device.parent_path().filename().string();
            return device.filename().string();
        }
    }
    const std::string devPrefix = "/dev/";
    if (mount.source.compare(0, devPrefix.size(), devPrefix) != 0)
        return {};
    std::string name = mount.source.substr(devPrefix.size());
    if (name.empty() || name.find('/') != std::string::npos)
        return {};
    if (fs::exists(sysBlockRoot / name, error))
        return name;
    std::string stripped = name;
    while (!stripped.empty() && std::isdigit(static_cast<unsigned char>(stripped.back())))
        stripped.pop_back();
    if (stripped.size() != name.size() && stripped.size() > 1 && stripped.back() == 'p' &&
        std::isdigit(static_cast<unsigned char>(stripped[stripped.size() - 2])))
        stripped.pop_back(); // mmcblk0p1, nvme0n1p2
    return stripped;
}

// The nearest existing ancestor of `path`, made absolute with symbolic links
// resolved, so that a link into another volume reports that volume.
std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    fs::path current = fs::absolute(path, error);
    if (error)
        return {};
    while (true) {
        const fs::path resolved = fs::canonical(current, error);
        if (!error)
            return resolved.string();
        if (current == current.root_path() || !current.has_relative_path())
            return current.string();
        current = current.parent_path();
    }
}

} // namespace

int64_t FreeSpaceOf(const std::string& path) {
    struct statvfs volume {};
    if (path.empty() || statvfs(path.c_str(), &volume) != 0)
        return -1;
    const unsigned long long blocks = volume.f_bavail;
    const unsigned long long blockSize = volume.f_frsize ? volume.f_frsize : volume.f_bsize;
    const unsigned long long limit = static_cast<unsigned long long>(INT64_MAX);
    if (blockSize != 0 && blocks > limit / blockSize)
        return INT64_MAX;
    return static_cast<int64_t>(blocks * blockSize);
}

TDriveType DriveTypeOfMount(const TMountRecord& mount, const std::string& sysBlockRoot) {
    if (mount.fsType == "iso9660" || mount.fsType == "udf")
        return dtCdRom;
    // tmpfs is swap-backed and counts as fixed so that /tmp stays a valid
    // target; only ramfs is the RAM disk the window refuses.
    if (mount.fsType == "ramfs")
        return dtRamDisk;
    if (IsRemoteFileSystem(mount.fsType))
        return dtRemote;
    const std::string disk = DiskNameOf(mount, sysBlockRoot);
    if (!disk.empty() && ReadFirstLine(fs::path(sysBlockRoot) / disk / "removable") == "1")
        return dtRemovable;
    return dtFixed;
}

TDriveType DriveTypeOf(const std::string& path) {
    if (path.empty())
        return dtNoRootDir;
    const std::string resolved = ResolvedPath(path);
    const auto mounts = ReadMountTable();
    const TMountRecord* mount = MountOf(mounts, resolved);
    if (!mount)
        return dtNoRootDir;
    return DriveTypeOfMount(*mount);
}
