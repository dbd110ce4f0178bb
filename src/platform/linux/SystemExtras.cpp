#include "platform/posix/SystemExtras.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform::posix {

RenameResult renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return RenameResult::Renamed;
    // File systems without that rename take the portable way.
    if (errno == EINVAL || errno == ENOSYS) return renameByLink(from, to);
    return errno == EEXIST ? RenameResult::NameTaken : RenameResult::Failed;
}

void startWriteback(int fd) { ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE); }

namespace {

// The byte a hold locks, far past the end of any galaxy: the same range as
// the Windows game's, whose locks Wine also makes POSIX locks.
constexpr off_t HOLD_OFFSET = off_t{1} << 40;

LockOutcome outcomeOf(int error) {
    return error == EAGAIN || error == EACCES || error == EWOULDBLOCK ? LockOutcome::Busy : LockOutcome::Unsupported;
}

}  // namespace

// A lock of the open file description; kernels older than 3.15 do not know
// those, and every game on them falls back to flock alike.
LockOutcome holdLock(int fd) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = HOLD_OFFSET;
    range.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0) return LockOutcome::Locked;
    if (errno != EINVAL) return outcomeOf(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockOutcome::Locked;
    return outcomeOf(errno);
}

bool makeWakePipe(int ends[2]) { return ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0; }

std::optional<std::filesystem::path> programFile() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
}

}  // namespace platform::posix
