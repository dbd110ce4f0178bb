// The console's scrolling mode: output past the bottom row moves the screen
// up like a terminal's; without it the bottom row keeps its fixed cells.

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

TEST(ConLibScrolling, OutputPastTheBottomRow) {
    struct Case {
        bool scrolling;
        Coord start;
        const char* text;
        const char* row23;  // first three cells afterwards
        const char* row24;
        Coord cursor;
        int scrolls;
    };
    const Case cases[] = {
        {true, {3, 24}, "\nxy", "r24", "xy ", {2, 24}, 1},
        {false, {3, 24}, "\nxy", "r23", "xy4", {2, 24}, 0},
        {true, {79, 24}, "AB", "r24", "B  ", {1, 24}, 1},
        {false, {79, 24}, "AB", "r23", "r24", {80, 24}, 0},
        {true, {0, 23}, "\n", "r23", "r24", {0, 24}, 0},
        {true, {0, 24}, "\n\nz", "   ", "z  ", {1, 24}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HeadlessConsole t;
        for (int y = 0; y < SCREEN_HEIGHT; ++y) writeAt(&t.con, 0, y, (y < 10 ? "r0" : "r") + std::to_string(y));
        t.con.setScrolling(c.scrolling);
        t.con.SetBackgroundColor(5);
        t.con.SetPosition(c.start);
        t.con.OutputString(c.text);
        EXPECT_EQ(gridText(t.con, 0, 23, 3), c.row23);
        EXPECT_EQ(gridText(t.con, 0, 24, 3), c.row24);
        EXPECT_EQ(t.con.cursor(), c.cursor);
        // The row that scrolls in takes the current colours; the top row leaves.
        EXPECT_EQ(t.con.grid().at(50, 24).bg, c.scrolls > 0 ? 5u : 0u);
        EXPECT_EQ(gridText(t.con, 0, 0, 3), "r0" + std::to_string(c.scrolls));
    }
}
