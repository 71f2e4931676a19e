#include "engine/SignatureFile.h"

#include "engine/EngineErrors.h"
#include "engine/FileDescriptor.h"
#include "engine/FileUtils.h"

#include <cerrno>
#include <fcntl.h>
#include <vector>

namespace {

// Reads up to `size` bytes at `offset`; fewer only at the end of the file.
std::size_t ReadAt(int fd, unsigned char* data, std::size_t size, int64_t offset,
                   const std::string& path) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, data + done, size - done, static_cast<off_t>(offset) + done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EEngineError(TEngineFault::efReadFailed, path, errno);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace

std::optional<TSignature> ReadSignatureAt(int fd, int64_t offset, const std::string& path) {
    std::vector<unsigned char> bytes(SignatureFixedLength);
    std::size_t available = ReadAt(fd, bytes.data(), bytes.size(), offset, path);
    const std::size_t length = SignatureLength(bytes.data(), available);
    if (length == 0)
        return std::nullopt;
    if (length > available && available == SignatureFixedLength) {
        bytes.resize(length);
        available += ReadAt(fd, bytes.data() + SignatureFixedLength, length - SignatureFixedLength,
                            offset + static_cast<int64_t>(SignatureFixedLength), path);
    }
    return ParseSignature(bytes.data(), available);
}

std::string ReadSmallFile(const std::string& path, std::size_t limit) {
    TFileDescriptor file(OpenRegularFile(path));
    if (!file.IsOpen())
        throw EEngineError(TEngineFault::efOpenFailed, path, errno);
    std::vector<unsigned char> bytes(limit);
    const std::size_t got = ReadAt(file.Get(), bytes.data(), limit, 0, path);
    return std::string(reinterpret_cast<const char*>(bytes.data()), got);
}
