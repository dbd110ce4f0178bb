#include "screen/ScreenGrid.h"

std::size_t ScreenGrid::index(int x, int y) {
    return static_cast<std::size_t>(y) * SCREEN_WIDTH + static_cast<std::size_t>(x);
}

std::string ScreenGrid::row(int y) const {
    std::string text;
    if (y < 0 || y >= SCREEN_HEIGHT) return text;
    text.reserve(SCREEN_WIDTH);
    for (int x = 0; x < SCREEN_WIDTH; ++x) text.push_back(at(x, y).ch);
    return text;
}

std::string ScreenGrid::dump() const {
    std::string text;
    text.reserve((SCREEN_WIDTH + 1) * SCREEN_HEIGHT);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        text += row(y);
        text.push_back('\n');
    }
    return text;
}
