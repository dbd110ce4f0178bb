#include <gtest/gtest.h>

#include <fstream>

#include "TestSupport.h"
#include "screen/HelpFuncLib.h"
#include "screen/Window.h"

namespace {
Window windowAt(ConLib& con, int x, int y, int width, int height) {
    Window window;
    window.console = &con;
    window.width = width;
    window.height = height;
    window.position = Coord{static_cast<short>(x), static_cast<short>(y)};
    window.backgroundColor = 7;
    window.textColor = 1;
    return window;
}
}  // namespace

TEST(HelpFuncLib, FoundMiddleTruncatesBothHalves) {
    EXPECT_EQ(foundMiddle(80, 45), 18);
    EXPECT_EQ(foundMiddle(25, 8), 8);
    EXPECT_EQ(foundMiddle(25, 11), 7);
    EXPECT_EQ(foundMiddle(80, 47), 17);
    EXPECT_EQ(foundMiddle(25, 9), 8);
    EXPECT_EQ(foundMiddle(80, 13), 34);
    EXPECT_EQ(foundMiddle(79, 9), 35);
}

TEST(HelpFuncLib, CompareTextClearTableAndFileExist) {
    EXPECT_FALSE(compareText("EARTH", "Earth"));
    EXPECT_TRUE(compareText("", ""));
    EXPECT_FALSE(compareText("EART", "EARTH"));
    int numbers[4] = {1, 2, 3, 4};
    clearTable(numbers, 3);
    EXPECT_EQ(numbers[2], 0);
    EXPECT_EQ(numbers[3], 4);

    ScopedWorkDir dir;
    EXPECT_FALSE(fileExist("Nowhere.glx"));
    std::ofstream("Here.glx") << "x";
    EXPECT_TRUE(fileExist("Here.glx"));
}

TEST(DrawBorder, FrameOfStarsWithBlankInteriorAndCentredTitle) {
    HeadlessConsole t;
    t.con.SetBackgroundColor(2);
    t.con.Clear();
    t.con.SetPosition(Coord{5, 5});
    t.con.OutputString("old");
    t.con.SetTextColor(0);
    DrawBorder(12, 4, Coord{3, 4}, "AB", &t.con);
    EXPECT_EQ(gridText(t.con, 3, 4, 12), "*****AB*****");
    EXPECT_EQ(gridText(t.con, 3, 5, 12), "*          *");
    EXPECT_EQ(gridText(t.con, 3, 7, 12), "************");
    EXPECT_EQ(t.con.grid().at(3, 4).fg, 0);
    EXPECT_EQ(t.con.grid().at(3, 4).bg, 2);
}

TEST(DrawBorder, TitleAsWideAsTheFrameAndTooWide) {
    HeadlessConsole t;
    DrawBorder(10, 3, Coord{0, 0}, "0123456789", &t.con);
    EXPECT_EQ(gridText(t.con, 0, 0, 10), "0123456789");
    EXPECT_EQ(gridText(t.con, 0, 2, 10), "**********");

    HeadlessConsole u;
    DrawBorder(5, 3, Coord{2, 1}, "TOO WIDE", &u.con);
    EXPECT_EQ(gridText(u.con, 2, 1, 22), "Za male rozmiary okna!");
    EXPECT_EQ(u.con.grid().at(2, 2).ch, ' ');
}

TEST(WindowShow, TextColoursAndCursorAfterwards) {
    HeadlessConsole t;
    Window window = windowAt(t.con, 18, 8, 45, 8);
    window.Show("INFORMATION", "Hello\nthere");
    EXPECT_EQ(gridText(t.con, 18, 8, 45), "*****************INFORMATION*****************");
    EXPECT_EQ(gridText(t.con, 20, 10, 6), "Hello ");
    EXPECT_EQ(gridText(t.con, 20, 11, 5), "there");
    EXPECT_EQ(t.con.grid().at(20, 10).fg, 1);
    EXPECT_EQ(t.con.grid().at(20, 10).bg, 7);
    EXPECT_EQ(t.con.grid().at(62, 12).ch, '*');
    EXPECT_EQ(t.con.cursor(), (Coord{0, 16}));
    EXPECT_EQ(t.con.textColor(), 7);
    EXPECT_EQ(t.con.backgroundColor(), 0);
}

