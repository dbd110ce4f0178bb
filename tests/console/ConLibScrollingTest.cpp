// The console's scrolling mode: output past the bottom row moves the screen
// up like a terminal's; without it the bottom row keeps its fixed cells.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "TestSupport.h"

namespace {

struct BottomRowCase {
    const char* name;
    bool scrolling;
    COORD start;
    const char* text;
    // Expected afterwards: rows 22 to 24 (first 3 cells) and the cursor.
    const char* row22;
    const char* row23;
    const char* row24;
    COORD cursor;
};

// Rows 0..24 hold "r00".."r24" before each case.
void fillRows(ConLib& con) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        con.SetPosition(COORD{0, static_cast<short>(y)});
        con.OutputString((y < 10 ? "r0" : "r") + std::to_string(y));
    }
}

}  // namespace

TEST(ConLibScrolling, OutputPastTheBottomRow) {
    const BottomRowCase cases[] = {
        {"line end on the bottom row scrolls", true, {3, 24}, "\nxy", "r23", "r24", "xy ", {2, 24}},
        {"line end on the bottom row stays", false, {3, 24}, "\nxy", "r22", "r23", "xy4", {2, 24}},
        {"full bottom row wraps by scrolling", true, {79, 24}, "AB", "r23", "r24", "B  ", {1, 24}},
        {"full bottom row drops the character", false, {79, 24}, "AB", "r22", "r23", "r24", {80, 24}},
        {"rows above the bottom never scroll", true, {0, 22}, "\n\n", "r22", "r23", "r24", {0, 24}},
        {"two line ends scroll twice", true, {0, 24}, "\n\nz", "r24", "   ", "z  ", {1, 24}},
        {"carriage return rewrites the bottom row", true, {0, 24}, "ab\rc", "r22", "r23", "cb4", {1, 24}},
    };
    for (const BottomRowCase& c : cases) {
        HeadlessConsole t;
        fillRows(t.con);
        t.con.setScrolling(c.scrolling);
        t.con.SetPosition(c.start);
        t.con.OutputString(c.text);
        EXPECT_EQ(gridText(t.con, 0, 22, 3), c.row22) << c.name;
        EXPECT_EQ(gridText(t.con, 0, 23, 3), c.row23) << c.name;
        EXPECT_EQ(gridText(t.con, 0, 24, 3), c.row24) << c.name;
        EXPECT_EQ(t.con.cursor(), c.cursor) << c.name;
    }
}

TEST(ConLibScrolling, NewBottomRowTakesTheCurrentColoursAndTheTopRowLeaves) {
    HeadlessConsole t;
    t.con.OutputString("top");
    t.con.setScrolling(true);
    t.con.SetBackgroundColor(0);
    t.con.SetTextColor(2);
    t.con.SetPosition(COORD{0, 24});
    t.con.OutputString("\n");
    EXPECT_EQ(gridText(t.con, 0, 0, 3), "   ");
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
        ASSERT_EQ(t.con.grid().at(x, 24).fg, 2u);
        ASSERT_EQ(t.con.grid().at(x, 24).bg, 0u);
    }
}

TEST(ConLibScrolling, ScopedModeIsRestoredWhenTheScopeEndsOrThrows) {
    HeadlessConsole t;
    {
        const ScopedScrolling on(&t.con, true);
        EXPECT_TRUE(t.con.scrolling());
        {
            const ScopedScrolling off(&t.con, false);
            EXPECT_FALSE(t.con.scrolling());
        }
        EXPECT_TRUE(t.con.scrolling());
    }
    EXPECT_FALSE(t.con.scrolling());
    try {
        const ScopedScrolling on(&t.con, true);
        t.con.GetKey();  // the empty script throws
    } catch (const ScriptExhausted&) {
    }
    EXPECT_FALSE(t.con.scrolling());
}
