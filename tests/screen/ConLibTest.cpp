#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "TestSupport.h"
#include "screen/HelpFuncLib.h"
#include "screen/KeyCodes.h"
#include "screen/Timer.h"

TEST(ConLibGrid, ClearFillsWithBackgroundAndHomesCursor) {
    HeadlessConsole t;
    t.con.SetPosition(Coord{10, 10});
    t.con.SetBackgroundColor(4);
    t.con.Clear();
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            ASSERT_EQ(t.con.grid().at(x, y).bg, 4);
            ASSERT_EQ(t.con.grid().at(x, y).ch, ' ');
        }
    EXPECT_EQ(t.con.cursor(), (Coord{0, 0}));
}

TEST(ConLibGrid, ColourNumbersUseTheirLowThreeBits) {
    HeadlessConsole t;
    t.con.SetTextColor(8);
    EXPECT_EQ(t.con.textColor(), 0);
    t.con.SetBackgroundColor(13);
    EXPECT_EQ(t.con.backgroundColor(), 5);
    t.con.OutputString("x");
    EXPECT_EQ(t.con.grid().at(0, 0).fg, 0);
    EXPECT_EQ(t.con.grid().at(0, 0).bg, 5);
}

TEST(ConLibGrid, WritesAtCursorAndHandlesLineEnds) {
    HeadlessConsole t;
    t.con.SetPosition(Coord{5, 3});
    t.con.OutputString("ab\ncd");
    EXPECT_EQ(gridText(t.con, 5, 3, 2), "ab");
    EXPECT_EQ(gridText(t.con, 0, 4, 2), "cd");
    t.con.out() << "\rZ" << 42;
    EXPECT_EQ(gridText(t.con, 0, 4, 3), "Z42");
    EXPECT_EQ(t.con.cursor(), (Coord{3, 4}));
}

TEST(ConLibGrid, RightEdgeWrapsOnlyWhenTheNextCharacterComes) {
    HeadlessConsole t;
    t.con.SetPosition(Coord{78, 2});
    t.con.OutputString("*\n");  // a border's last cell: one line break, not two
    t.con.SetPosition(Coord{79, 5});
    t.con.OutputString("*");
    t.con.OutputString("\n");
    EXPECT_EQ(t.con.cursor(), (Coord{0, 6}));
    t.con.SetPosition(Coord{79, 7});
    t.con.OutputString("AB");
    EXPECT_EQ(t.con.grid().at(79, 7).ch, 'A');
    EXPECT_EQ(t.con.grid().at(0, 8).ch, 'B');
}

TEST(ConLibGrid, BottomRowNeverScrollsOrWritesOutside) {
    HeadlessConsole t;
    t.con.SetPosition(Coord{78, 24});
    t.con.OutputString("XYZW\n\nQ");
    EXPECT_EQ(t.con.grid().at(78, 24).ch, 'X');
    EXPECT_EQ(t.con.grid().at(79, 24).ch, 'Y');
    EXPECT_EQ(t.con.grid().at(0, 24).ch, 'Q');  // line feeds stay on the bottom row
    EXPECT_EQ(t.con.grid().at(0, 0).ch, ' ');
}

TEST(ConLibGrid, PositionsOutsideTheScreenAreIgnored) {
    HeadlessConsole t;
    t.con.SetPosition(Coord{4, 4});
    t.con.SetPosition(Coord{80, 0});
    t.con.SetPosition(Coord{0, 25});
    t.con.SetPosition(Coord{-1, 3});
    EXPECT_EQ(t.con.cursor(), (Coord{4, 4}));
}

TEST(ConLibKeys, EveryPressIsFollowedByOneRelease) {
    HeadlessConsole t;
    t.screen->pushKeys({'A', keycode::Up});
    EXPECT_EQ(t.con.GetKey(), 65u);
    EXPECT_EQ(t.con.GetKey(), 0u);
    EXPECT_EQ(t.con.GetKey(), 38u);
    EXPECT_EQ(t.con.GetKey(), 0u);
    EXPECT_THROW(t.con.GetKey(), ScriptExhausted);
}

