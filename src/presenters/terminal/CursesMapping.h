#pragma once
// What the terminal presenter hands to curses and takes from it: the colour
// pair for each of the game's text and background colours, and the game's
// key for each key that curses decoded itself.

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

// A code that wgetch returned, as the key decoder's input: bytes stay as they
// are, keys curses decoded become rawkey codes. `extendedName` is curses' name
// for a code it made up at run time for a key with modifiers (such as "kUP5"
// for Ctrl+Up), or null.
int rawFromCursesKey(int code, const char* extendedName);
