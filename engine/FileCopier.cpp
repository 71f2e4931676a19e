#include "engine/FileCopier.h"

#include "engine/EngineErrors.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

constexpr int64_t MaxFallbackBuffer = 1 << 20;

// Errors of copy_file_range that say the write side is full, not that the
// kernel cannot copy between these two files.
bool IsTargetFull(int error) {
    return error == ENOSPC || error == EFBIG || error == EDQUOT;
}

} // namespace

TFileCopier::TFileCopier(int64_t bufferSize)
    : m_capacity(static_cast<std::size_t>(std::clamp<int64_t>(bufferSize, 1, MaxFallbackBuffer))) {}

int64_t TFileCopier::Copy(int sourceFd, int64_t& sourceOffset, const std::string& sourcePath,
                          int targetFd, const std::string& targetPath, int64_t length) {
    int64_t copied = 0;
    while (copied < length && m_kernelCopy) {
        off_t offset = static_cast<off_t>(sourceOffset);
        const ssize_t done = copy_file_range(
            sourceFd, &offset, targetFd, nullptr,
            static_cast<std::size_t>(std::min<int64_t>(length - copied, 1 << 30)), 0);
        if (done > 0) {
            sourceOffset += done;
            copied += done;
            continue;
        }
        if (done == 0)
            break; // the end of the source, or a file system that cannot tell: the buffer decides
        if (errno == EINTR)
            continue;
        if (IsTargetFull(errno))
            throw EEngineError(TEngineFault::efWriteFailed, targetPath, errno);
        // Any other refusal (other file system, special file, no support, or an
        // I/O error on either side): the plain read/write path tells them apart.
        m_kernelCopy = false;
    }
    if (copied < length)
        copied += CopyThroughBuffer(sourceFd, sourceOffset, sourcePath, targetFd, targetPath,
                                    length - copied);
    return copied;
}

int64_t TFileCopier::CopyThroughBuffer(int sourceFd, int64_t& sourceOffset,
                                       const std::string& sourcePath, int targetFd,
                                       const std::string& targetPath, int64_t length) {
    if (m_buffer.empty())
        m_buffer.resize(m_capacity);
    int64_t copied = 0;
    while (copied < length) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<int64_t>(length - copied, m_buffer.size()));
        const ssize_t got =
            pread(sourceFd, m_buffer.data(), want, static_cast<off_t>(sourceOffset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EEngineError(TEngineFault::efReadFailed, sourcePath, errno);
        }
        if (got == 0)
            break;
        WriteAll(targetFd, m_buffer.data(), static_cast<std::size_t>(got), targetPath);
        sourceOffset += got;
        copied += got;
    }
    return copied;
}

void TFileCopier::WriteAll(int fd, const std::string& data, const std::string& path) {
    WriteAll(fd, data.data(), data.size(), path);
}

void TFileCopier::WriteAll(int fd, const char* data, std::size_t size, const std::string& path) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, data + done, size - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw EEngineError(TEngineFault::efWriteFailed, path, errno);
        }
        if (written == 0) // a device that takes nothing would loop for ever
            throw EEngineError(TEngineFault::efWriteFailed, path, ENOSPC);
        done += static_cast<std::size_t>(written);
    }
}
