#pragma once
// What the terminal presenter hands to curses and takes from it: the colour
// pair for each of the game's text and background colours, and the game's
// key for each key that curses decoded itself.

#include <string>

// ---- Colours ------------------------------------------------------------------

// The pairs in use are 0 to 63; pair 0 is the terminal's default pair, which
// the presenter sets to white on black.
constexpr int COLOUR_PAIRS_USED = 64;

struct PairColours {
    short text = 0;
    short background = 0;
    bool operator==(const PairColours&) const = default;
};

// The curses colour of a game colour number (only its low three bits count).
short cursesColour(unsigned colourNumber);
// The pair that shows text `text` on background `background`.
short colourPairFor(unsigned text, unsigned background);
// The curses colours the presenter gives pair `pair` (0 to 63).
PairColours coloursOfPair(short pair);

// ---- Keys ----------------------------------------------------------------------

// A key that curses decoded itself, known by its curses name ("KEY_UP",
// "KEY_F(5)", or "kUP5" for one it named at run time, as Ctrl+Up), as the
// key decoder's input: a rawkey code.
int rawFromCursesKey(const std::string& name);