TEST(ConLibKeys, ScreenIsPresentedBeforeWaiting) {
    HeadlessConsole t;
    t.con.OutputString("hello");
    t.screen->pushKey('X');
    EXPECT_EQ(t.screen->row(0).substr(0, 5), "     ");
    t.con.GetKey();
    EXPECT_EQ(t.screen->row(0).substr(0, 5), "hello");
}

TEST(ConLibTime, KeyPollingTimesOutOnVirtualTime) {
    HeadlessConsole t;
    const auto start = t.con.nowMs();
    EXPECT_FALSE(isKeyPressed(0));
    EXPECT_EQ(t.con.nowMs(), start);
    EXPECT_FALSE(isKeyPressed(500));
    EXPECT_EQ(t.con.nowMs(), start + 500);
    t.screen->pushDelay(300);
    t.screen->pushKey('A');
    EXPECT_FALSE(isKeyPressed(200));  // arrives at +300
    EXPECT_TRUE(isKeyPressed(200));
    EXPECT_EQ(t.con.GetKey(), 65u);
    EXPECT_TRUE(isKeyPressed(0));  // the release is waiting
    EXPECT_EQ(t.con.GetKey(), 0u);
}

TEST(ConLibTime, TimerRunsOnTheConsoleClock) {
    HeadlessConsole t;
    Timer timer;
    timer.start();
    EXPECT_TRUE(timer.timeout(1000));
    t.con.sleep(1000);
    EXPECT_TRUE(timer.timeout(1000));
    t.con.sleep(1);
    EXPECT_FALSE(timer.timeout(1000));
    EXPECT_EQ(timer.getElapsedTime(), 1001u);
}

TEST(ConLibTypedInput, WordIsEchoedInCurrentColoursAndRestStaysPending) {
    HeadlessConsole t;
    t.con.SetBackgroundColor(7);
    t.con.SetTextColor(1);
    t.con.SetPosition(Coord{20, 13});
    t.screen->pushText("Andromeda  second\n");
    EXPECT_EQ(t.con.readWord(), "Andromeda");
    EXPECT_EQ(gridText(t.con, 20, 13, 17), "Andromeda  second");
    EXPECT_EQ(t.con.grid().at(20, 13).fg, 1);
    EXPECT_EQ(t.con.grid().at(20, 13).bg, 7);
    EXPECT_EQ(t.con.cursor(), (Coord{0, 14}));
    EXPECT_EQ(t.con.readWord(), "second");  // no new line is read
    EXPECT_TRUE(t.screen->scriptEmpty());
}

TEST(ConLibTypedInput, BackspaceEditsAndBlankLinesAreSkipped) {
    HeadlessConsole t;
    t.screen->pushText("\n  \nabx");
    t.screen->pushKey(keycode::Backspace);
    t.screen->pushText("c\n");
    EXPECT_EQ(t.con.readWord(), "abc");
    // Enter on a blank line kept the typing on the same row.
    EXPECT_EQ(gridText(t.con, 0, 0, 6), "  abc ");
}

