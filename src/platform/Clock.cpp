#include "platform/Clock.h"

#include <chrono>

// The standard library's steady clock is monotonic on every system the game
// builds for (clock_gettime on POSIX, the performance counter on Windows).
std::uint64_t platform::monotonicMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
