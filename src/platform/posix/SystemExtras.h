#pragma once
// What POSIX leaves to each system: the portable way is in posix/, and a
// system's folder may give its own better one in a file of the same name
// (linux/SystemExtras.cpp), which the build then takes instead.

#include <filesystem>
#include <optional>

#include "platform/Files.h"

namespace platform::posix {

// Gives `from` the name `to`, never replacing a file of that name.
RenameResult renameNoReplace(const char* from, const char* to);
// The portable way of that: a hard link, which refuses a taken name too.
RenameResult renameByLink(const char* from, const char* to);

// Starts the writing of what was written to `fd`, without waiting; a hint.
void startWriteback(int fd);

// A lock that holds a file for this process alone, taken without waiting.
// It must belong to the open file, not to the process: closing another
// descriptor of the same file (every save does) must leave it in place.
enum class LockOutcome { Locked, Busy, Unsupported };
LockOutcome holdLock(int fd);

// A pipe whose ends are closed on exec and never block.
bool makeWakePipe(int ends[2]);

// The program's own file, when the system tells.
std::optional<std::filesystem::path> programFile();

}  // namespace platform::posix
