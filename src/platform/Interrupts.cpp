#include "platform/Interrupts.h"

#include <atomic>

namespace {

// Written by a signal handler or a control handler's thread: lock-free, so
// safe in both.
std::atomic<int> recorded{0};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

namespace interrupt {

int pending() { return recorded.load(); }

void deliver(int signal) {
    int none = 0;
    if (signal == 0 || !recorded.compare_exchange_strong(none, signal)) return;
    detail::wakeKeyWaits();
    detail::prepareForSecondStop();
}

bool terminalGone() { return recorded.load() == SIGHUP; }

void reset() {
    recorded.store(0);
    detail::drainWakeUps();
}

}  // namespace interrupt
