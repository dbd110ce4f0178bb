#include "console/Timer.h"

#include <chrono>

#include "console/ConLib.h"

namespace {
std::uint64_t nowMs() {
    if (ConLib* console = ConLib::current()) return console->nowMs();
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}  // namespace

void Timer::start() { startTick = nowMs(); }

unsigned long Timer::getElapsedTime() const {
    const std::uint64_t now = nowMs();
    return now >= startTick ? static_cast<unsigned long>(now - startTick) : 0UL;
}

bool Timer::timeout(unsigned long limit) const { return getElapsedTime() <= limit; }
