#include "platform/posix/SystemExtras.h"

#include <fcntl.h>
#include <stdio.h>
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

bool makeWakePipe(int ends[2]) { return ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0; }

std::optional<std::filesystem::path> programFile() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
}

}  // namespace platform::posix
