#include "engine/FileUtils.h"

#include "engine/EngineErrors.h"
#include "platform/FileTimes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return 0;
    return static_cast<int64_t>(info.st_size);
}

bool FileDosTimes(const std::string& path, uint32_t& creation, uint32_t& lastAccess,
                  uint32_t& lastWrite) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode))
        return true;
    TFileDosTimes times;
    if (!ReadFileDosTimes(path, times))
        return false;
    creation = times.creation;
    lastAccess = times.lastAccess;
    lastWrite = times.lastWrite;
    return true;
}

std::string AttributeLetters(uint32_t attributes) {
    std::string letters;
    if (attributes & 1u)
        letters += " R";
    if (attributes & 2u)
        letters += " H";
    if (attributes & 32u)
        letters += " A";
    if (attributes & 4u)
        letters += " S";
    return letters;
}

void EraseExisting(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        throw EEngineError(TEngineFault::efDeleteFailed, path, errno);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && lstat(path.c_str(), &info) == 0;
}

int OpenRegularFile(const std::string& path) {
    // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EINVAL;
        close(fd);
        errno = error;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
