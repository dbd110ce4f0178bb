// The fight at the space-pirates planet and the victory windows of the
// special encounters.

#include <gtest/gtest.h>

#include <csignal>

#include "EncounterSupport.h"
#include "screen/KeyCodes.h"
#include "encounters/EventEncounters.h"
#include "galaxy/Sector.h"

TEST(BossFight, PlayerShotsAtThePlanetNeverMissAndTakeNoShield) {
    struct Case {
        int type, ammo, health;
        int healthAfter, ammoAfter;
        const char* message;
    };
    // Weapon row 1: 100 damage.
    const Case cases[] = {
        {SHOT_LASER, 5, 650000, 649900, 4, "You hit enemy for 100 health with laser!"},
        {SHOT_ROCKET, 10, 650000, 649800, 0, "You hit enemy for 200 health with rocket!"},
        {SHOT_BEAM, 5, 650000, 649900, 4, "You hit enemy for 100 health with beam weapon!"},
        {SHOT_LASER, 5, 100, 0, 4, "You hit enemy for 100 health with laser!"},
        {SHOT_LASER, 5, 30, 0, 4, "You hit enemy for 100 health with laser!"},
        {SHOT_ION_CANON, 5, 650000, 650000, 5, ""},
        {SHOT_LASER, 0, 650000, 650000, 0, ""},
    };
    for (const Case& c : cases) {
        HeadlessConsole console;
        Player player;
        player.fitPart(SLOT_WEAPON, 1);
        player.addAmmo(c.ammo);
        int planet = c.health;
        rng::srand(seedForRoll(1));  // the worst roll: the planet does not dodge
        Event().playerShot(&console.con, nullptr, &planet, &player, c.type);
        EXPECT_EQ(planet, c.healthAfter) << c.message;
        EXPECT_EQ(player.getAmmo(), c.ammoAfter);
        EXPECT_EQ(battleInfo(console.con), c.message);
    }
}

TEST(BossFight, PlanetFiresSevenShotsEvenAtADestroyedShip) {
    HeadlessConsole console;
    Player player;
    player.removeHealth(player.getaHealth() - 1);
    rng::srand(8);
    Event().enemyBossTurn(&console.con, 650000, &player);
    EXPECT_EQ(player.getaHealth(), 0);
    // Each shot draws its choice and its roll, and is followed by its pause.
    const int next = rng::rand();
    rng::srand(8);
    for (int i = 0; i < 2 * Event::PLANET_SHOTS; ++i) rng::rand();
    EXPECT_EQ(next, rng::rand());
    EXPECT_EQ(console.con.nowMs() / Event::MESSAGE_PAUSE_MS, static_cast<unsigned>(Event::PLANET_SHOTS));
}

TEST(BossFight, IonCanonIsRefusedAndOnlyTheFirstTitleIsMisspelt) {
    RecordingConsole console;
    std::vector<std::string> titles;
    console.screen->onPresent = [&, record = console.screen->onPresent](const HeadlessBackend& s) {
        record(s);
        const std::string title = trimmed(s.row(0).substr(40));
        if (title.find("PLANET") != std::string::npos && (titles.empty() || titles.back() != title))
            titles.push_back(title);
    };
    Player player;
    fitAll(player, 14);
    player.addEnergy(1000);
    player.addTrade(0, 3);
    rng::srand(2);
    console.screen->pushKeys({keycode::Enter, '2', '6', '7', keycode::Enter});
    EXPECT_FALSE(Event().bossFight(&console.con, &player));
    ASSERT_GE(titles.size(), 2u);
    EXPECT_EQ(titles[0], "SAPCE PIRATES PLANET");
    EXPECT_EQ(titles[1], "SPACE PIRATES PLANET");
    ASSERT_GE(console.messages.size(), 3u);
    EXPECT_EQ(console.messages[0], "You can't use this weapon against planet!");
    EXPECT_EQ(console.messages[1], "You passed your turn...");  // the refusal used no action
    EXPECT_EQ(console.messages[2].rfind("Enemy", 0), 0u);
    EXPECT_GT(player.getaHealth(), 0);
    EXPECT_EQ(player.getTrade(0), 0);  // fled
}

