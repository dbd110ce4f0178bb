#pragma once
// How a cell shows on a terminal without colours (vt100): the game's colour
// pairs become video attributes, so that windows stand out from the screens
// under them and the map's planets, pirates planet, ancient part and ship
// stay told apart.

#include "screen/ScreenGrid.h"

struct MonoLook {
    bool reverse = false;
    bool bold = false;
    bool underline = false;

    bool operator==(const MonoLook&) const = default;
};

// Light backgrounds (white, yellow, cyan, green: windows, planet screens,
// the battle) show in reverse video. On the text: red and yellow, the
// game's warning colours, are bold, and red on a dark background (the
// ancient part and the pirates planet on the map) is underlined as well;
// black text on a dark colour (the ship on the map) is reversed; blue,
// magenta and cyan text is underlined. A blank cell shows only its background.
MonoLook monochromeLook(const Cell& cell);
