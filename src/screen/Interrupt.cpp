#include "screen/Interrupt.h"

GameInterrupted::GameInterrupted(int signal)
    : std::runtime_error("the game was interrupted by signal " + std::to_string(signal)), signal_(signal) {}

void interrupt::throwIfPending() {
    if (const int signal = pending(); signal != 0) throw GameInterrupted(signal);
}
