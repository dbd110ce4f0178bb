#include "platform/Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/SystemExtras.h"

namespace platform {

namespace {

int openFlags(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read: return O_RDONLY;
        case OpenMode::ReadWrite: return O_RDWR;
        case OpenMode::CreateNew: return O_WRONLY | O_CREAT | O_EXCL;
        case OpenMode::Replace: return O_WRONLY | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

// Galaxies as the game always made them: others may read them. A pending
// save is left to the umask.
mode_t permissions(OpenMode mode) { return mode == OpenMode::Replace ? 0644 : 0666; }

OpenError openErrorOf(int error) {
    if (error == ENOENT) return OpenError::Missing;
    if (error == EEXIST) return OpenError::NameTaken;
    return OpenError::Other;
}

int descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

std::string folderOf(const std::string& file) {
    const std::size_t start = fileNameStart(file);
    if (start == 0) return ".";
    return start == 1 ? "/" : file.substr(0, start - 1);
}

}  // namespace

FileHold::FileHold(const std::string& path) {
    // Never waiting for a FIFO's other end or a device: a galaxy is a plain file.
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        state_ = errno == ENOENT ? HoldState::Missing : HoldState::Unsupported;
        return;
    }
    switch (posix::holdLock(fd)) {
        case posix::LockOutcome::Locked:
            state_ = HoldState::Held;
            handle_ = fd;
            return;
        case posix::LockOutcome::Busy: state_ = HoldState::HeldElsewhere; break;
        case posix::LockOutcome::Unsupported: state_ = HoldState::Unsupported; break;
    }
    ::close(fd);
}

FileHold::~FileHold() {
    if (handle_ != CLOSED) ::close(descriptor(handle_));
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

File::File(const std::string& path, OpenMode mode) {
    const int fd = ::open(path.c_str(), openFlags(mode) | O_CLOEXEC, permissions(mode));
    if (fd < 0)
        openError_ = openErrorOf(errno);
    else
        handle_ = fd;
}

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

bool File::sync() {
    for (;;) {
        if (::fsync(descriptor(handle_)) == 0) return true;
        if (errno != EINTR) return false;
    }
}

void File::startWriteback() { posix::startWriteback(descriptor(handle_)); }

bool File::close() {
    const std::intptr_t handle = handle_;
    handle_ = CLOSED;
    return handle != CLOSED && ::close(descriptor(handle)) == 0;
}

std::size_t fileNameStart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

RenameResult renameWithoutReplacing(const std::string& from, const std::string& to) {
    return posix::renameNoReplace(from.c_str(), to.c_str());
}

RenameResult posix::renameByLink(const char* from, const char* to) {
    if (::link(from, to) == 0) {
        ::unlink(from);
        return RenameResult::Renamed;
    }
    return errno == EEXIST ? RenameResult::NameTaken : RenameResult::Failed;
}

// A file's creation or removal survives a power cut only once its folder is
// on the disk too (where the file system can say so at all).
void syncFolderOf(const std::string& file) {
    const int fd = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    while (::fsync(fd) != 0 && errno == EINTR) {
    }
    ::close(fd);
}

}  // namespace platform
