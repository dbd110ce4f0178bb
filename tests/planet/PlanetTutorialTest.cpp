// The tutorial's moments on planets: screens locked until their stage, the
// sale away from EARTH, departure ready for the fight, and arrival.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "planet/Planet.h"
#include "planet/TutorialProgress.h"
#include "player/Player.h"

namespace {

constexpr int ORE = 14;

// A course that only counts: completing shows nothing.
class CountingCourse final : public TutorialProgress {
public:
    explicit CountingCourse(int current) : current_(current) {}
    bool isCompleted(int id) const override { return id >= 0 && id < current_; }
    void completeStage(ConLib*) override { ++current_; }
    int current_;
};

struct PlanetTutorial : ::testing::Test {
    HeadlessConsole console;
    Player player;
    Planet planet{0, 0};
    std::string shown;

    PlanetTutorial() {
        rng::srand(5);
        planet.setName("MARS");
        for (int good = 0; good < Planet::GOOD_COUNT; ++good) planet.setGood(good, 500);
        console.screen->onPresent = [this](const HeadlessBackend& b) { shown += b.dump(); };
    }
    // Lands with the course at `stage`, presses the keys and returns the
    // stage reached. Every key must be used.
    int land(int stage, std::initializer_list<unsigned> keys) {
        CountingCourse course(stage);
        shown.clear();
        console.screen->pushKeys(keys);
        EXPECT_EQ(planet.ShowPanel(&console.con, &player, &course), 0);
        EXPECT_TRUE(console.screen->scriptEmpty());
        return course.current_;
    }
    void holdOre(int units) {
        player.removeTrade(ORE, player.getTrade(ORE));
        player.addTrade(ORE, units);
    }
};

}  // namespace

TEST_F(PlanetTutorial, ScreensOpenInTurnAndCompleteOnlyTheirOwnStage) {
    struct Case {
        int stage;
        std::initializer_list<unsigned> keys;
        int ore, expected;
        const char* opened;
    };
    for (const Case& c : {Case{3, {'D', 'E'}, 0, 3, nullptr},  // the dock waits for the hangar
                          {3, {'T', 'E'}, 0, 3, nullptr},      // the market too
                          {4, {'T', 'E'}, 0, 4, nullptr},      // and for the dock
                          {5, {'T', 'E', 'E'}, 9, 5, "TRADE"},  // one ore short
                          {5, {'T', 'E', 'E'}, 10, 6, "TRADE"},
                          {0, {'H', 'E', 'E'}, 0, 0, "HANGAR"}}) {  // not before its turn
        holdOre(c.ore);
        EXPECT_EQ(land(c.stage, c.keys), c.expected) << c.stage << " " << *c.keys.begin();
        for (const char* screen : {"HANGAR", "DOCK", "TRADE"})
            EXPECT_EQ(shown.find(screen) != std::string::npos, c.opened && std::string(screen) == c.opened);
    }
}

TEST_F(PlanetTutorial, OnlyAllOreSoldAwayFromEarthCompletesTheSale) {
    struct Case {
        const char* planet;
        int stage;
        const char* sold;
        int expected;
    };
    for (const Case& c : {Case{"MARS", 6, "15\n10\n", 7}, {"EARTH", 6, "15\n10\n", 6},
                          {"EART", 6, "15\n10\n", 7}, {"MARS", 6, "15\n9\n", 6}, {"MARS", 5, "15\n10\n", 5}}) {
        planet.setName(c.planet);
        holdOre(10);
        CountingCourse course(c.stage);
        console.screen->pushKey('S');
        console.screen->pushText(c.sold);
        console.screen->pushKeys({'Y', 'E'});
        planet.TradePanel(&console.con, &player, &course);
        EXPECT_EQ(course.current_, c.expected) << c.planet << " " << c.stage << " " << c.sold;
    }
}

TEST_F(PlanetTutorial, DepartureReadyForTheFightCompletesThreeStages) {
    struct Case {
        int stage, ammo, collector, fuel, expected;
    };
    for (const Case& c : {Case{7, 100, 1, 1000, 10},
                          {7, 99, 1, 1000, 7},    // one round short
                          {7, 100, 0, 1000, 7},   // no collector
                          {7, 100, 2, 1000, 7},   // a better one is not the one asked for
                          {6, 100, 1, 1000, 6},   // the ore not sold yet
                          {7, 100, 1, 0, 10}}) {  // stuck without fuel, but ready
        player.removeAmmo(player.getAmmo());
        player.addAmmo(c.ammo);
        player.fitPart(SLOT_COLLECTOR, c.collector);
        player.addFuel(c.fuel - player.getaFuel());
        CountingCourse course(c.stage);
        console.screen->pushKey('E');
        if (c.fuel == 0) console.screen->pushKey('X');  // closes the fuel notice; the ship stays
        if (c.fuel > 0)
            EXPECT_EQ(planet.ShowPanel(&console.con, &player, &course), 0);
        else
            EXPECT_THROW(planet.ShowPanel(&console.con, &player, &course), ScriptExhausted);
        EXPECT_EQ(course.current_, c.expected) << c.stage << " " << c.ammo << " " << c.collector;
    }
}

TEST_F(PlanetTutorial, ArrivalCompletesTheJumpAndEndsTheCourseOnEarth) {
    struct Case {
        const char* planet;
        int stage, expected;
        bool panel;
    };
    for (const Case& c : {Case{"MARS", 12, 13, true}, {"MARS", 11, 11, true}, {"EARTH", 13, 13, true},
                          {"EARTH", 14, 15, false}, {"MARS", 14, 14, true}}) {
        planet.setName(c.planet);
        EXPECT_EQ(land(c.stage, c.panel ? std::initializer_list<unsigned>{'E'} : std::initializer_list<unsigned>{}),
                  c.expected)
            << c.planet << " " << c.stage;
        EXPECT_EQ(shown.find("Planet name:") != std::string::npos, c.panel) << c.planet << " " << c.stage;
    }
}
