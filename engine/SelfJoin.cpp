#include "engine/SelfJoin.h"

#include "engine/ExecutableImage.h"
#include "engine/FileUtils.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The stub compiles this file on its own, so it may use nothing but the
// standard library, POSIX and the engine's plain file helpers.

namespace {

// Closes the descriptor on every way out.
class TReadOnlyFile {
public:
    explicit TReadOnlyFile(const std::string& path) : m_fd(OpenRegularFile(path)) {}
    ~TReadOnlyFile() {
        if (m_fd >= 0)
            close(m_fd);
    }
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    uint64_t Size() const {
        struct stat status {};
        if (fstat(m_fd, &status) != 0 || status.st_size < 0)
            return 0;
        return static_cast<uint64_t>(status.st_size);
    }
    // Reads exactly `length` bytes at `offset`; false on a short read.
    bool ReadAt(uint64_t offset, unsigned char* buffer, size_t length) const {
        size_t done = 0;
        while (done < length) {
            ssize_t got =
                pread(m_fd, buffer + done, length - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<size_t>(got);
        }
        return true;
    }

private:
    int m_fd;
};

} // namespace

int64_t StubLengthOf(const std::string& path) {
    TReadOnlyFile file(path);
    if (!file.IsOpen())
        return 0;
    const uint64_t length =
        ExecutableImageLength([&file](uint64_t offset, unsigned char* buffer,
                                      size_t size) { return file.ReadAt(offset, buffer, size); },
                              file.Size());
    return static_cast<int64_t>(length);
}
