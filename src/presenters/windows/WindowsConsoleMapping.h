#pragma once
// What the Windows presenter hands to the console: the attribute bits of
// each of the game's text and background colours.

#include <cstdint>

// The console's own bit order is the reverse of the game's colour numbers
// (its blue is bit 0, the game's red is), text in the low four bits and
// background in the next four; the intensity bits are never set. Only the
// low three bits of a colour number count.
std::uint16_t consoleAttribute(unsigned text, unsigned background);

// The attribute handed to the console. Windows takes it as it is. Wine's
// console on a terminal writes plain white text as "all attributes off",
// which drops the background too: there, plain white on a colour goes as
// bright white.
std::uint16_t attributeForConsole(std::uint16_t attribute, bool underWine);
