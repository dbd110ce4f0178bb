#include "platform/posix/SystemExtras.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform::posix {

RenameResult renameNoReplace(const char* from, const char* to) { return renameByLink(from, to); }

// Nothing portable starts a write-back early: the sync that follows does it all.
void startWriteback(int) {}

// POSIX.1-2008's own locks belong to the process and end when any of its
// descriptors of the file is closed: they cannot hold a galaxy.
LockOutcome holdLock(int) { return LockOutcome::Unsupported; }

bool makeWakePipe(int ends[2]) {
    if (::pipe(ends) != 0) return false;
    for (int i = 0; i < 2; ++i) {
        ::fcntl(ends[i], F_SETFD, FD_CLOEXEC);
        ::fcntl(ends[i], F_SETFL, ::fcntl(ends[i], F_GETFL) | O_NONBLOCK);
    }
    return true;
}

// POSIX has no portable way to learn it; the tutorial is then found in the
// working folder and the installed data folder.
std::optional<std::filesystem::path> programFile() { return std::nullopt; }

}  // namespace platform::posix
