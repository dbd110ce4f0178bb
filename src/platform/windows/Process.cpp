#include "platform/Process.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

namespace platform {

long currentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool processAlive(long pid) {
    if (pid <= 0) return false;
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    // Another user's process may refuse to be opened: it runs all the same.
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    // A process that has ended stays known while a handle to it is open.
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

std::optional<std::filesystem::path> programFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::nullopt;
        if (length < name.size()) return std::filesystem::path(name.substr(0, length));
        name.resize(name.size() * 2);
    }
}

bool threadsAvailable() { return true; }

}  // namespace platform
