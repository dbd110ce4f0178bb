// The galaxy view: drawing, steps, the move delay, sector changes, landing,
// ancient parts and saving.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <utility>

#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr const char* GALAXY = "Vega";
using namespace keycode;

class GalaxyView : public ::testing::Test {
protected:
    void SetUp() override {
        rng::srand(11);
        sector.setNumber(0);
        player.newPlayer(0);
        player.fitPart(SLOT_ENGINE, 14);     // speed 0: every press is a step, fuel use 1
        player.fitPart(SLOT_COLLECTOR, 2);   // 20 energy per step
        console.screen->onPresent = [this](const HeadlessBackend& s) { shown += s.dump(); };
    }
    // A galaxy file of full size holding sound, empty records of these sectors.
    static void makeGalaxy(std::initializer_list<std::pair<int, int>> sectors) {
        std::ofstream(galaxy::fileName(GALAXY), std::ios::binary);
        std::filesystem::resize_file(galaxy::fileName(GALAXY), GALAXY_FILE_SIZE);
        for (auto [x, y] : sectors) {
            Sector empty(x, y, nullptr, GALAXY);
            empty.setNumber(0);
            empty.save(nullptr, false);
        }
    }
    void placePart(short kind, short x, short y) {
        saveSectorData data;
        sector.SaveToFile(&data);
        for (auto [at, value] : {std::pair{sectorRec::aPartKind, kind}, {sectorRec::aPartX, x}, {sectorRec::aPartY, y}})
            record::put16(data.bytes.data() + at, value);
        ASSERT_TRUE(sector.LoadFromFile(&data));
    }
    void placePlanet(int x, int y) {
        sector.setNumber(1);
        sector.getPlanet(0)->setrX(x);
        sector.getPlanet(0)->setrY(y);
    }
    // Presses the keys, then Esc, on the map.
    void fly(std::initializer_list<unsigned> keys) {
        console.screen->pushKeys(keys);
        console.screen->pushKey(Escape);
        sector.ShowMap(&console.con);
    }
    bool wasShown(const char* text) const { return shown.find(text) != std::string::npos; }

    ScopedWorkDir dir;
    HeadlessConsole console;
    Player player;
    Sector sector{0, 0, &player, GALAXY};
    std::string shown;  // every screen presented, one after the other
    Player stored;      // what the galaxy file holds, read back
    Sector probe{0, 0, &stored, GALAXY};
};

}  // namespace

TEST_F(GalaxyView, MapIsDrawnCellByCell) {
    placePlanet(10, 5);
    sector.genEnemyPlanet();
    placePart(3, 60, 20);
    fly({});
    const Coord ep = sector.getEpPos();
    struct Cell {
        int x, y;
        char ch;
        unsigned fg;
    };
    for (const Cell& e : {Cell{0, 0, '*', 7}, {79, 0, '*', 7}, {0, 12, '*', 7}, {50, 24, '*', 7}, {1, 1, ' ', 7},
                          {10, 5, 'O', 2}, {60, 20, '*', 1}, {ep.X, ep.Y, 'O', 1}, {39, 12, 'H', 0}}) {
        EXPECT_EQ(console.screen->charAt(e.x, e.y), e.ch) << e.x << "," << e.y;
        EXPECT_EQ(console.screen->fgAt(e.x, e.y), e.fg) << e.x << "," << e.y;
        EXPECT_EQ(console.screen->bgAt(e.x, e.y), 4u);
    }
}

TEST_F(GalaxyView, SlowEngineStepsOncePerThreePressesInAnyDirection) {
    player.fitPart(SLOT_ENGINE, 13);       // speed 2, fuel use 7
    fly({Right, Up, Right, Right, Down});  // one step, two presses towards the next
    EXPECT_EQ(player.getrPos(), (Coord{40, 12}));
    EXPECT_EQ(player.getaFuel(), 1000 - 7);
    EXPECT_EQ(player.getaEnergy(), 20);
    fly({Left, Left, Left});  // the delay starts afresh with every visit
    EXPECT_EQ(player.getrPos(), (Coord{39, 12}));
}

TEST_F(GalaxyView, EdgesWrapSaveTheSectorLeftAndNeedFuel) {
    makeGalaxy({{-50, 0}, {-50, -1}});
    sector.setSecX(50);
    player.changeWorldCoord(true, true, 50);
    player.setPos(Coord{78, 12});
    placePart(4, 5, 5);
    fly({Right});
    EXPECT_EQ(player.getrPos(), (Coord{1, 12}));
    EXPECT_EQ(player.getWorldX(), -50);
    EXPECT_EQ(sector.getSecX(), -50);
    EXPECT_EQ(player.getaFuel(), 999);
    EXPECT_EQ(player.getaEnergy(), 20);
    ASSERT_TRUE(probe.load(galaxy::sectorNumber(50, 0)));
    EXPECT_EQ(probe.getaPartKind(), 4);  // the sector left, as it was
    ASSERT_TRUE(probe.load());
    EXPECT_EQ(stored.getrPos(), (Coord{1, 12}));

    player.setPos(Coord{1, 1});
    fly({Up});
    EXPECT_EQ(player.getrPos(), (Coord{1, 23}));
    EXPECT_EQ(player.getWorldY(), -1);
    EXPECT_EQ(console.screen->charAt(1, 23), 'H');

    // Without fuel: no crossing and no energy; a step inside is taken in place.
    player.removeFuel(1000);
    fly({Down, Right});
    EXPECT_EQ(player.getWorldY(), -1);
    EXPECT_EQ(player.getrPos(), (Coord{1, 23}));
    EXPECT_EQ(player.getaEnergy(), 60);
}

