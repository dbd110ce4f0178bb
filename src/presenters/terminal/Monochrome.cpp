#include "presenters/terminal/Monochrome.h"

namespace {

constexpr unsigned BLACK = 0, RED = 1, GREEN = 2, YELLOW = 3, BLUE = 4, MAGENTA = 5, CYAN = 6, WHITE = 7;

bool isLight(unsigned colour) { return colour == WHITE || colour == YELLOW || colour == CYAN || colour == GREEN; }

}  // namespace

MonoLook monochromeLook(const Cell& cell) {
    const unsigned fg = cell.fg & 7u;
    const unsigned bg = cell.bg & 7u;
    MonoLook look;
    look.reverse = isLight(bg);
    if (cell.ch == ' ') return look;
    const bool darkColouredBackground = !isLight(bg) && bg != BLACK;
    switch (fg) {
        case BLACK:
            if (darkColouredBackground) look.reverse = true;
            break;
        case RED:
            look.bold = true;
            look.underline = !isLight(bg);
            break;
        case YELLOW: look.bold = true; break;
        case BLUE:
        case MAGENTA:
        case CYAN: look.underline = true; break;
        default: break;  // green and white: plain text
    }
    return look;
}
