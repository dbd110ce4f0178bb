#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "screen/ConLib.h"
#include "presenters/headless/HeadlessBackend.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "player/Player.h"

namespace {

class PlayerOnMap : public ::testing::Test {
protected:
    PlayerOnMap() {
        auto backend = std::make_unique<HeadlessBackend>();
        screen = backend.get();
        con = std::make_unique<ConLib>(std::move(backend));
        // The map's colours.
        con->SetBackgroundColor(4);
        con->SetTextColor(7);
        con->Clear();
    }

    char cell(int x, int y) const { return con->grid().at(x, y).ch; }
    // Fuel left after burning all but `left` units.
    void leaveFuel(int left) { player.removeFuel(player.getaFuel() - left); }

    HeadlessBackend* screen = nullptr;
    std::unique_ptr<ConLib> con;
    Player player;
};

}  // namespace

TEST_F(PlayerOnMap, DrawPutsABlackHOnTheMap) {
    player.setPos(Coord{10, 5});
    con->SetTextColor(3);
    player.draw(con.get());
    const Cell& ship = con->grid().at(10, 5);
    EXPECT_EQ(ship.ch, 'H');
    EXPECT_EQ(ship.fg, 0);
    EXPECT_EQ(ship.bg, 4);
    EXPECT_EQ(con->cursor(), (Coord{0, 0}));
    EXPECT_EQ(con->textColor(), 7);
}

TEST_F(PlayerOnMap, EachStepMovesOneCellAndBurnsTheFuelUse) {
    player.draw(con.get());
    player.moveUp(con.get());
    EXPECT_EQ(player.getrPos(), (Coord{39, 11}));
    EXPECT_EQ(cell(39, 12), ' ');
    EXPECT_EQ(con->grid().at(39, 12).bg, 4);
    EXPECT_EQ(cell(39, 11), 'H');
    EXPECT_EQ(player.getaFuel(), 999);

    player.moveLeft(con.get());
    EXPECT_EQ(player.getrPos(), (Coord{38, 11}));
    player.moveDown(con.get());
    EXPECT_EQ(player.getrPos(), (Coord{38, 12}));
    player.moveRight(con.get());
    EXPECT_EQ(player.getrPos(), (Coord{39, 12}));
    EXPECT_EQ(cell(39, 12), 'H');
    EXPECT_EQ(cell(38, 12), ' ');
    EXPECT_EQ(player.getaFuel(), 996);
    EXPECT_EQ(con->cursor(), (Coord{0, 0}));
    EXPECT_EQ(con->textColor(), 7);

    // A thirstier engine burns more per step.
    player.fitPart(SLOT_ENGINE, 12);
    player.moveUp(con.get());
    EXPECT_EQ(player.getaFuel(), 989);
}

TEST_F(PlayerOnMap, NoStepBeyondTheLastCells) {
    const ScreenGrid blank = con->grid();
    const struct {
        Coord cell;
        void (Player::*move)(ConLib*);
    } edges[] = {
        {{39, 1}, &Player::moveUp},
        {{39, 23}, &Player::moveDown},
        {{1, 12}, &Player::moveLeft},
        {{78, 12}, &Player::moveRight},
        {{39, 0}, &Player::moveUp},
        {{79, 12}, &Player::moveRight},
    };
    for (const auto& edge : edges) {
        player.setPos(edge.cell);
        (player.*edge.move)(con.get());
        EXPECT_EQ(player.getrPos(), edge.cell);
        EXPECT_EQ(player.getaFuel(), 1000);
        EXPECT_EQ(con->grid(), blank);
    }
    // One cell short of the edge the step is still made.
    player.setPos(Coord{77, 12});
    player.moveRight(con.get());
    EXPECT_EQ(player.getrX(), 78);
}

TEST_F(PlayerOnMap, NoStepWithoutFuelForIt) {
    const ScreenGrid blank = con->grid();
    leaveFuel(0);
    player.moveUp(con.get());
    player.moveDown(con.get());
    player.moveLeft(con.get());
    player.moveRight(con.get());
    EXPECT_EQ(player.getrPos(), (Coord{39, 12}));
    EXPECT_EQ(player.getaFuel(), 0);
    EXPECT_EQ(con->grid(), blank);

    player.fitPart(SLOT_ENGINE, 2);  // burns 2 a step
    player.addFuel(1);
    player.moveLeft(con.get());
    EXPECT_EQ(player.getrX(), 39);
    player.addFuel(1);
    player.moveLeft(con.get());
    EXPECT_EQ(player.getrX(), 38);
    EXPECT_EQ(player.getaFuel(), 0);
}

