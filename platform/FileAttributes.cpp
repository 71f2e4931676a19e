#include "platform/FileAttributes.h"

#include <sys/stat.h>

namespace {

bool NameIsHidden(const std::string& path) {
    std::string::size_type end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const std::string::size_type slash = path.rfind('/', end - 1);
    const std::string::size_type start = slash == std::string::npos ? 0 : slash + 1;
    if (start >= end || path[start] != '.')
        return false;
    // "." and ".." name folders, they do not hide them.
    const std::string name = path.substr(start, end - start);
    return name != "." && name != "..";
}

} // namespace

uint32_t FileAttributesOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return 0;
    uint32_t attributes = 0;
    if ((info.st_mode & S_IWUSR) == 0)
        attributes |= faReadOnly;
    if (NameIsHidden(path))
        attributes |= faHidden;
    if (S_ISDIR(info.st_mode))
        attributes |= faDirectory;
    else if (S_ISREG(info.st_mode))
        attributes |= faArchive;
    return attributes == 0 ? faNormal : attributes;
}

bool ApplyFileAttributes(const std::string& path, uint32_t attributes) {
    if ((attributes & faReadOnly) == 0)
        return true;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    return chmod(path.c_str(), info.st_mode & 07555) == 0;
}

bool MakeExecutable(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    mode_t mode = info.st_mode & 07777;
    mode |= S_IXUSR;
    if (mode & S_IRGRP)
        mode |= S_IXGRP;
    if (mode & S_IROTH)
        mode |= S_IXOTH;
    return chmod(path.c_str(), mode) == 0;
}
