#pragma once
// The running program as the system knows it.

#include <filesystem>
#include <optional>

namespace platform {

long currentProcessId();
// True while a process with that id runs (also one of another user's).
bool processAlive(long pid);
// Whether the process can run a second thread: a page without
// SharedArrayBuffer cannot.
bool threadsAvailable();
// The program's own file, when the system tells.
std::optional<std::filesystem::path> programFile();

}  // namespace platform
