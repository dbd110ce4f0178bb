// The tutorial run: keys locked until their stage, the moments the loop
// completes, the scripted fight, Esc, and nothing saved.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "tutorial/Tutorial.h"
#include "tutorial/TutorialGalaxy.h"
#include "tutorial/TutorialRun.h"

namespace {

using namespace keycode;

struct TutorialRun : ::testing::Test {
    ScopedWorkDir dir;
    HeadlessConsole console;
    Player player;
    Sector sector{0, 0, &player, TUTORIAL_GALAXY};
    std::unique_ptr<TutorialManager> course;
    std::string shown;

    void SetUp() override {
        ASSERT_TRUE(writeTutorialGalaxy(galaxy::fileName(TUTORIAL_GALAXY)));
        ASSERT_TRUE(sector.load());
        rng::srand(3);
        console.screen->onPresent = [this](const HeadlessBackend& s) { shown += s.dump(); };
    }
    // A new course at `stage`, its texts so far read.
    void reach(int stage) {
        course = makeTutorialCourse();
        for (int i = 0; i < stage; ++i) {
            console.screen->pushKey(Enter);
            course->completeStage(&console.con);
        }
        shown.clear();
    }
    // The opening text, the keys, Esc. Every key must be used.
    void play(std::vector<unsigned> keys) {
        console.screen->pushKey(Enter);
        for (unsigned key : keys) console.screen->pushKey(key);
        console.screen->pushKey(Escape);
        runTutorial(sector, &console.con, *course);
        EXPECT_TRUE(console.screen->scriptEmpty());
    }
    std::vector<unsigned> steps(unsigned arrow, int count) const {
        return std::vector<unsigned>(static_cast<std::size_t>((player.getShipSpeed() + 1) * count), arrow);
    }
    bool showed(const char* text) const { return shown.find(text) != std::string::npos; }
};

}  // namespace

TEST_F(TutorialRun, KeysWaitForTheirStageAndCompleteItOnce) {
    struct Case {
        int stage;
        std::vector<unsigned> keys;
        const char* screen;  // or "" for the ship moved
        bool opens;
        int expected;
    };
    const std::vector<unsigned> oneStep(16, Right);
    const Case cases[] = {
        {0, {'2'}, "Ancient ship parts:", false, 0},
        {1, {'I'}, "SHIP INFORMATION", false, 1},
        {2, oneStep, "", false, 2},
        {3, oneStep, "", true, 3},
        {3, {'1', 'X'}, "INVENTORY", true, 3},  // later: no text
        {12, {'G'}, "GPS", false, 12},
        {13, {'G', 'X', Enter}, "GPS", true, 14},
        {14, {'G', 'X'}, "GPS", true, 14},
        {11, {'J', 'X'}, "Come back to the EARTH", true, 11},
        {14, {'S'}, "Game saved", false, 14},  // never saved
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sector.load());
        reach(c.stage);
        play(c.keys);
        const bool opened = *c.screen == '\0' ? player.getrX() != 39 : showed(c.screen);
        EXPECT_EQ(opened, c.opens) << c.stage << " " << c.keys.front();
        EXPECT_EQ(course->getCurrentStage(), c.expected) << c.stage << " " << c.keys.front();
    }
}

TEST_F(TutorialRun, AnEmptyTankAfterTheFightLeadsToTheBoardComputer) {
    struct Case {
        int stage, engine, fuel, expected;
    };
    for (const Case& c : {Case{11, 0, 1, 12}, {11, 0, 0, 12}, {11, 0, 2, 11}, {10, 0, 1, 10},
                          {11, 2, 1, 12}}) {  // too little for an engine burning 2 a step
        reach(c.stage);
        player.setPos(Coord{20, 4});
        player.fitPart(SLOT_ENGINE, c.engine);
        player.removeFuel(player.getaFuel() - c.fuel);
        std::vector<unsigned> keys = steps(Right, 1);
        if (c.expected != c.stage) keys.push_back(Enter);
        play(keys);
        EXPECT_EQ(course->getCurrentStage(), c.expected) << c.stage << " " << c.engine << " " << c.fuel;
    }
}

TEST_F(TutorialRun, TheFightFollowsTheDepartureAndLeavesTheShipByItsCell) {
    reach(7);
    player.fitPart(SLOT_COLLECTOR, 1);
    player.addAmmo(150);
    // Onto EARTH and away; the texts of stages 8 to 11 around the fight.
    std::vector<unsigned> keys = steps(Left, 1);
    keys.insert(keys.end(), {'E', Enter, Enter, Enter, Enter});
    play(keys);
    EXPECT_EQ(course->getCurrentStage(), 11);
    const Coord at = player.getrPos();
    EXPECT_EQ(std::abs(at.X - TUTORIAL_FIGHT_END_X) + std::abs(at.Y - TUTORIAL_FIGHT_END_Y), 1);
    EXPECT_EQ(player.getaFuel(), TUTORIAL_FUEL_AFTER_FIGHT - 1);
    EXPECT_EQ(player.getAmmo(), 100);
}

TEST(ScriptedFight, IsFoughtAgainUntilTheShipSurvives) {
    for (int losses : {0, 1, 3}) {
        Player player;
        player.removeHealth(30);
        player.addAmmo(150);
        int fights = 0;
        fightUntilSurvived(player, [&] {
            ++fights;
            EXPECT_EQ(player.getaHealth(), player.getMaxHealth());
            EXPECT_EQ(player.getAmmo(), TUTORIAL_FIGHT_AMMO);
            player.removeAmmo(60);
            player.removeHealth(fights <= losses ? player.getaHealth() : 1);
        });
        EXPECT_EQ(fights, losses + 1);
    }
}

TEST_F(TutorialRun, EscEndsAnyStageAndTheNextTutorialStartsAtTheFirst) {
    reach(11);
    play({});
    EXPECT_EQ(course->getCurrentStage(), 11);
    console.screen->pushKeys({Enter, '1', 'X', Enter, Escape});
    sector.StartTutorial(&console.con);
    shown.clear();
    console.screen->pushKeys({Enter, '2', Escape});
    sector.StartTutorial(&console.con);
    EXPECT_TRUE(showed("Welcome our new cadet!"));
    EXPECT_FALSE(showed("Ancient ship parts:"));
}

TEST_F(TutorialRun, CrossingIntoTheNextSectorWritesNothing) {
    const auto written = std::filesystem::last_write_time(galaxy::fileName(TUTORIAL_GALAXY));
    reach(3);
    player.setPos(Coord{1, 12});
    play(steps(Left, 1));
    EXPECT_EQ(sector.getSecX(), -1);
    EXPECT_EQ(sector.getaPartKind(), 4);  // hidden there for explorers
    EXPECT_EQ(std::filesystem::last_write_time(galaxy::fileName(TUTORIAL_GALAXY)), written);
}
