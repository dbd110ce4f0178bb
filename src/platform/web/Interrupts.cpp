// Stops in the browser: the page delivers a hangup when the tab is closed or
// reloaded, as a terminal that goes away does, so the game saves and ends.

#include "platform/Interrupts.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, wakeConsoleWaits, (), { if (Module.webConsole) Module.webConsole.wake(); });
// clang-format on

extern "C" EMSCRIPTEN_KEEPALIVE void starhollow_deliver_stop(int signal) { interrupt::deliver(signal); }

namespace interrupt {

// Nothing to install: the page calls starhollow_deliver_stop.
void install() {}

// The page learns the status from the module's exit.
void exitBySignal(int signal) {
    emscripten_force_exit(128 + signal);
    __builtin_unreachable();
}

// Never called: a page has no threads (platform::threadsAvailable()).
std::thread threadWithoutStops(std::function<void()> body) { return std::thread(std::move(body)); }

namespace detail {
void wakeKeyWaits() { wakeConsoleWaits(); }
// A wait looks at the recorded stop itself: nothing is left to forget.
void drainWakeUps() {}
// No second Ctrl+C comes to a page: closing its tab is its only stop.
void prepareForSecondStop() {}
}  // namespace detail

}  // namespace interrupt
