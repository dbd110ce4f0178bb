// The tutorial's moments on planets: screens locked until their stage, the
// stages completed by the hangar, the dock, the market, a sale away from the
// home planet, departure ready for the fight, and arrival.

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "console/Random.h"
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
    int current() const { return current_; }

private:
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
    bool showed(const char* text) const { return shown.find(text) != std::string::npos; }
    // Lands with the course at `stage`, presses the keys and returns the
    // stage reached. Every key must be used.
    int land(int stage, std::initializer_list<unsigned> keys, const char* typed = "") {
        CountingCourse course(stage);
        shown.clear();
        console.screen->pushKeys(keys);
        console.screen->pushText(typed);
        EXPECT_EQ(planet.ShowPanel(&console.con, &player, &course), 0);
        EXPECT_TRUE(console.screen->scriptEmpty());
        return course.current();
    }
};

}  // namespace

TEST_F(PlanetTutorial, ScreensOpenInTurnAndCompleteTheirStage) {
    struct Case {
        int stage;
        std::initializer_list<unsigned> keys;
        int ore;
        int expected;
        const char* opened;  // null: nothing opened
    };
    const Case cases[] = {
        {3, {'D', 'E'}, 0, 3, nullptr},           // the dock waits for the hangar
        {3, {'T', 'E'}, 0, 3, nullptr},           // the market too
        {3, {'H', 'E', 'E'}, 0, 4, "HANGAR"},     // the hangar is the goal
        {4, {'T', 'E'}, 0, 4, nullptr},           // the market waits for the dock
        {4, {'D', 'E', 'E'}, 0, 5, "DOCK"},
        {4, {'H', 'E', 'E'}, 0, 4, "HANGAR"},     // a second visit completes nothing
        {5, {'T', 'E', 'E'}, 9, 5, "TRADE"},      // one ore short
        {5, {'T', 'E', 'E'}, 10, 6, "TRADE"},
        {6, {'T', 'E', 'E'}, 10, 6, "TRADE"},     // holding ore is stage 5's goal only
        {0, {'H', 'E', 'E'}, 0, 0, "HANGAR"},     // not before its turn
    };
    for (const Case& c : cases) {
        player.removeTrade(ORE, player.getTrade(ORE));
        player.addTrade(ORE, c.ore);
        EXPECT_EQ(land(c.stage, c.keys), c.expected) << c.stage << " " << *c.keys.begin();
        for (const char* screen : {"HANGAR", "DOCK", "TRADE"})
            EXPECT_EQ(showed(screen), c.opened != nullptr && std::string(screen) == c.opened)
                << c.stage << " " << screen;
    }
}

TEST_F(PlanetTutorial, SellingAllOreAwayFromEarthCompletesStageSix) {
    struct Case {
        const char* planet;
        int stage;
        const char* sold;
        int expected;
    };
    for (const Case& c : {Case{"MARS", 6, "15\n10\n", 7},   // all of it, away from home
                          {"EARTH", 6, "15\n10\n", 6},      // never on the home planet
                          {"EART", 6, "15\n10\n", 7},       // only that very name counts
                          {"MARS", 6, "15\n9\n", 6},        // one ore left
                          {"MARS", 5, "15\n10\n", 5}}) {    // not its turn
        planet.setName(c.planet);
        player.removeTrade(ORE, player.getTrade(ORE));
        player.addTrade(ORE, 10);
        CountingCourse course(c.stage);
        console.screen->pushKey('S');
        console.screen->pushText(c.sold);
        console.screen->pushKeys({'Y', 'E'});
        planet.TradePanel(&console.con, &player, &course);
        EXPECT_TRUE(console.screen->scriptEmpty());
        EXPECT_EQ(course.current(), c.expected) << c.planet << " " << c.stage << " " << c.sold;
    }
}

TEST_F(PlanetTutorial, DepartureReadyForTheFightCompletesThreeStages) {
    struct Case {
        int stage;
        int ammo;
        int collector;
        int expected;
    };
    for (const Case& c : {Case{7, 100, 1, 10}, {7, 250, 1, 10},
                          {7, 99, 1, 7},      // one round short
                          {7, 100, 0, 7},     // no collector
                          {7, 100, 2, 7},     // a better one is not the one asked for
                          {6, 100, 1, 6},     // the ore is not sold yet
                          {8, 100, 1, 8}}) {  // only from the first of the three
        player.removeAmmo(player.getAmmo());
        player.addAmmo(c.ammo);
        player.fitPart(SLOT_COLLECTOR, c.collector);
        EXPECT_EQ(land(c.stage, {'E'}), c.expected) << c.stage << " " << c.ammo << " " << c.collector;
    }

    // Without fuel for the step the stages complete all the same; the
    // player stays and the panel stands again.
    player.removeAmmo(player.getAmmo());
    player.addAmmo(100);
    player.fitPart(SLOT_COLLECTOR, 1);
    player.removeFuel(player.getaFuel());
    CountingCourse course(7);
    console.screen->pushKeys({'E', 'X'});
    EXPECT_THROW(planet.ShowPanel(&console.con, &player, &course), ScriptExhausted);
    EXPECT_EQ(course.current(), 10);
    EXPECT_EQ(console.screen->row(2).substr(2, 17), "Planet name: MARS");
}

TEST_F(PlanetTutorial, ArrivalCompletesTheJumpAndEndsTheCourseOnEarth) {
    struct Case {
        const char* planet;
        int stage;
        int expected;
        bool panel;
    };
    for (const Case& c : {Case{"MARS", 12, 13, true},    // any planet after the jump
                          {"EARTH", 12, 13, true},
                          {"MARS", 11, 11, true},
                          {"EARTH", 13, 13, true},      // the position is not checked yet
                          {"EARTH", 14, 15, false},     // home: the course ends at once
                          {"MARS", 14, 14, true}}) {
        planet.setName(c.planet);
        EXPECT_EQ(land(c.stage, c.panel ? std::initializer_list<unsigned>{'E'} : std::initializer_list<unsigned>{}),
                  c.expected)
            << c.planet << " " << c.stage;
        EXPECT_EQ(showed("Planet name:"), c.panel) << c.planet << " " << c.stage;
    }
}

TEST_F(PlanetTutorial, OutsideTheTutorialNothingIsLocked) {
    console.screen->pushKeys({'T', 'E', 'D', 'E', 'E'});
    EXPECT_EQ(planet.ShowPanel(&console.con, &player, nullptr), 0);
    EXPECT_TRUE(showed("TRADE") && showed("DOCK"));
}
