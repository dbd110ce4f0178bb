#pragma once
// An open file's descriptor as POSIX reads and writes it, shared by every
// system that has POSIX's file calls (the browser's files are POSIX files
// in the page's memory, kept by a store of their own).

#include <cstdint>

#include "platform/Files.h"

namespace platform::posix {

// The open() flags of a mode, without the creation's permissions.
int openFlags(OpenMode mode);
// What a failed open() means to the game.
OpenError openErrorOf(int error);

inline int descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace platform::posix
