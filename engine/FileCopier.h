#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Moves bytes between open files for split and unite: in the kernel with
// copy_file_range where the file systems allow it, else through a small buffer
// that is only allocated when first needed. Every failure is an EEngineError
// naming the file that failed; a write never silently stores less than asked.
class TFileCopier {
public:
    // The fallback buffer holds at most min(bufferSize, 1 MiB) bytes, so a large
    // BufferSize does not cost memory.
    explicit TFileCopier(int64_t bufferSize);

    // Copies up to `length` bytes from `sourceFd` at `sourceOffset` (advanced by
    // what was copied) to the current position of `targetFd`. Returns the bytes
    // copied, fewer than `length` only when the source ends.
    int64_t Copy(int sourceFd, int64_t& sourceOffset, const std::string& sourcePath, int targetFd,
                 const std::string& targetPath, int64_t length);

    // Writes all of `data` at the current position of `fd`.
    void WriteAll(int fd, const std::string& data, const std::string& path);
    void WriteAll(int fd, const char* data, std::size_t size, const std::string& path);

private:
    int64_t CopyThroughBuffer(int sourceFd, int64_t& sourceOffset, const std::string& sourcePath,
                              int targetFd, const std::string& targetPath, int64_t length);

    std::size_t m_capacity;
    std::vector<char> m_buffer;
    bool m_kernelCopy = true;
};
