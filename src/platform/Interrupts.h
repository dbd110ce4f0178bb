#pragma once
// Where stops come from: POSIX signals, or on Windows the console's control
// events (Ctrl+C and Ctrl+Break, closing the console window, log-off and
// shut-down). The game knows each stop by the number of the POSIX signal
// that means the same. A handler only records the first stop and wakes the
// key waits, so that the game unwinds between two key reads and can save.

#include <csignal>
#include <functional>
#include <thread>

// Windows has no hangup signal: closing the console window stands for it,
// under the number POSIX gives it.
#ifndef SIGHUP
#define SIGHUP 1
#endif

namespace interrupt {

// Installs the handlers once: SIGINT, SIGTERM and SIGHUP (or their console
// events) are recorded, and a second one while the first is pending gives
// the console back and ends the process at once; crashes give the console
// back too.
void install();

// The recorded signal, or 0.
int pending();
// Records a signal as the handler does: Ctrl+C read as a key, a terminal
// that went away, a test script.
void deliver(int signal);
// After a hangup the terminal is gone: nothing may block writing to it.
bool terminalGone();
// Forgets the recorded signal (tests that simulate one).
void reset();

// Ends the process with the status the shell expects of that signal (130
// for SIGINT, 143 for SIGTERM, 129 for SIGHUP).
[[noreturn]] void exitBySignal(int signal);

// Starts a helper thread that no stop ever reaches, so that the handlers
// always run on the game's own thread.
std::thread threadWithoutStops(std::function<void()> body);

namespace detail {
// Each system's own side: wakes every key wait, and forgets the wake-ups.
void wakeKeyWaits();
void drainWakeUps();
// After the first stop: makes sure a second Ctrl+C reaches the handler.
void prepareForSecondStop();
}  // namespace detail

}  // namespace interrupt
