#include "platform/InterruptsPosix.h"

#include "platform/Interrupts.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

int wakePipe[2] = {-1, -1};

// The emergency restore, prepared while the game runs and only read by it.
volatile std::sig_atomic_t restoreReady = 0;
int restoreFd = -1;
bool restoreModes = false;
termios savedModes{};
char restoreBytes[256];
std::size_t restoreLength = 0;

}  // namespace

void interrupt::detail::wakeKeyWaits() {
    if (wakePipe[1] < 0) return;
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already wakes every wait; nothing more to do then.
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void interrupt::detail::drainWakeUps() {
    if (wakePipe[0] < 0) return;
    char drain[64];
    while (::read(wakePipe[0], drain, sizeof drain) > 0) {
    }
}

namespace {

[[noreturn]] void dieNow(int sig) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, sig);
    sigprocmask(SIG_UNBLOCK, &mask, nullptr);
    ::raise(sig);
    // Only reached for a signal whose default action does not end the process.
    ::_exit(128 + sig);
}

void onStopSignal(int sig) {
    if (interrupt::pending() != 0) {
        // The game is already on its way out and something wants it gone now.
        interrupt::emergencyRestore();
        dieNow(sig);
    }
    interrupt::deliver(sig);
}

void onCrashSignal(int sig) {
    interrupt::emergencyRestore();
    dieNow(sig);
}

void handle(int sig, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a write blocked on a stuck terminal must return.
    action.sa_flags = 0;
    sigaction(sig, &action, nullptr);
}

}  // namespace

namespace interrupt {

void install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) handle(sig, onStopSignal);
    for (int sig : {SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) handle(sig, onCrashSignal);
    // A terminal that went away must not kill the game by a write: the
    // hangup is handled as a signal, and writes simply fail.
    handle(SIGPIPE, SIG_IGN);
}

int wakeFd() { return wakePipe[0]; }

void setEmergencyRestore(int fd, const termios* modes, const std::string& bytes) {
    restoreReady = 0;
    restoreFd = fd;
    restoreModes = modes != nullptr;
    if (modes != nullptr) savedModes = *modes;
    restoreLength = std::min(bytes.size(), sizeof restoreBytes);
    std::memcpy(restoreBytes, bytes.data(), restoreLength);
    restoreReady = 1;
}

void clearEmergencyRestore() { restoreReady = 0; }

void emergencyRestore() {
    if (restoreReady == 0) return;
    restoreReady = 0;
    // Non-blocking for this write only: the descriptor is shared with the
    // shell, which expects it blocking again.
    const int flags = ::fcntl(restoreFd, F_GETFL);
    if (flags >= 0) ::fcntl(restoreFd, F_SETFL, flags | O_NONBLOCK);
    std::size_t done = 0;
    while (done < restoreLength) {
        const ssize_t written = ::write(restoreFd, restoreBytes + done, restoreLength - done);
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    if (flags >= 0) ::fcntl(restoreFd, F_SETFL, flags);
    if (restoreModes) ::tcsetattr(restoreFd, TCSANOW, &savedModes);
}

void exitBySignal(int signal) { dieNow(signal); }

}  // namespace interrupt
