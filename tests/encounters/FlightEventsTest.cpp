// Encounters started from the galaxy view: announcements, outcomes, and a
// ship destroyed in one ending the game.

#include <gtest/gtest.h>

#include "EncounterSupport.h"
#include "screen/HelpFuncLib.h"
#include "screen/KeyCodes.h"
#include "encounters/EventEncounters.h"
#include "galaxy/Sector.h"
#include "shell/Game.h"

using namespace keycode;

namespace {

class FlightEvents : public ::testing::Test {
protected:
    void SetUp() override {
        player.fitPart(SLOT_HULL, 13);
        player.fitPart(SLOT_ENGINE, 14);
        player.countMaxHealth();
        player.addHealth(player.getMaxHealth());
        sector.setNumber(0);
        sector.setEncounters(&encounters);
    }
    EventEncounters encounters;
    RecordingConsole console;
    Player player;
    Sector sector{0, 0, &player, "Events"};
};

}  // namespace

TEST_F(FlightEvents, MeteorFieldLastsThirtySecondsPerSizeAndThenPraisesTheCrew) {
    static const char* const names[] = {"small", "medium", "large", "giant"};
    for (int size = 1; size <= 4; ++size) {
        unsigned seed = 1;
        for (rng::srand(seed); rng::rand() % 4 + 1 != size; rng::srand(++seed)) {
        }
        rng::srand(seed);
        player.addHealth(player.getMaxHealth());
        RecordingConsole run;
        run.screen->pushKey(Enter);
        run.screen->pushDelay(static_cast<unsigned>(size) * 30000 - 600);
        run.screen->pushKey('X');  // still inside the field
        run.screen->pushDelay(1200);
        run.screen->pushKeys({'X', Enter});
        EXPECT_EQ(sector.genEvent(&run.con, Sector::EVENT_METEORS), Sector::EVENT_METEORS);
        EXPECT_TRUE(run.wasShown(std::string(names[size - 1]) + " meteors field!"))
            << size;
        EXPECT_TRUE(run.wasShown("You saved our ship!"));
        EXPECT_TRUE(run.screen->scriptEmpty());
        EXPECT_EQ(run.con.grid().at(39, 12).ch, 'H');  // the map is back, the ship on its cell
        EXPECT_EQ(run.con.grid().at(39, 12).bg, 4u);
    }
}

TEST_F(FlightEvents, OrdinaryStepsStartEventsOnlyWhereEncountersAreSet) {
    for (int event : {Sector::EVENT_METEORS, Sector::EVENT_PIRATES}) {
        const unsigned seed = seedStarting(event);
        for (bool withEncounters : {false, true}) {
            RecordingConsole run;
            sector.setEncounters(withEncounters ? &encounters : nullptr);
            player.setPos(Coord{39, 12});
            rng::srand(seed);
            // Keys that close either encounter; the map ignores them.
            run.screen->pushKeys({Right, Enter});
            if (event == Sector::EVENT_METEORS) {
                run.screen->pushDelay(130000);
                run.screen->pushKeys({'X', Enter});
            } else {
                run.screen->pushKeys({'7', Enter});
            }
            run.screen->pushKey(Escape);
            sector.ShowMap(&run.con);
            const char* announcement =
                event == Sector::EVENT_METEORS ? "meteors field! You must save the" : "ship approaching! We must fight!";
            EXPECT_EQ(run.wasShown(announcement), withEncounters) << event;
            EXPECT_TRUE(run.screen->scriptEmpty());
            EXPECT_GT(player.getaHealth(), 0);
            EXPECT_EQ(run.con.grid().at(40, 12).ch, 'H');  // the map is back after the encounter
        }
    }
}

TEST(FlightEventsGame, ShipDestroyedByMeteorsEndsTheMapAndTheGalaxyIsDeleted) {
    ScopedWorkDir dir;
    rng::srand(31);
    auto backend = std::make_unique<HeadlessBackend>();
    HeadlessBackend* keys = backend.get();
    Game game(std::move(backend));
    keys->pushText("Doomed\n");
    keys->pushKeys({'1', 'X'});
    ASSERT_TRUE(game.newGame(&game.getConsole()));
    ASSERT_TRUE(fileExist("Doomed.glx"));
    Player& player = game.getPlayer();
    player.removeHealth(player.getaHealth() - 100);
    player.fitPart(SLOT_ENGINE, 14);  // every press a step
    const Coord cell{1, 1};
    player.setPos(Coord{2, 1});

    // A step left starts a giant field that nothing survives standing still.
    rng::srand(seedStarting(Sector::EVENT_METEORS));
    keys->pushKeys({Left, Enter});
    keys->pushDelay(200000);
    keys->pushKeys({'X', Escape});
    game.getSector().ShowMap(&game.getConsole());
    EXPECT_EQ(player.getaHealth(), 0);
    EXPECT_EQ(player.getrPos(), cell);
    EXPECT_FALSE(keys->scriptEmpty());  // the map loop ended by itself

    while (!keys->scriptEmpty()) keys->takeInput();
    keys->pushKeys({Enter, 'E', 'Y'});
    game.run();
    EXPECT_FALSE(fileExist("Doomed.glx"));
}