// A 14-wide frame at (0, 0) has text columns 2 to 11; the margin is column 12.
TEST(WindowShow, SpaceOnTheMarginStartsTheNextRowUnwritten) {
    HeadlessConsole t;
    windowAt(t.con, 0, 0, 14, 6).Show(nullptr, "aaaaa bbbb cc");
    EXPECT_EQ(gridText(t.con, 0, 2, 14), "* aaaaa bbbb *");
    EXPECT_EQ(gridText(t.con, 0, 3, 14), "* cc         *");
}

TEST(WindowShow, WordReachingTheMarginMovesDownWhole) {
    HeadlessConsole t;
    windowAt(t.con, 0, 0, 14, 6).Show(nullptr, "aaaa bbbbbbb zz");
    EXPECT_EQ(gridText(t.con, 0, 2, 14), "* aaaa       *");
    EXPECT_EQ(gridText(t.con, 0, 3, 14), "* bbbbbbb zz *");
}

TEST(WindowShow, LineFeedOnTheMarginBreaksOnce) {
    HeadlessConsole t;
    windowAt(t.con, 0, 0, 14, 6).Show(nullptr, "aaaaaaaaaa\nbb");
    EXPECT_EQ(gridText(t.con, 0, 2, 14), "* aaaaaaaaaa *");
    EXPECT_EQ(gridText(t.con, 0, 3, 14), "* bb         *");
}

TEST(WindowShow, WordLongerThanTheLineIsBrokenInsideTheFrame) {
    HeadlessConsole t;
    windowAt(t.con, 0, 0, 14, 6).Show(nullptr, "abcdefghijklmnop");
    EXPECT_EQ(gridText(t.con, 0, 2, 14), "* abcdefghij *");
    EXPECT_EQ(gridText(t.con, 0, 3, 14), "* klmnop     *");
    // The same after a line feed: no space on the row to move the word by.
    HeadlessConsole u;
    windowAt(u.con, 0, 0, 14, 6).Show(nullptr, "hi there\nabcdefghijkl");
    EXPECT_EQ(gridText(u.con, 0, 3, 14), "* abcdefghij *");
    EXPECT_EQ(gridText(u.con, 0, 4, 14), "* kl         *");
}

TEST(WindowShow, TextBelowTheScreenIsDropped) {
    HeadlessConsole t;
    windowAt(t.con, 0, 20, 14, 4).Show(nullptr, "a\nb\nc\nd\ne\nf");
    EXPECT_EQ(t.con.grid().at(2, 22).ch, 'a');
    EXPECT_EQ(t.con.grid().at(2, 24).ch, 'c');
    EXPECT_EQ(t.con.grid().at(0, 0).ch, ' ');
}

TEST(WindowShowDialog, WaitsForYesOrNo) {
    HeadlessConsole t;
    Window window = windowAt(t.con, 18, 8, 45, 8);
    t.screen->pushKeys({'X', 'Q', 'N'});
    EXPECT_FALSE(window.ShowDialog("Q", "Sure?", 'Y', 'N'));
    t.screen->pushKeys({'Y'});
    EXPECT_TRUE(window.ShowDialog("Q", "Sure?", 'Y', 'N'));
    t.screen->pushKeys({'K'});
    EXPECT_TRUE(window.ShowDialog("Q", "Sure?", 'K', 'K'));
    t.screen->pushKeys({'X'});
    EXPECT_THROW(window.ShowDialog("Q", "Sure?", 'Y', 'N'), ScriptExhausted);
}
