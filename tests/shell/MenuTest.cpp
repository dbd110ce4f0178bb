#include <gtest/gtest.h>

#include "TestSupport.h"
#include "shell/Game.h"

namespace {
struct HeadlessGame {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    Game game{std::move(owned)};
};

std::string shownText(const HeadlessBackend& screen, int x, int y, int length) {
    return screen.row(y).substr(static_cast<std::size_t>(x), static_cast<std::size_t>(length));
}
}  // namespace

TEST(MainMenu, LayoutCellByCell) {
    HeadlessGame g;
    EXPECT_THROW(g.game.menu(&g.game.getConsole()), ScriptExhausted);
    const HeadlessBackend& s = *g.screen;
    EXPECT_EQ(s.row(0), std::string(36, '*') + "MAIN MENU" + std::string(35, '*'));
    EXPECT_EQ(s.row(24), std::string(80, '*'));
    EXPECT_EQ(s.charAt(0, 12), '*');
    EXPECT_EQ(s.charAt(79, 12), '*');
    EXPECT_EQ(shownText(s, 35, 2, 10), "Starhollow");
    EXPECT_EQ(shownText(s, 34, 4, 12), "N - New Game");
    EXPECT_EQ(shownText(s, 34, 5, 12), "T - Tutorial");
    EXPECT_EQ(shownText(s, 34, 6, 13), "L - Load Game");
    EXPECT_EQ(shownText(s, 34, 7, 11), "C - Credits");
    EXPECT_EQ(shownText(s, 34, 8, 8), "E - Exit");
    EXPECT_EQ(shownText(s, 2, 22, 18), "Beta version 1.1.0");
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
        ASSERT_EQ(s.fgAt(x, 4), 7u);
        ASSERT_EQ(s.bgAt(x, 4), 0u);
    }
    EXPECT_EQ(s.shownCursor(), (Coord{0, 0}));
    EXPECT_EQ(s.title(), "Starhollow");
}

TEST(MainMenu, ChoicesByLetterInEitherCase) {
    HeadlessGame g;
    ConLib* con = &g.game.getConsole();
    g.screen->pushText("xn");
    EXPECT_EQ(g.game.menu(con), Game::CHOICE_NEW_GAME);
    g.screen->pushText("T");
    EXPECT_EQ(g.game.menu(con), Game::CHOICE_TUTORIAL);
    g.screen->pushText("l");
    EXPECT_EQ(g.game.menu(con), Game::CHOICE_LOAD);
    g.screen->pushText("c");
    EXPECT_EQ(g.game.menu(con), Game::CHOICE_CREDITS);
    g.screen->pushText("E");
    EXPECT_EQ(g.game.menu(con), Game::CHOICE_EXIT);
}

TEST(Credits, LayoutAndAnyKeyReturns) {
    HeadlessGame g;
    g.screen->pushKey('Q');
    g.game.credits(&g.game.getConsole());
    const HeadlessBackend& s = *g.screen;
    EXPECT_EQ(s.row(0), std::string(36, '*') + "CREDITS" + std::string(36, '*') + " ");
    EXPECT_EQ(s.charAt(78, 10), '*');
    EXPECT_EQ(s.charAt(79, 10), ' ');
    EXPECT_EQ(shownText(s, 34, 2, 13), "Game project:");
    EXPECT_EQ(shownText(s, 36, 4, 9), "Quillmark");
    EXPECT_EQ(shownText(s, 34, 10, 12), "Programming:");
    EXPECT_EQ(shownText(s, 36, 16, 8), "Brannoch");
    EXPECT_EQ(shownText(s, 36, 17, 9), "Quillmark");
    EXPECT_EQ(shownText(s, 31, 19, 18), "Special thanks to:");
    EXPECT_EQ(shownText(s, 37, 21, 7), "Vellmir");
}

TEST(QuitQuestion, NoReturnsToTheMenuAndYesEnds) {
    HeadlessGame g;
    g.screen->pushKeys({'E', 'N', 'C', 'X', 'E', 'Y'});
    g.game.run();  // returns: the program would end here
    EXPECT_TRUE(g.screen->scriptEmpty());
}

TEST(QuitQuestion, OtherKeysLeaveTheQuestionOnScreen) {
    HeadlessGame g;
    g.screen->pushKeys({'E', 'X', 'A'});
    EXPECT_THROW(g.game.run(), ScriptExhausted);
    const HeadlessBackend& s = *g.screen;
    EXPECT_EQ(shownText(s, 18, 8, 45), "*****************INFORMATION*****************");
    EXPECT_EQ(shownText(s, 20, 10, 39), "Are you sure you want to quit the game?");
    EXPECT_EQ(shownText(s, 20, 12, 16), "Y - YES / N - NO");
    EXPECT_EQ(s.fgAt(20, 10), 1u);
    EXPECT_EQ(s.bgAt(20, 10), 7u);
}
