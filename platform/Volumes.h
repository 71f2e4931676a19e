#pragma once

#include "platform/Mounts.h"

#include <cstdint>
#include <string>

// Drive types with the values the window's checks were designed around.
enum TDriveType {
    dtUnknown = 0,
    dtNoRootDir = 1,
    dtRemovable = 2,
    dtFixed = 3,
    dtRemote = 4,
    dtCdRom = 5,
    dtRamDisk = 6,
};

// Free bytes available to the user on the volume holding `path`
// (f_bavail x f_frsize); -1 when the volume cannot be queried.
int64_t FreeSpaceOf(const std::string& path);
// Drive type of the volume holding `path`.
TDriveType DriveTypeOf(const std::string& path);
// The mapping itself, on one mount record (removable is read from
// /sys/block/<dev>/removable through `sysBlockRoot`).
TDriveType DriveTypeOfMount(const TMountRecord& mount,
                            const std::string& sysBlockRoot = "/sys/block");
