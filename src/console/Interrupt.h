#pragma once
// Ctrl+C, termination and hangup end the game, but never in the middle of
// something: the signal handler only records the signal and wakes the key
// wait, and the console's key waits then throw GameInterrupted, so the game
// unwinds between two key reads and can save the galaxy on its way out.

#include <termios.h>

#include <stdexcept>
#include <string>

class GameInterrupted : public std::runtime_error {
public:
    explicit GameInterrupted(int signal);
    int signal() const { return signal_; }

private:
    int signal_;
};

// Runs `work` and gives its result; when a stop unwinds it, `settle` runs
// first (what stopping there must cost) and the stop goes on.
template <typename Work, typename Settle>
decltype(auto) settleOnStop(Work&& work, Settle&& settle) {
    try {
        return work();
    } catch (const GameInterrupted&) {
        settle();
        throw;
    }
}

namespace interrupt {

// Installs the handlers once: SIGINT, SIGTERM and SIGHUP are recorded (a
// second one while the first is pending gives the terminal back and ends the
// process at once); crash signals give the terminal back and take their
// default action.
void install();

// The recorded signal, or 0.
int pending();
// Records a signal as the handler does: Ctrl+C read in raw mode, a terminal
// that went away, a test script.
void deliver(int signal);
// Throws GameInterrupted while a signal is recorded.
void throwIfPending();
// Readable from the moment a signal is recorded; -1 before install().
int wakeFd();
// After a hangup the terminal is gone: nothing may block writing to it.
bool terminalGone();
// Forgets the recorded signal (tests that simulate one).
void reset();

// What gives the terminal back when there is no time for anything else (a
// second signal, a crash, a hangup): the terminal's modes and the bytes that
// leave the game's screen, prepared in advance and written without blocking.
void setEmergencyRestore(int fd, const termios* modes, const std::string& bytes);
void clearEmergencyRestore();
// Safe inside a signal handler; does anything only once.
void emergencyRestore();

// Ends the process by the signal's default action, so that the shell sees
// the usual status (130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP).
[[noreturn]] void exitBySignal(int signal);

}  // namespace interrupt