// Typing never leaves its field: the characters between the input position
// and the window's inner right edge (or the rest of the row). Blank lines
// keep the cursor where it is, Backspace takes back only what was typed, and
// every further key is ignored.
TEST(ConLibTypedInput, TypingStaysInsideItsField) {
    const struct {
        short column;
        int width;
        std::string typed;
        std::string word;
        std::string field;  // the field's cells from its first column afterwards
    } cases[] = {
        {20, 42, std::string(300, 'w') + "\n", std::string(42, 'w'), std::string(42, 'w')},
        {20, 42, "\n  \n\nab\n", "ab", "  ab#"},
        {20, 42, "\b\b\bx\b\b\bok\n", "ok", "ok#"},
        {20, 19, std::string(19, 'n') + "\n", std::string(19, 'n'), std::string(19, 'n')},
        {40, 22, std::string(30, '7') + "\b\b1\n", std::string(20, '7') + "1", std::string(20, '7') + "1 "},
        {79, 0, "abc\n", "a", "a"},
        {75, 9, "abcdefgh\n", "abcde", "abcde"},  // the end of the row comes first
    };
    for (const auto& c : cases) {
        HeadlessConsole t;
        for (int y = 0; y < SCREEN_HEIGHT; ++y) writeAt(&t.con, 0, y, std::string(SCREEN_WIDTH - (y == 24), '#'));
        const ScreenGrid before = t.con.grid();
        const int room = std::min(c.width > 0 ? c.width : SCREEN_WIDTH, SCREEN_WIDTH - c.column);
        std::vector<Coord> cursors;
        t.screen->onPresent = [&](const HeadlessBackend& b) { cursors.push_back(b.shownCursor()); };
        t.con.SetPosition(Coord{c.column, 13});
        t.screen->pushText(c.typed);
        EXPECT_EQ(t.con.readWord(c.width), c.word) << c.typed;
        EXPECT_TRUE(t.screen->scriptEmpty());
        EXPECT_EQ(gridText(t.con, c.column, 13, static_cast<int>(c.field.size())), c.field) << c.typed;
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                if (y == 13 && x >= c.column && x < c.column + room) continue;
                ASSERT_EQ(t.con.grid().at(x, y), before.at(x, y)) << c.typed << " at " << x << ", " << y;
            }
        }
        for (Coord cursor : cursors) {
            EXPECT_EQ(cursor.Y, 13) << c.typed;
            EXPECT_GE(cursor.X, c.column) << c.typed;
            EXPECT_LE(cursor.X, std::min(c.column + room, SCREEN_WIDTH - 1)) << c.typed;
        }
    }
}

TEST(ConLibTypedInput, NumbersAndBadInput) {
    HeadlessConsole t;
    t.screen->pushText("42 -7 abc 12abc 99999999999 -99999999999 +5\n");
    EXPECT_EQ(t.con.readNumber(), 42);
    EXPECT_EQ(t.con.readNumber(), -7);
    EXPECT_EQ(t.con.readNumber(), 0);  // not a number
    EXPECT_EQ(t.con.readNumber(), 0);
    EXPECT_EQ(t.con.readNumber(), INT_MAX);
    EXPECT_EQ(t.con.readNumber(), INT_MIN);
    EXPECT_EQ(t.con.readNumber(), 5);
    // A failed number leaves nothing behind for the next prompt.
    t.screen->pushText("x\n17\n");
    EXPECT_EQ(t.con.readNumber(), 0);
    EXPECT_EQ(t.con.readNumber(), 17);
}

TEST(ConLibTypedInput, DiscardLineForgetsPendingText) {
    HeadlessConsole t;
    t.screen->pushText("5 6 7\n8\n");
    EXPECT_EQ(t.con.readNumber(), 5);
    t.con.discardLine();
    EXPECT_EQ(t.con.readNumber(), 8);
}

TEST(ConLibTypedInput, TypedLineLengthIsBounded) {
    HeadlessConsole t;
    // Typing stops at its field: the rest of the row, or the width given.
    t.screen->pushText(std::string(400, 'w') + "\n" + std::string(400, 'v') + "\n");
    EXPECT_EQ(t.con.readWord().size(), static_cast<std::size_t>(SCREEN_WIDTH));
    t.con.SetPosition(Coord{20, 13});
    EXPECT_EQ(t.con.readWord(19), std::string(19, 'v'));
}

TEST(ConLibPause, WritesPromptAndWaitsForAKey) {
    HeadlessConsole t;
    t.screen->pushKey('Q');
    t.con.pause();
    EXPECT_EQ(gridText(t.con, 0, 0, 30), "Press any key to continue . . ");
    EXPECT_EQ(t.con.cursor(), (Coord{0, 1}));
}

TEST(ConLibTitle, TitleReachesThePresenter) {
    HeadlessConsole t;
    t.con.SetTitle("Starhollow");
    EXPECT_EQ(t.screen->title(), "Starhollow");
}
