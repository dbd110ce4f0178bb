#include "presenters/windows/WindowsConsoleMapping.h"

namespace {

constexpr unsigned CONSOLE_RED = 4, CONSOLE_GREEN = 2, CONSOLE_BLUE = 1;
constexpr unsigned BACKGROUND_SHIFT = 4;
constexpr unsigned CONSOLE_INTENSITY = 8;
constexpr unsigned TEXT_BITS = 0x0F;
constexpr unsigned PLAIN_WHITE = CONSOLE_RED | CONSOLE_GREEN | CONSOLE_BLUE;

unsigned consoleColour(unsigned colourNumber) {
    return ((colourNumber & 1u) != 0 ? CONSOLE_RED : 0u) | ((colourNumber & 2u) != 0 ? CONSOLE_GREEN : 0u) |
           ((colourNumber & 4u) != 0 ? CONSOLE_BLUE : 0u);
}

}  // namespace

std::uint16_t consoleAttribute(unsigned text, unsigned background) {
    return static_cast<std::uint16_t>(consoleColour(text) | consoleColour(background) << BACKGROUND_SHIFT);
}

std::uint16_t attributeForConsole(std::uint16_t attribute, bool underWine) {
    const bool plainWhiteOnColour = (attribute & TEXT_BITS) == PLAIN_WHITE && (attribute >> BACKGROUND_SHIFT) != 0;
    if (!underWine || !plainWhiteOnColour) return attribute;
    return static_cast<std::uint16_t>(attribute | CONSOLE_INTENSITY);
}
