#include "platform/posix/Interrupts.h"

#include "platform/Interrupts.h"
#include "platform/posix/SystemExtras.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

int wakePipe[2] = {-1, -1};

// The emergency restore, prepared by the game's thread and read by a signal
// handler. Two slots: the game fills the one not published, then publishes
// it with a release store; a handler takes the published one with an
// acquire exchange, so it sees a slot written whole, and only once.
struct Restore {
    int fd = -1;
    bool modesKnown = false;
    termios modes{};
    char bytes[256];
    std::size_t length = 0;
};
constexpr int NO_RESTORE = -1;
Restore restores[2];
std::atomic<int> published{NO_RESTORE};
static_assert(std::atomic<int>::is_always_lock_free);
int lastFilled = 1;  // the game's thread's own

// The published restore without taking it, or null.
const Restore* publishedRestore() {
    const int slot = published.load(std::memory_order_acquire);
    return slot == NO_RESTORE ? nullptr : &restores[slot];
}

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr char CTRL_C = 3;

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : STOP_SIGNALS) sigaddset(&set, sig);
    return set;
}

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
    pthread_sigmask(SIG_UNBLOCK, &mask, nullptr);
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
    if (!platform::posix::makeWakePipe(wakePipe)) wakePipe[0] = wakePipe[1] = -1;
    for (int sig : STOP_SIGNALS) handle(sig, onStopSignal);
    for (int sig : {SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) handle(sig, onCrashSignal);
    // A terminal that went away must not kill the game by a write: the
    // hangup is handled as a signal, and writes simply fail.
    handle(SIGPIPE, SIG_IGN);
}

int wakeFd() { return wakePipe[0]; }

void setEmergencyRestore(int fd, const termios* modes, const std::string& bytes) {
    const int slot = 1 - lastFilled;
    Restore& restore = restores[slot];
    restore.fd = fd;
    restore.modesKnown = modes != nullptr;
    if (modes != nullptr) restore.modes = *modes;
    restore.length = std::min(bytes.size(), sizeof restore.bytes);
    std::memcpy(restore.bytes, bytes.data(), restore.length);
    lastFilled = slot;
    published.store(slot, std::memory_order_release);
}

void clearEmergencyRestore() { published.store(NO_RESTORE, std::memory_order_release); }

void emergencyRestore() {
    const int slot = published.exchange(NO_RESTORE, std::memory_order_acq_rel);
    if (slot == NO_RESTORE) return;
    const Restore& restore = restores[slot];
    // Non-blocking for this write only: the descriptor is shared with the
    // shell, which expects it blocking again.
    const int flags = ::fcntl(restore.fd, F_GETFL);
    if (flags >= 0) ::fcntl(restore.fd, F_SETFL, flags | O_NONBLOCK);
    std::size_t done = 0;
    while (done < restore.length) {
        const ssize_t written = ::write(restore.fd, restore.bytes + done, restore.length - done);
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    if (flags >= 0) ::fcntl(restore.fd, F_SETFL, flags);
    if (restore.modesKnown) ::tcsetattr(restore.fd, TCSANOW, &restore.modes);
}

void exitBySignal(int signal) { dieNow(signal); }

}  // namespace interrupt

// The game reads the terminal in raw mode, where Ctrl+C is a byte it reads
// between two key waits; once it is on its way out it reads none. From the
// first stop on, the terminal itself turns Ctrl+C into SIGINT, which then
// ends the game at once. Ctrl+Backslash and Ctrl+Z stay bytes: neither may stop a save.
void interrupt::detail::prepareForSecondStop() {
    const Restore* restore = publishedRestore();
    const int savedErrno = errno;
    termios modes{};
    if (restore != nullptr && ::tcgetattr(restore->fd, &modes) == 0) {
        modes.c_lflag |= ISIG;
        modes.c_cc[VINTR] = CTRL_C;
        modes.c_cc[VQUIT] = _POSIX_VDISABLE;
        modes.c_cc[VSUSP] = _POSIX_VDISABLE;
        ::tcsetattr(restore->fd, TCSANOW, &modes);
    }
    errno = savedErrno;
}

namespace {

// Blocks the stops in the calling thread for its lifetime, and gives the
// previous mask back.
class StopsBlocked {
public:
    StopsBlocked() {
        const sigset_t stops = stopSignals();
        pthread_sigmask(SIG_BLOCK, &stops, &previous_);
    }
    ~StopsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    StopsBlocked(const StopsBlocked&) = delete;
    StopsBlocked& operator=(const StopsBlocked&) = delete;

private:
    sigset_t previous_;
};

}  // namespace

std::thread interrupt::threadWithoutStops(std::function<void()> body) {
    // The new thread inherits the mask: no stop can reach it, even before
    // its first instruction.
    const StopsBlocked blocked;
    return std::thread(std::move(body));
}
