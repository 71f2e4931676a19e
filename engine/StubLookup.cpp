#include "engine/FileUtils.h"
#include "engine/SelfJoin.h"
#include "engine/SetNames.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A Linux stub starts with an ELF image, a Windows one with an "MZ" header;
// either image in the other's place would give sets that cannot start.
bool IsOfKind(const std::string& path, TStubKind kind) {
    const int fd = OpenRegularFile(path);
    if (fd < 0)
        return false;
    char magic[4] = {};
    const bool read = pread(fd, magic, sizeof magic, 0) == static_cast<ssize_t>(sizeof magic);
    close(fd);
    if (!read)
        return false;
    return kind == TStubKind::skWindows ? std::memcmp(magic, "MZ", 2) == 0
                                        : std::memcmp(magic,
                                                      "\x7f"
                                                      "ELF",
                                                      4) == 0;
}

} // namespace

TStubLookup FindStub(const std::string& programFolder, TStubKind kind) {
    const std::string name = kind == TStubKind::skWindows ? WindowsStubName : StubName;
    const std::string beside = AddTrailingSeparator(programFolder) + name;
    // The folder above the program's, named without "..", so that messages
    // show the path a user would type.
    std::string folder = programFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::string installedFolder = FolderPart(folder) + InstalledStubFolder;
    const std::string installed = AddTrailingSeparator(installedFolder) + name;

    TStubLookup stub;
    stub.path = IsFolder(installedFolder) ? installed : beside;
    for (const std::string& candidate : {beside, installed}) {
        struct stat info {};
        if (stat(candidate.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        stub.path = candidate;
        stub.size = static_cast<int64_t>(info.st_size);
        stub.state = stub.size < MinimumStubSize || StubLengthOf(candidate) <= 0 ||
                             !IsOfKind(candidate, kind)
                         ? TStubState::ssDamaged
                         : TStubState::ssFound;
        return stub;
    }
    return stub;
}
