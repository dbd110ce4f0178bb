#pragma once
// The POSIX side of the stops, for the terminal presenter: the wake-up it
// waits on beside the terminal, and the restore a signal handler may run.

#include <termios.h>

#include <string>

namespace interrupt {

// Readable from the moment a signal is recorded; -1 before install().
int wakeFd();

// What gives the terminal back when there is no time for anything else (a
// second signal, a crash, a hangup): the terminal's modes and the bytes that
// leave the game's screen, prepared in advance by the game's thread (and
// published whole to the handlers) and written without blocking.
void setEmergencyRestore(int fd, const termios* modes, const std::string& bytes);
void clearEmergencyRestore();
// Safe inside a signal handler; does anything only once.
void emergencyRestore();

}  // namespace interrupt
