// The ship computer's information screens.

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "screen/HelpFuncLib.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

class InfoScreens : public ::testing::Test {
protected:
    void SetUp() override {
        rng::srand(4);
        player.newPlayer(0);
        sector.setNumber(0);
    }
    // Opens a screen, closes it with a key and returns the text inside the
    // centred window of that size as it was shown, rows trimmed.
    std::string textOf(void (Sector::*screen)(ConLib*) const, int width, int height) {
        console.screen->pushKey('Q');
        (sector.*screen)(&console.con);
        const int x = foundMiddle(80, width), y = foundMiddle(25, height);
        std::string text;
        for (int row = y + 2; row < y + height - 1; ++row) {
            std::string line = console.screen->row(row).substr(x + 2, width - 4);
            line.erase(line.find_last_not_of(' ') + 1);
            text += line + "\n";
        }
        text.erase(text.find_last_not_of('\n') + 1);
        return text;
    }
    std::string titleRow(int width, int height) const {
        return console.screen->row(foundMiddle(25, height)).substr(foundMiddle(80, width), width);
    }

    HeadlessConsole console;
    Player player;
    Sector sector{0, 0, &player, "Vega"};
};

}  // namespace

TEST_F(InfoScreens, ShipStateOfANewPlayerAndTheMapAfterwards) {
    EXPECT_EQ(textOf(&Sector::showShipInfo, 36, 11),
              "Health: 1400pkt / 1400pkt\nFuel: 1000l / 1000l\nCapacity: 0 / 100\nShield: 0 / 0\nEnergy: 0W / 0W\n"
              "Ammo: 0\nCredits: 10000");
    EXPECT_EQ(titleRow(36, 11), "**********SHIP INFORMATION**********");
    EXPECT_EQ(console.screen->fgAt(24, 9), 1u);
    EXPECT_EQ(console.screen->bgAt(24, 9), 7u);
    EXPECT_EQ(console.con.grid().at(24, 9).bg, 4u);  // the key closed it and the map is back
    EXPECT_EQ(console.con.grid().at(39, 12).ch, 'H');

    console.screen->pushKey(0);  // a code 0 event is no key
    EXPECT_THROW(sector.showShipInfo(&console.con), ScriptExhausted);
}

TEST_F(InfoScreens, CargoListsEveryGood) {
    player.addTrade(14, 7);
    textOf(&Sector::showPlayerInventory, 24, 21);
    EXPECT_EQ(titleRow(24, 21), "********INVENTORY*******");
    EXPECT_EQ(console.screen->row(4).substr(30, 12), "Count   Name");
    EXPECT_EQ(console.screen->row(6).substr(30, 17), "0       Nano-Tech");
    EXPECT_EQ(console.screen->row(16).substr(30, 20), "0       Energy cells");
    EXPECT_EQ(console.screen->row(20).substr(30, 11), "7       Ore");
}

TEST_F(InfoScreens, AncientPartsAndTheOtherDimension) {
    player.setaParts(3, 2);
    player.setResarch(3, 1);
    player.setaParts(6, 4);
    player.setResarch(6, 4);
    EXPECT_EQ(textOf(&Sector::showAncientParts, 40, 12),
              "Ancient ship parts:\nHull parts: 0/0\nFuel tank parts: 0/0\nEngine parts: 0/0\n"
              "Shield generator parts: 2/1\nEnergy collector parts: 0/0\nWeapon parts: 0/0\nAncient computers: 4/4");
    EXPECT_EQ(titleRow(40, 12), "****************INVENTORY***************");
    player.setResarch(6, 5);
    player.setDimX(1234);
    player.setDimY(567);
    EXPECT_NE(textOf(&Sector::showAncientParts, 40, 12).find("\nDimension sector (X,Y): 1234,567"), std::string::npos);
    player.setDimX(500);
    EXPECT_NE(textOf(&Sector::showAncientParts, 40, 12).find("\nYou visited another dimension!"), std::string::npos);
}

TEST_F(InfoScreens, MissionAndGps) {
    EXPECT_EQ(textOf(&Sector::showMissionInfo, 40, 6), "Find space pirates planet and\ndestroy it to win the game!");
    EXPECT_EQ(titleRow(40, 6), "**************MISSION INFO**************");
    player.newPlayer(1);
    EXPECT_EQ(textOf(&Sector::showMissionInfo, 40, 6), "Collect one milion credits to win\nthe game!");
    player.newPlayer(2);
    EXPECT_EQ(textOf(&Sector::showMissionInfo, 40, 6), "Find ancient knowledge about galaxy\nto win the game!");
    player.setIsWinner(true);
    EXPECT_EQ(textOf(&Sector::showMissionInfo, 40, 6), "You already won! You haven't\nmission!");

    player.changeWorldCoord(true, false, 3);
    player.changeWorldCoord(false, true, 7);
    EXPECT_EQ(textOf(&Sector::showGPS, 19, 7), "Sx: -3 Sy: 7\n\nX: 39 Y: 12");
    EXPECT_EQ(titleRow(19, 7), "********GPS********");
}
