#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "console/HelpFuncLib.h"
#include "console/KeyDecoder.h"
#include "console/Timer.h"

TEST(ConLibGrid, ClearFillsWithBackgroundAndHomesCursor) {
    HeadlessConsole t;
    t.con.SetPosition(COORD{10, 10});
    t.con.SetBackgroundColor(4);
    t.con.Clear();
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            ASSERT_EQ(t.con.grid().at(x, y).bg, 4);
            ASSERT_EQ(t.con.grid().at(x, y).ch, ' ');
        }
    EXPECT_EQ(t.con.cursor(), (COORD{0, 0}));
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
    t.con.SetPosition(COORD{5, 3});
    t.con.OutputString("ab\ncd");
    EXPECT_EQ(gridText(t.con, 5, 3, 2), "ab");
    EXPECT_EQ(gridText(t.con, 0, 4, 2), "cd");
    t.con.out() << "\rZ" << 42;
    EXPECT_EQ(gridText(t.con, 0, 4, 3), "Z42");
    EXPECT_EQ(t.con.cursor(), (COORD{3, 4}));
}

TEST(ConLibGrid, RightEdgeWrapsOnlyWhenTheNextCharacterComes) {
    HeadlessConsole t;
    t.con.SetPosition(COORD{78, 2});
    t.con.OutputString("*\n");  // a border's last cell: one line break, not two
    t.con.SetPosition(COORD{79, 5});
    t.con.OutputString("*");
    t.con.OutputString("\n");
    EXPECT_EQ(t.con.cursor(), (COORD{0, 6}));
    t.con.SetPosition(COORD{79, 7});
    t.con.OutputString("AB");
    EXPECT_EQ(t.con.grid().at(79, 7).ch, 'A');
    EXPECT_EQ(t.con.grid().at(0, 8).ch, 'B');
}

TEST(ConLibGrid, BottomRowNeverScrollsOrWritesOutside) {
    HeadlessConsole t;
    t.con.SetPosition(COORD{78, 24});
    t.con.OutputString("XYZW\n\nQ");
    EXPECT_EQ(t.con.grid().at(78, 24).ch, 'X');
    EXPECT_EQ(t.con.grid().at(79, 24).ch, 'Y');
    EXPECT_EQ(t.con.grid().at(0, 24).ch, 'Q');  // line feeds stay on the bottom row
    EXPECT_EQ(t.con.grid().at(0, 0).ch, ' ');
}

TEST(ConLibGrid, PositionsOutsideTheScreenAreIgnored) {
    HeadlessConsole t;
    t.con.SetPosition(COORD{4, 4});
    t.con.SetPosition(COORD{80, 0});
    t.con.SetPosition(COORD{0, 25});
    t.con.SetPosition(COORD{-1, 3});
    EXPECT_EQ(t.con.cursor(), (COORD{4, 4}));
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
    t.con.SetPosition(COORD{20, 13});
    t.screen->pushText("Andromeda  second\n");
    EXPECT_EQ(t.con.readWord(), "Andromeda");
    EXPECT_EQ(gridText(t.con, 20, 13, 17), "Andromeda  second");
    EXPECT_EQ(t.con.grid().at(20, 13).fg, 1);
    EXPECT_EQ(t.con.grid().at(20, 13).bg, 7);
    EXPECT_EQ(t.con.cursor(), (COORD{0, 14}));
    EXPECT_EQ(t.con.readWord(), "second");  // no new line is read
    EXPECT_TRUE(t.screen->scriptEmpty());
}

TEST(ConLibTypedInput, BackspaceEditsAndBlankLinesAreSkipped) {
    HeadlessConsole t;
    t.screen->pushText("\n  \nabx");
    t.screen->pushKey(keycode::Backspace);
    t.screen->pushText("c\n");
    EXPECT_EQ(t.con.readWord(), "abc");
    EXPECT_EQ(gridText(t.con, 0, 2, 4), "abc ");
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
    t.con.SetPosition(COORD{20, 13});
    EXPECT_EQ(t.con.readWord(19), std::string(19, 'v'));
}

TEST(ConLibPause, WritesPromptAndWaitsForAKey) {
    HeadlessConsole t;
    t.screen->pushKey('Q');
    t.con.pause();
    EXPECT_EQ(gridText(t.con, 0, 0, 30), "Press any key to continue . . ");
    EXPECT_EQ(t.con.cursor(), (COORD{0, 1}));
}

TEST(ConLibTitle, TitleReachesThePresenter) {
    HeadlessConsole t;
    t.con.SetTitle("Starhollow");
    EXPECT_EQ(t.screen->title(), "Starhollow");
}