TEST_F(GalaxyView, UnreadableNextSectorKeepsTheShipWhereItWas) {
    makeGalaxy({{0, 0}});  // the record of (1, 0) is blank, i.e. damaged
    player.setPos(Coord{78, 12});
    fly({Right, 'X'});
    EXPECT_TRUE(wasShown("Blad podczas odczytu pliku"));
    EXPECT_EQ(player.getrPos(), (Coord{78, 12}));
    EXPECT_EQ(player.getaFuel(), 1000);
    EXPECT_EQ(sector.getSecX(), 0);
    ASSERT_EQ(probe.loadGame(), LoadResult::Ok);  // the file does not name the unreadable sector
    EXPECT_EQ(stored.getWorldX(), 0);
    // Nor the arrival cell, the fuel or the energy of the step that did not happen.
    savePlayerData inFile, inMemory;
    stored.SaveToFile(&inFile);
    player.SaveToFile(&inMemory);
    EXPECT_EQ(inFile.bytes, inMemory.bytes);

    std::filesystem::remove(galaxy::fileName(GALAXY));  // both the save and the load fail
    fly({Right, 'X', 'X'});
    EXPECT_TRUE(wasShown("Blad podczas zapisu pliku"));
    EXPECT_EQ(player.getWorldX(), 0);
    EXPECT_EQ(console.screen->charAt(78, 12), 'H');
}

TEST_F(GalaxyView, LandingOpensThePanelAndTakeOffPushesTheShipAway) {
    placePlanet(40, 12);
    fly({Right, 'E'});
    EXPECT_TRUE(wasShown("OPTIONS"));
    EXPECT_EQ(std::abs(player.getrX() - 40) + std::abs(player.getrY() - 12), 1);
    EXPECT_EQ(console.screen->charAt(40, 12), 'O');
}

TEST_F(GalaxyView, AncientPartIsTakenAndASixthIsNotCounted) {
    placePart(2, 40, 12);
    fly({Right, Enter});
    EXPECT_TRUE(wasShown("Congratulations! You found ancient ship part..."));
    EXPECT_TRUE(wasShown("It looks like ancient engine."));
    EXPECT_EQ(player.getaParts(2), 1);
    EXPECT_EQ(sector.getaPartKind(), Sector::NO_PART);

    player.setaParts(6, 5);
    placePart(6, 41, 12);
    fly({Right, Enter});
    EXPECT_TRUE(wasShown("It looks like ancient computer."));
    EXPECT_TRUE(wasShown("It can store important informations."));
    EXPECT_EQ(player.getaParts(6), 5);
    EXPECT_EQ(console.screen->charAt(40, 12), ' ');
}

TEST_F(GalaxyView, SaveKeyEscAndALostShip) {
    makeGalaxy({{0, 0}});
    fly({'S', 'Q'});
    EXPECT_TRUE(wasShown("Game saved successfully!"));
    EXPECT_EQ(console.screen->row(12).find("Game saved"), std::string::npos);  // the map came back
    EXPECT_EQ(console.screen->charAt(39, 12), 'H');
    ASSERT_TRUE(probe.load());
    EXPECT_EQ(stored.getCredits(), 10000);

    fly({Escape});  // the first Esc returns at once
    EXPECT_FALSE(console.screen->scriptEmpty());

    player.removeHealth(player.getaHealth());
    HeadlessConsole fresh;
    fresh.screen->pushKey('X');
    EXPECT_NO_THROW(sector.ShowMap(&fresh.con));  // any key ends the loop of a destroyed ship
}

TEST_F(GalaxyView, EventsFollowTheirChances) {
    int counts[3] = {};
    for (int i = 0; i < 202000; ++i) ++counts[sector.genEvent(nullptr, 0)];
    // 30 and 71 in 10201 of the steps: about 594 and 1406.
    EXPECT_NEAR(counts[Sector::EVENT_METEORS], 594, 120);
    EXPECT_NEAR(counts[Sector::EVENT_PIRATES], 1406, 180);
    EXPECT_EQ(sector.genEvent(nullptr, 1), Sector::EVENT_METEORS);
    EXPECT_EQ(sector.genEvent(nullptr, 2), Sector::EVENT_PIRATES);
    EXPECT_EQ(sector.genEvent(nullptr, 7), Sector::EVENT_NONE);
}
