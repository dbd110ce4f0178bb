// The dock: its tabs on screen, the key loop and the exchange of ship parts.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

class DockTest : public ::testing::Test {
protected:
    void SetUp() override {
        io.screen->onPresent = [this](const HeadlessBackend& shown) { screens.push_back(shown.dump()); };
    }
    // Types the kind and the number, answers the confirmation (0: none is
    // asked) and closes `errors` error windows.
    void exchange(const std::string& kind, const std::string& number, unsigned answer = 'Y', int errors = 0) {
        io.screen->pushText(kind + "\n" + (number.empty() ? "" : number + "\n"));
        if (answer != 0) io.screen->pushKey(answer);
        for (int i = 0; i < errors; ++i) io.screen->pushKey(' ');
        Planet::ChangeShipPart(&io.con, &player, 0);
    }
    void setCredits(int credits) {
        player.removeCredits(player.getCredits());
        player.addCredits(credits);
    }
    bool shown(const std::string& text) const {
        for (const std::string& screen : screens)
            if (screen.find(text) != std::string::npos) return true;
        return false;
    }
    std::string at(int x, int y, int length) const { return gridText(io.con, x, y, length); }

    HeadlessConsole io;
    Player player;
    std::vector<std::string> screens;
};

TEST_F(DockTest, TabShowsTitlesHeadingsAndFiguresAtTheirColumns) {
    setCredits(4321);
    Planet::RedrawDockPanel(&io.con, &player, 0);
    EXPECT_NE(at(0, 0, 80).find("DOCK"), std::string::npos);
    EXPECT_NE(at(2, 2, 54).find("HULLS"), std::string::npos);
    EXPECT_EQ(at(4, 4, 13) + at(23, 4, 7) + at(33, 4, 9) + at(47, 4, 6), "Nr Part name:Health:Capacity:Price:");
    EXPECT_EQ(at(4, 6, 9) + at(23, 6, 5) + at(33, 6, 4) + at(47, 6, 6), "1  LSteel1000 100 30000 ");
    EXPECT_EQ(at(4, 19, 7) + at(23, 19, 5) + at(33, 19, 4) + at(47, 19, 6), "14 FD9014000425 160000");
    EXPECT_EQ(at(4, 20, 50), std::string(50, ' '));  // the ancient part is never on sale
    EXPECT_NE(at(57, 2, 21).find("OPTIONS"), std::string::npos);
    EXPECT_EQ(at(59, 4, 12) + at(59, 7, 8), "> - Next tabE - Back");
    EXPECT_EQ(at(57, 11, 8) + at(57, 12, 5), "Credits:4321 ");
    EXPECT_EQ(io.con.grid().at(7, 6).bg, 2);
    EXPECT_EQ(io.con.grid().at(7, 6).fg, 0);

    // A tab with four figure columns.
    Planet::RedrawDockPanel(&io.con, &player, 2);
    EXPECT_EQ(at(20, 4, 7) + at(30, 4, 6) + at(38, 4, 9) + at(48, 4, 6), "Health:Speed:Fuel use:Price:");
    EXPECT_EQ(at(7, 19, 8) + at(20, 19, 4) + at(30, 19, 2) + at(38, 19, 2) + at(48, 19, 5), "Flame950800 2 7 75000");
}

TEST_F(DockTest, TabsStopAtBothEndsAndEveryPlanetHasTheSameDock) {
    std::vector<std::string> titles;
    io.screen->onPresent = [&](const HeadlessBackend& s) {
        titles.push_back(s.row(2).substr(2, 54));
        screens.push_back(s.dump());
    };
    io.screen->pushKeys({keycode::Comma, 'X'});
    for (int i = 0; i < 6; ++i) io.screen->pushKey(keycode::Period);
    io.screen->pushKeys({keycode::Comma, 'E'});
    Planet(0, 0).DockPanel(&io.con, &player, nullptr);

    const char* expected[] = {"HULLS",   "HULLS",   "HULLS",   "FUEL TANKS", "ENGINES", "SHIELD GENERATORS",
                              "ENERGY COLLECTORS", "WEAPONS", "WEAPONS", "ENERGY COLLECTORS"};
    ASSERT_EQ(titles.size(), std::size(expected));
    for (std::size_t i = 0; i < titles.size(); ++i) EXPECT_NE(titles[i].find(expected[i]), std::string::npos) << i;
    EXPECT_EQ(at(2, 2, 54).find("ENERGY COLLECTORS"), std::string::npos);  // "E" drew the landing panel

    const std::string firstDock = screens.front();
    screens.clear();
    io.screen->pushKey('E');
    Planet(12, -30).DockPanel(&io.con, &player, nullptr);
    EXPECT_EQ(screens.front(), firstDock);
}

