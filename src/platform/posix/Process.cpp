#include "platform/Process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/SystemExtras.h"

namespace platform {

long currentProcessId() { return static_cast<long>(::getpid()); }

bool processAlive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

std::optional<std::filesystem::path> programFile() { return posix::programFile(); }

bool threadsAvailable() { return true; }

}  // namespace platform
