#pragma once
// The game's real-time clock: milliseconds that never go back, whatever
// happens to the time of day.

#include <cstdint>

namespace platform {

std::uint64_t monotonicMs();

}  // namespace platform
