#pragma once
// The game's own random generator: the classic 15-bit linear congruential
// generator (0 to 32767), independent of the C library's rand().

namespace rng {
constexpr int RAND_MAX_VALUE = 32767;
void srand(unsigned seed);
int rand();
}  // namespace rng
