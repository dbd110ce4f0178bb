#pragma once
// Millisecond stopwatch on the console's monotonic clock.

#include <cstdint>

class Timer {
public:
    Timer() = default;
    void start();
    unsigned long getElapsedTime() const;
    // True while no more than `limit` ms have passed since start().
    bool timeout(unsigned long limit) const;

private:
    std::uint64_t startTick = 0;
};