TEST(BossFight, VictoryWindowsDeclareTheWinnerOnlyForTheirGoal) {
    struct Case {
        bool pirates;  // else the ancient planet
        short goal;
        bool winner;
        const char* title;
    };
    const Case cases[] = {
        {true, VICTORY_PIRATES, true, "YOU WON THE GAME"},   {true, VICTORY_CASH, false, "CONGRATULATIONS"},
        {true, VICTORY_KNOWLEDGE, false, "CONGRATULATIONS"}, {false, VICTORY_PIRATES, false, "INFORMATION"},
        {false, VICTORY_CASH, false, "INFORMATION"},         {false, VICTORY_KNOWLEDGE, true, "YOU WON THE GAME"},
    };
    for (const Case& c : cases) {
        RecordingConsole console;
        Player player;
        player.newPlayer(c.goal);
        player.addCredits(990000);  // the cash goal is not looked at here
        const Coord dim = player.getDim();
        console.screen->pushKeys({'X', keycode::Enter});
        if (c.pirates)
            Event().winBossFight(&console.con, &player);
        else
            Event().winByKnowledge(&console.con, &player);
        EXPECT_EQ(player.getIsWinner(), c.winner) << c.title << " goal " << c.goal;
        EXPECT_TRUE(console.wasShown(c.title));
        EXPECT_EQ(player.getCredits(), c.pirates ? 1000000 : 1050000);
        EXPECT_EQ(player.getDim().X, c.pirates ? dim.X : 500);
        EXPECT_TRUE(console.screen->scriptEmpty());  // closed by Enter only
    }
}

TEST(BossFight, GalaxyViewRemovesADestroyedPlanetAndPushesTheShipOffInEveryCase) {
    EventEncounters encounters;
    int wins = 0;
    int losses = 0;
    for (unsigned seed = 1; seed <= 40 && wins == 0; ++seed) {
        RecordingConsole console;
        Player player;
        player.newPlayer(VICTORY_PIRATES);
        fitAll(player, 14);
        player.addEnergy(player.getMaxEnergy());
        player.chargeShield();
        player.addAmmo(10000);
        Sector sector(0, 0, &player, "Boss");
        sector.setNumber(0);
        sector.setEncounters(&encounters);
        rng::srand(seed);
        sector.genEnemyPlanet();
        const Coord planet = sector.getEpPos();
        player.setPos(Coord{static_cast<short>(planet.X - 1), planet.Y});
        console.screen->pushKeys({keycode::Right, keycode::Enter});
        for (int i = 0; i < 40; ++i) console.screen->pushKey('3');  // 33 rockets destroy it
        console.screen->pushKeys({keycode::Enter, 'J', 'X', keycode::Escape});  // the mission screen after
        sector.ShowMap(&console.con);
        if (player.getaHealth() == 0) {
            ++losses;
            EXPECT_EQ(sector.getEpPos(), planet);
            continue;
        }
        ++wins;
        EXPECT_TRUE(console.wasShown("YOU WON THE GAME"));
        EXPECT_TRUE(console.wasShown("You already won! You haven't"));
        EXPECT_TRUE(player.getIsWinner());
        EXPECT_EQ(sector.getEpPos(), (Coord{-1, -1}));
        EXPECT_NE(player.getrPos(), planet);
        EXPECT_NE(console.screen->charAt(planet.X, planet.Y), 'O');
    }
    EXPECT_EQ(wins, 1);
    RecordProperty("losses before the first win", losses);
}

// A stop at the pirates planet, from the crew's warning on, costs the hold
// as fleeing does.
TEST(BossFight, AStopCostsTheHoldAsFleeing) {
    for (const char* keys : {"", "\n6"}) {
        HeadlessConsole console;
        Player player;
        player.addTrade(3, 5);
        console.screen->pushText(keys);
        console.screen->pushDelay(500);
        console.screen->pushSignal(SIGINT);
        EXPECT_EQ(signalThatEnded([&] { Event().bossFight(&console.con, &player); }), SIGINT);
        EXPECT_EQ(player.getTrade(3), 0) << keys;
    }
}
