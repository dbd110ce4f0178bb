#include "platform/Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/FileAccess.h"
#include "platform/posix/SystemExtras.h"

namespace platform {

using posix::descriptor;

namespace {

// Galaxies as the game always made them: others may read them. A pending
// save is left to the umask.
mode_t permissions(OpenMode mode) { return mode == OpenMode::Replace ? 0644 : 0666; }

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
    const int fd = ::open(path.c_str(), posix::openFlags(mode) | O_CLOEXEC, permissions(mode));
    if (fd < 0)
        openError_ = posix::openErrorOf(errno);
    else
        handle_ = fd;
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
