#include "screen/Timer.h"

#include "screen/ConLib.h"
#include "platform/Clock.h"

namespace {
std::uint64_t nowMs() {
    if (ConLib* console = ConLib::current()) return console->nowMs();
    return platform::monotonicMs();
}
}  // namespace

void Timer::start() { startTick = nowMs(); }

unsigned long Timer::getElapsedTime() const {
    const std::uint64_t now = nowMs();
    return now >= startTick ? static_cast<unsigned long>(now - startTick) : 0UL;
}

bool Timer::timeout(unsigned long limit) const { return getElapsedTime() <= limit; }
