#pragma once
// The 80 x 25 screen that every part of the game draws into. The presenters
// show it; nothing else in the game knows what a terminal is.

#include <array>
#include <cstdint>
#include <string>

// A cell: X the column 0 to 79, Y the row 0 to 24. Also map positions and
// the other dimension's sector coordinates. (Not COORD: that name is the
// Windows console's own.)
struct Coord {
    short X = 0;
    short Y = 0;
};

inline bool operator==(Coord a, Coord b) { return a.X == b.X && a.Y == b.Y; }

constexpr int SCREEN_WIDTH = 80;
constexpr int SCREEN_HEIGHT = 25;

// One character cell: a byte of text with its text and background colour
// numbers (0 black, 1 red, 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 white).
struct Cell {
    char ch = ' ';
    std::uint8_t fg = 7;
    std::uint8_t bg = 0;

    bool operator==(const Cell&) const = default;
};

class ScreenGrid {
public:
    static bool contains(int x, int y) {
        return x >= 0 && x < SCREEN_WIDTH && y >= 0 && y < SCREEN_HEIGHT;
    }

    // Callers must stay inside the grid (see contains()).
    const Cell& at(int x, int y) const { return cells_[index(x, y)]; }
    Cell& at(int x, int y) { return cells_[index(x, y)]; }

    void fill(Cell cell) { cells_.fill(cell); }

    // The text of one row, 80 characters.
    std::string row(int y) const;
    // All 25 rows joined by line feeds.
    std::string dump() const;

    bool operator==(const ScreenGrid&) const = default;

private:
    static std::size_t index(int x, int y);

    std::array<Cell, SCREEN_WIDTH * SCREEN_HEIGHT> cells_{};
};
