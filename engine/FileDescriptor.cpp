#include "engine/FileDescriptor.h"

#include <cerrno>

int TFileDescriptor::Close() {
    if (m_fd < 0)
        return 0;
    const int fd = Release();
    return ::close(fd) == 0 ? 0 : errno;
}
