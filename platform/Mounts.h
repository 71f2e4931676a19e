#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One line of the mount table (/proc/self/mountinfo).
struct TMountRecord {
    std::string mountPoint; // unescaped ("\040" becomes a blank)
    std::string root;       // root of the mount within its file system
    std::string fsType;     // e.g. ext4, tmpfs, iso9660
    std::string source;     // e.g. /dev/sdb1
    unsigned major = 0;
    unsigned minor = 0;
};

// Parses mountinfo text; lines that do not parse are skipped.
std::vector<TMountRecord> ParseMountInfo(const std::string& text);
// The current process's mount table.
std::vector<TMountRecord> ReadMountTable();
// The mount whose mount point is the longest prefix (by whole path components)
// of `path`, or nullptr.
const TMountRecord* MountOf(const std::vector<TMountRecord>& mounts, const std::string& path);