TEST_F(DockTest, SameModelCostsHalfItsValueAndExactCreditsSuffice) {
    setCredits(14999);
    exchange("1", "1", 'Y', 1);
    EXPECT_TRUE(shown("Do you want to buy LSteel?") && shown("Price: 15000 credits"));
    EXPECT_TRUE(shown("You don't have enought credits!"));
    EXPECT_EQ(player.getCredits(), 14999);

    setCredits(15000);
    player.removeHealth(500);
    exchange("1", "1");
    EXPECT_EQ(player.getCredits(), 0);
    EXPECT_EQ(player.getaHealth(), 1400);  // the new part's health repairs the ship

    setCredits(100000);
    exchange("2", "5", 'N');
    EXPECT_EQ(player.getPartId(SLOT_TANK), 0);
    EXPECT_EQ(player.getCredits(), 100000);
}

TEST_F(DockTest, CheaperModelPaysThePlayerAndGainsSaturate) {
    player.fitPart(SLOT_WEAPON, 13);  // DeathStar, 150000
    setCredits(0);
    exchange("6", "2");  // NGunH100, 5000
    EXPECT_TRUE(shown("You'll earn: 70000 credits"));
    EXPECT_EQ(player.getCredits(), 70000);
    EXPECT_EQ(player.getPartId(SLOT_WEAPON), 1);

    player.fitPart(SLOT_HULL, SUPER_PART_ROW);
    setCredits(0);
    exchange("1", "1");
    EXPECT_TRUE(shown("You'll earn: 2970000 credits"));
    EXPECT_EQ(player.getCredits(), 2970000);

    player.fitPart(SLOT_HULL, SUPER_PART_ROW);
    setCredits(INT_MAX - 10);
    exchange("1", "1");
    EXPECT_EQ(player.getCredits(), INT_MAX);
}

TEST_F(DockTest, NewGeneratorAndCollectorComeFull) {
    setCredits(1000000);
    exchange("4", "5");  // MH400: shield 400, health 400
    EXPECT_EQ(player.getaShield(), 400);
    EXPECT_EQ(player.getaHealth(), 1800);
    exchange("5", "3");  // LiquidSilver, 200 W
    EXPECT_EQ(player.getaEnergy(), 200);
    EXPECT_EQ(player.getCredits(), 1000000 - 40000 - 12000);
}

TEST_F(DockTest, WrongKindsAndNumbersAreRefused) {
    setCredits(1000000);
    const std::pair<std::string, std::string> wrong[] = {{"7", ""},  {"0", ""},  {"abc", ""}, {"-1", ""},
                                                         {"1", "0"}, {"1", "15"}, {"3", "x9"}};
    for (const auto& [kind, number] : wrong) {
        screens.clear();
        exchange(kind, number, 0, 1);
        EXPECT_TRUE(shown("You typed wrong ship part!")) << kind << " " << number;
    }
    EXPECT_EQ(player.getCredits(), 1000000);
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) EXPECT_EQ(player.getPartId(slot), 0);

    // A wrong kind discards the rest of the line; a wrong number keeps it.
    exchange("7 2", "", 0, 1);
    exchange("1 99 2", "", 0, 1);
    io.screen->pushText("1\n");
    io.screen->pushKey('Y');
    Planet::ChangeShipPart(&io.con, &player, 0);  // kind 2 from the kept text
    EXPECT_EQ(player.getCredits(), 1000000 - 2500);
}

TEST_F(DockTest, SmallerHullKeepsTheWeightFigureAndSmallerTankCutsTheFuel) {
    setCredits(1000000);
    player.fitPart(SLOT_HULL, 1);  // Titan, capacity 125
    player.addTrade(14, 120);
    player.countShipWeight();
    exchange("1", "1");
    EXPECT_EQ(player.getMaxWeight(), 100);
    EXPECT_EQ(player.getaWeight(), 120);

    player.fitPart(SLOT_TANK, 13);  // TanQ543, 8000 l
    player.addFuel(8000);
    exchange("2", "1");
    EXPECT_EQ(player.getaFuel(), 1000);
}

}  // namespace
