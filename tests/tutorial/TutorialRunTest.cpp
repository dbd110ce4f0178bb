// The tutorial run on the tutorial galaxy: keys unlocked stage by stage, the
// moments the loop completes, the scripted fight, Esc, and nothing saved.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "TestSupport.h"
#include "console/KeyDecoder.h"
#include "console/Random.h"
#include "galaxy/Encounters.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "tutorial/Tutorial.h"
#include "tutorial/TutorialGalaxy.h"
#include "tutorial/TutorialRun.h"

namespace {

using namespace keycode;

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

struct TutorialRun : ::testing::Test {
    ScopedWorkDir dir;
    HeadlessConsole console;
    Player player;
    Sector sector{0, 0, &player, TUTORIAL_GALAXY};
    std::unique_ptr<TutorialManager> course = makeTutorialCourse();
    std::string shown;     // every screen presented
    int infoScreens = 0;   // presents of a stage's text

    void SetUp() override {
        ASSERT_TRUE(writeTutorialGalaxy(galaxy::fileName(TUTORIAL_GALAXY)));
        ASSERT_TRUE(sector.load());
        rng::srand(3);
        console.screen->onPresent = [this](const HeadlessBackend& s) {
            shown += s.dump();
            if (s.row(0).substr(36, 8) == "TUTORIAL" && s.bgAt(1, 1) == 2) ++infoScreens;
        };
    }
    // The course at `stage`, its texts so far read.
    void reach(int stage) {
        for (int i = 0; i < stage; ++i) {
            console.screen->pushKey(Enter);
            course->completeStage(&console.con);
        }
        shown.clear();
        infoScreens = 0;
    }
    // Runs the course from its current stage: the opening text, the keys,
    // then Esc. Every key must be used.
    void play(const std::vector<unsigned>& keys, bool esc = true) {
        console.screen->pushKey(Enter);
        for (unsigned key : keys) console.screen->pushKey(key);
        if (esc) console.screen->pushKey(Escape);
        runTutorial(sector, &console.con, *course);
        EXPECT_TRUE(console.screen->scriptEmpty());
    }
    // Presses enough arrows for `steps` steps of the fitted engine.
    std::vector<unsigned> steps(unsigned arrow, int count) const {
        return std::vector<unsigned>(static_cast<std::size_t>((player.getShipSpeed() + 1) * count), arrow);
    }
    bool showed(const char* text) const { return shown.find(text) != std::string::npos; }
};

std::vector<unsigned> operator+(std::vector<unsigned> a, const std::vector<unsigned>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Small encounters for the pirates planet.
class PiratesPlanet final : public Encounters {
public:
    explicit PiratesPlanet(bool shipLost) : shipLost_(shipLost) {}
    void meteors(ConLib*, Player*, unsigned long) override {}
    void randomBattle(ConLib*, Player*) override {}
    bool bossFight(ConLib*, Player* player) override {
        if (shipLost_) player->removeHealth(player->getaHealth());
        return !shipLost_;
    }
    void anotherDimension(ConLib*, Player*) override {}

private:
    bool shipLost_;
};

}  // namespace

TEST_F(TutorialRun, ScreensOfTheMapUnlockStageByStage) {
    struct Case {
        int stage;
        std::vector<unsigned> keys;
        const char* screen;
        bool opens;
        int expected;
    };
    const Case cases[] = {
        {0, {'2'}, "Ancient ship parts:", false, 0},
        {0, {'I'}, "SHIP INFORMATION", false, 0},
        {0, {'1', 'X', Enter}, "INVENTORY", true, 1},
        {3, {'1', 'X'}, "INVENTORY", true, 3},  // later: the cargo, no text
        {1, {'I'}, "SHIP INFORMATION", false, 1},
        {1, {'2', 'X', Enter}, "Ancient ship parts:", true, 2},
        {4, {'2', 'X'}, "Ancient ship parts:", true, 4},
        {2, {'I', 'X', Enter}, "SHIP INFORMATION", true, 3},
        {12, {'G'}, "GPS", false, 12},
        {13, {'G', 'X', Enter}, "GPS", true, 14},
        {14, {'G', 'X'}, "GPS", true, 14},
        {0, {'J', 'X'}, "Check what you have in ship", true, 0},
        {11, {'J', 'X'}, "Come back to the EARTH", true, 11},
        {0, {'S'}, "Game saved", false, 0},
        {14, {'S'}, "Game saved", false, 14},
    };
    for (const Case& c : cases) {
        course = makeTutorialCourse();
        reach(c.stage);
        play(c.keys);
        EXPECT_EQ(showed(c.screen), c.opens) << c.stage << " " << c.keys.front();
        EXPECT_EQ(course->getCurrentStage(), c.expected) << c.stage << " " << c.keys.front();
        // The opening text, and one more for each stage completed.
        EXPECT_EQ(infoScreens, 1 + c.expected - c.stage) << c.stage << " " << c.keys.front();
    }
}

TEST_F(TutorialRun, ArrowsFlyOnlyOnceTheShipIsKnown) {
    const COORD start = player.getrPos();
    reach(2);  // the ship information is still to be read
    play(steps(Right, 2) + steps(Down, 1));
    EXPECT_EQ(player.getrPos(), start);
    EXPECT_EQ(player.getaFuel(), 1000);

    reach(1);  // now it is
    play(steps(Right, 2) + steps(Down, 1));
    EXPECT_EQ(player.getrPos(), (COORD{static_cast<short>(start.X + 2), static_cast<short>(start.Y + 1)}));
    EXPECT_EQ(player.getaFuel(), 997);
}

TEST_F(TutorialRun, AnEmptyTankAfterTheFightLeadsToTheBoardComputer) {
    struct Case {
        int stage;
        int engine;
        int fuel;
        int expected;
    };
    for (const Case& c : {Case{11, 0, 1, 12},   // the last litre burnt
                          {11, 0, 0, 12},       // already empty: the step is taken in place
                          {11, 0, 2, 11},       // one litre left
                          {10, 0, 1, 10},       // before the fight nothing comes of it
                          {11, 2, 1, 12}}) {    // too little for an engine burning 2 a step
        course = makeTutorialCourse();
        reach(c.stage);
        player.setPos(COORD{20, 4});
        player.fitPart(SLOT_ENGINE, c.engine);
        player.removeFuel(player.getaFuel() - c.fuel);
        std::vector<unsigned> keys = steps(Right, 1);
        if (c.expected != c.stage) keys.push_back(Enter);
        play(keys);
        EXPECT_EQ(course->getCurrentStage(), c.expected) << c.stage << " " << c.engine << " " << c.fuel;
    }
}

TEST_F(TutorialRun, DepartingReadyStartsTheFightAndLeavesTheShipAtItsCell) {
    struct Case {
        int collector;
        int expected;
    };
    for (const Case& c : {Case{1, 11}, {2, 7}}) {
        ASSERT_TRUE(sector.load());  // the ship beside EARTH again
        course = makeTutorialCourse();
        reach(7);
        player.fitPart(SLOT_COLLECTOR, c.collector);
        player.removeAmmo(player.getAmmo());
        player.addAmmo(150);
        player.removeHealth(40);
        // Onto EARTH, away at once; ready, the texts of stages 8, 9, 10, the
        // fight, and stage 11's text.
        std::vector<unsigned> keys = steps(Left, 1) + std::vector<unsigned>{'E'};
        if (c.expected == 11) keys = keys + std::vector<unsigned>{Enter, Enter, Enter, Enter};
        play(keys);
        EXPECT_EQ(course->getCurrentStage(), c.expected) << c.collector;
        const COORD at = player.getrPos();
        if (c.expected == 11) {
            EXPECT_EQ(std::abs(at.X - TUTORIAL_FIGHT_END_X) + std::abs(at.Y - TUTORIAL_FIGHT_END_Y), 1);
            EXPECT_EQ(player.getaFuel(), TUTORIAL_FUEL_AFTER_FIGHT - 1);
            EXPECT_EQ(player.getAmmo(), 100);
            EXPECT_EQ(player.getaHealth(), player.getMaxHealth());
        } else {
            EXPECT_EQ(std::abs(at.X - tutorialGalaxy::EARTH_X) + std::abs(at.Y - tutorialGalaxy::EARTH_Y), 1);
            EXPECT_EQ(player.getaFuel(), 998);
            EXPECT_EQ(player.getAmmo(), 150);
        }
    }
}

TEST(ScriptedFight, IsFoughtAgainUntilTheShipSurvives) {
    struct Case {
        int ammoBefore;
        int losses;
    };
    for (const Case& c : {Case{0, 0}, {150, 0}, {100, 1}, {7, 3}}) {
        Player player;
        player.removeHealth(30);
        player.addAmmo(c.ammoBefore);
        int fights = 0;
        fightUntilSurvived(player, [&] {
            ++fights;
            EXPECT_EQ(player.getaHealth(), player.getMaxHealth()) << fights;
            EXPECT_EQ(player.getAmmo(), TUTORIAL_FIGHT_AMMO) << fights;
            EXPECT_EQ(player.getaWeight(), TUTORIAL_FIGHT_AMMO / 10) << fights;
            player.removeAmmo(60);
            player.removeHealth(fights <= c.losses ? player.getaHealth() : 1);
        });
        EXPECT_EQ(fights, c.losses + 1) << c.ammoBefore;
        EXPECT_EQ(player.getaHealth(), player.getMaxHealth() - 1);
    }
}

TEST_F(TutorialRun, EscEndsAnyStageAndTheNextTutorialStartsAtTheFirst) {
    for (int stage : {0, 2, 7, 11, 14}) {
        course = makeTutorialCourse();
        reach(stage);
        play({});
        EXPECT_EQ(course->getCurrentStage(), stage);
    }
    console.screen->pushKeys({Enter, '1', 'X', Enter, '2', 'X', Enter, Escape});
    sector.StartTutorial(&console.con);
    shown.clear();
    console.screen->pushKeys({Enter, '2', 'I', Escape});
    sector.StartTutorial(&console.con);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_TRUE(showed("Welcome our new cadet!"));
    EXPECT_FALSE(showed("Ancient ship parts:"));
    EXPECT_FALSE(showed("SHIP INFORMATION"));
}

TEST_F(TutorialRun, CrossingIntoTheNextSectorReadsItAndWritesNothing) {
    const std::vector<char> before = readFile(galaxy::fileName(TUTORIAL_GALAXY));
    reach(3);
    player.setPos(COORD{1, 12});
    play(steps(Left, 1) + std::vector<unsigned>{'S'});
    EXPECT_EQ(sector.getSecX(), -1);
    EXPECT_EQ(player.getWorldX(), -1);
    EXPECT_EQ(player.getrPos(), (COORD{78, 12}));
    EXPECT_EQ(sector.getaPartKind(), 4);  // hidden there for explorers
    EXPECT_FALSE(showed("Game saved"));
    EXPECT_EQ(readFile(galaxy::fileName(TUTORIAL_GALAXY)), before);
}

TEST_F(TutorialRun, PiratesPlanetIsFoughtAndALostShipEndsTheRun) {
    for (bool lost : {false, true}) {
        ASSERT_TRUE(sector.load());
        PiratesPlanet pirates(lost);
        sector.setEncounters(&pirates);
        sector.genEnemyPlanet();
        const COORD planet = sector.getEpPos();
        player.setPos(COORD{static_cast<short>(planet.X - 1), planet.Y});
        course = makeTutorialCourse();
        reach(3);
        play(steps(Right, 1), /*esc=*/!lost);
        EXPECT_EQ(sector.getEpPos().X == -1, !lost) << lost;
        EXPECT_EQ(player.getaHealth() == 0, lost) << lost;
        sector.setEncounters(nullptr);
    }
}
