#include "platform/Process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

long currentProcessId() { return static_cast<long>(::getpid()); }

bool processAlive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

std::optional<std::filesystem::path> programFile() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
}

}  // namespace platform