TEST_F(PlayerOnMap, RandomMoveFollowsTheGenerator) {
    const Coord start{39, 12};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        player.setPos(start);
        rng::srand(seed);
        const int direction = rng::rand() % 4 + 1;
        rng::srand(seed);
        player.moveRandom(con.get());
        Coord expected = start;
        if (direction == 1) expected.Y = 11;
        if (direction == 2) expected.Y = 13;
        if (direction == 3) expected.X = 38;
        if (direction == 4) expected.X = 40;
        EXPECT_EQ(player.getrPos(), expected) << "seed " << seed;
    }
}

namespace {

// The victory window: 52 x 13 centred on the screen.
constexpr int WIN_LEFT = 14;
constexpr int WIN_TOP = 6;
constexpr int WIN_WIDTH = 52;
constexpr int WIN_HEIGHT = 13;

std::string expectedWindowRow(int row) {
    const std::string stars(WIN_WIDTH, '*');
    if (row == 0) return stars.substr(0, 18) + "YOU WON THE GAME" + stars.substr(0, 18);
    if (row == WIN_HEIGHT - 1) return stars;
    // Word-wrapped between the frame's inner margins (48 columns of text).
    static const char* const text[] = {
        "",
        "Congratulations you earn one milion credits! You",
        "are now reach and you don't need to care about",
        "money!",
        "",
        "You won the game. Now you can end game or play",
        "it anyway. If you had lost, galaxy WOULDN'T be",
        "deleted!",
        "",
        "Press ENTER to continue...",
        "",
        "",
    };
    std::string inner = std::string(" ") + text[row - 1];
    inner.resize(WIN_WIDTH - 2, ' ');
    return "*" + inner + "*";
}

}  // namespace

TEST_F(PlayerOnMap, CashVictoryWindowWaitsForEnter) {
    screen->pushKeys({'A', keycode::Escape, keycode::Enter});
    player.winByCash(con.get());
    EXPECT_TRUE(player.getIsWinner());
    EXPECT_TRUE(screen->scriptEmpty());

    for (int row = 0; row < WIN_HEIGHT; ++row) {
        EXPECT_EQ(screen->row(WIN_TOP + row).substr(WIN_LEFT, WIN_WIDTH), expectedWindowRow(row)) << row;
        for (int x = WIN_LEFT; x < WIN_LEFT + WIN_WIDTH; ++x) {
            EXPECT_EQ(screen->fgAt(x, WIN_TOP + row), 1u);
            EXPECT_EQ(screen->bgAt(x, WIN_TOP + row), 7u);
        }
    }
    // The map around the window is untouched.
    EXPECT_EQ(screen->row(WIN_TOP - 1), std::string(80, ' '));
    EXPECT_EQ(screen->bgAt(WIN_LEFT - 1, WIN_TOP), 4u);
    EXPECT_EQ(screen->bgAt(WIN_LEFT + WIN_WIDTH, WIN_TOP), 4u);
    EXPECT_EQ(screen->shownCursor(), (Coord{0, 0}));
}

TEST_F(PlayerOnMap, CashVictoryNeedsEnterNotAnyKey) {
    screen->pushKeys({'A', keycode::Escape, ' '});
    EXPECT_THROW(player.winByCash(con.get()), ScriptExhausted);
    EXPECT_TRUE(player.getIsWinner());
}

TEST_F(PlayerOnMap, CashVictoryIsAnnouncedOnce) {
    Player cashGoal;
    cashGoal.newPlayer(VICTORY_CASH);
    cashGoal.addCredits(999999 - 10000);
    EXPECT_FALSE(cashGoal.checkCashVictory(con.get()));  // exactly 999999 is not enough
    EXPECT_FALSE(cashGoal.getIsWinner());

    cashGoal.addCredits(1);
    screen->pushKey(keycode::Enter);
    EXPECT_TRUE(cashGoal.checkCashVictory(con.get()));
    EXPECT_TRUE(cashGoal.getIsWinner());
    const int presented = screen->presentCount();

    // Later sales: no window, no key wanted.
    cashGoal.addCredits(5000);
    EXPECT_FALSE(cashGoal.checkCashVictory(con.get()));
    EXPECT_EQ(screen->presentCount(), presented);

    // Another goal never wins by money.
    player.addCredits(2000000);
    EXPECT_FALSE(player.checkCashVictory(con.get()));
    EXPECT_FALSE(player.getIsWinner());
}
