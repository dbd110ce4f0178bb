#pragma once
// Resource and money arithmetic is done in 64 bits and brought back into the
// 32-bit fields here, so no amount can wrap around.

#include <cstdint>
#include <limits>

inline int clampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<int>(value);
}

// a + b and a - b, saturated at the 32-bit bounds.
inline int saturatedAdd(int a, int b) { return clampToInt32(std::int64_t{a} + b); }
inline int saturatedSub(int a, int b) { return clampToInt32(std::int64_t{a} - b); }
