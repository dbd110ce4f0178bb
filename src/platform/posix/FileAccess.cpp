#include "platform/posix/FileAccess.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

int posix::openFlags(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read: return O_RDONLY;
        case OpenMode::ReadWrite: return O_RDWR;
        case OpenMode::CreateNew: return O_WRONLY | O_CREAT | O_EXCL;
        case OpenMode::Replace: return O_WRONLY | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

OpenError posix::openErrorOf(int error) {
    if (error == ENOENT) return OpenError::Missing;
    if (error == EEXIST) return OpenError::NameTaken;
    return OpenError::Other;
}

using posix::descriptor;

File::~File() {
    if (isOpen()) ::close(descriptor(handle_));
}

std::int64_t File::readUpTo(std::int64_t offset, std::uint8_t* into, std::size_t size) {
    std::int64_t total = 0;
    while (size > 0) {
        const ssize_t got = ::pread(descriptor(handle_), into, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        into += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
        total += got;
    }
    return total;
}

bool File::writeAt(std::int64_t offset, const std::uint8_t* from, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::pwrite(descriptor(handle_), from, size, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        from += put;
        size -= static_cast<std::size_t>(put);
        offset += put;
    }
    return true;
}

std::size_t fileNameStart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace platform
