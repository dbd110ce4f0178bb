#include "console/WindowsConsoleMapping.h"

namespace {

constexpr unsigned CONSOLE_RED = 4, CONSOLE_GREEN = 2, CONSOLE_BLUE = 1;
constexpr unsigned BACKGROUND_SHIFT = 4;

unsigned consoleColour(unsigned colourNumber) {
    return ((colourNumber & 1u) != 0 ? CONSOLE_RED : 0u) | ((colourNumber & 2u) != 0 ? CONSOLE_GREEN : 0u) |
           ((colourNumber & 4u) != 0 ? CONSOLE_BLUE : 0u);
}

}  // namespace

std::uint16_t consoleAttribute(unsigned text, unsigned background) {
    return static_cast<std::uint16_t>(consoleColour(text) | consoleColour(background) << BACKGROUND_SHIFT);
}
