// The other dimension: crossings of its edges, the ancient planet after the
// tenth, the fake crash of the board computer, and the knowledge goal won
// from the galaxy view.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "EncounterSupport.h"
#include "screen/KeyCodes.h"
#include "encounters/EventEncounters.h"
#include "galaxy/Sector.h"

using namespace keycode;

namespace {

// Where an "O" stands inside the frame of the shown screen, if anywhere.
Coord planetOnScreen(const HeadlessBackend& s) {
    for (short y = 1; y < SCREEN_HEIGHT - 1; ++y)
        for (short x = 1; x < SCREEN_WIDTH - 1; ++x)
            if (s.charAt(x, y) == 'O') return Coord{x, y};
    return Coord{-1, -1};
}

}  // namespace

TEST(Dimension, TheAncientPlanetComesAfterTheTenthCrossingAndPaysOnArrival) {
    HeadlessConsole console;
    std::vector<std::pair<std::uint64_t, Coord>> planets;  // when each screen was shown, and its "O"
    console.screen->onPresent = [&](const HeadlessBackend& s) {
        if (s.dump().find("YOU WON") != std::string::npos) return;  // its title has an "O" too
        planets.emplace_back(console.con.nowMs(), planetOnScreen(s));
    };
    Player player;
    player.newPlayer(VICTORY_KNOWLEDGE);
    player.fitPart(SLOT_ENGINE, 14);  // speed 0, fuel use 1
    const Coord start{1, 12};
    player.setPos(start);

    const unsigned seed = 6;
    rng::srand(seed);
    const Coord target{static_cast<short>(rng::rand() % 76 + 2), static_cast<short>(rng::rand() % 21 + 2)};
    rng::srand(seed);

    // Nine crossings at once, the tenth three seconds later.
    for (int i = 0; i < 9; ++i) console.screen->pushKey(i % 2 == 0 ? Left : Right);
    console.screen->pushDelay(3000);
    console.screen->pushKey(Right);  // back at column 1
    console.screen->pushDelay(1500);
    for (int x = 1; x < target.X; ++x) console.screen->pushKey(Right);
    for (int y = 12; y != target.Y; y += target.Y > 12 ? 1 : -1) console.screen->pushKey(target.Y > 12 ? Down : Up);
    console.screen->pushKey(Enter);
    Event().anotherDimension(&console.con, &player);

    bool seenBefore = false;
    bool seenAfter = false;
    for (const auto& [time, at] : planets) {
        if (at.X == -1) continue;
        (time < 3000 ? seenBefore : seenAfter) = true;
        EXPECT_EQ(at, target);
    }
    EXPECT_FALSE(seenBefore);
    EXPECT_TRUE(seenAfter);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_EQ(player.getrPos(), start);
    EXPECT_EQ(player.getCredits(), 60000);
    EXPECT_EQ(player.getDim().X, 500);
    EXPECT_TRUE(player.getIsWinner());
    const int moves = (target.X - 1) + std::abs(target.Y - 12);
    EXPECT_EQ(player.getaFuel(), 1000 - 10 - moves);
}

TEST(Dimension, CrashConsoleKeepsItsNewestLinesOnScreen) {
    static const char* const kinds[] = {"> Runtime error ", "> System core error ", "> System shell error "};
    for (bool many : {false, true}) {
        unsigned seed = 1;
        int errors = 0;
        for (;; ++seed) {
            rng::srand(seed);
            errors = rng::rand() % 20 + 1;
            if (many ? errors >= 15 : errors <= 5) break;
        }
        std::vector<std::string> lines;
        for (int i = 0; i < errors; ++i) {
            const int kind = rng::rand() % 3;
            lines.push_back(kinds[kind] + std::to_string(rng::rand() % 3642) + "!");
        }
        rng::srand(seed);
        HeadlessConsole console;
        Event().errorConsole(&console.con);

        const int exitRow = many ? SCREEN_HEIGHT - 1 : 2 * errors + 2;
        EXPECT_EQ(trimmed(console.con.grid().row(exitRow)), "> Exiting...") << errors << " errors";
        EXPECT_EQ(trimmed(console.con.grid().row(exitRow - 2)), lines.back());
        EXPECT_EQ(trimmed(console.con.grid().row(exitRow - 1)), "");
        const bool headerShown = console.con.grid().dump().find("Board computer console: ") != std::string::npos;
        EXPECT_EQ(headerShown, !many);
        if (!many) {
            EXPECT_EQ(trimmed(console.con.grid().row(2)), lines.front());
        }
        EXPECT_EQ(console.con.grid().at(0, exitRow).fg, 2u);
        EXPECT_EQ(console.con.grid().at(0, exitRow).bg, 0u);
        EXPECT_EQ(console.con.nowMs(), static_cast<std::uint64_t>(errors + 1) * 1000);
    }
}

// The whole way a player takes: the board computer from the map, the jump to
// the dimension's coordinates, ten crossings, the ancient planet read off the
// screen and flown onto, the victory, and the map and mission screen after.
TEST(Dimension, KnowledgeGoalWonFromTheGalaxyView) {
    RecordingConsole console;
    EventEncounters encounters;  // as the game wires them
    Player player;
    player.newPlayer(VICTORY_KNOWLEDGE);
    player.fitPart(SLOT_COLLECTOR, 14);  // "WonderBolt": the only one that holds the jump's 10000
    player.addEnergy(player.getMaxEnergy());
    const Coord start{MAP_FIRST_COLUMN, 12};
    player.setPos(start);
    Sector sector(0, 0, &player, "Far");
    sector.setNumber(0);
    sector.setEncounters(&encounters);
    rng::srand(3);

    const Coord dim = player.getDim();
    console.screen->pushText("`prepHyperJump;" + std::to_string(dim.X) + ";" + std::to_string(dim.Y) + ";1;1\n");
    console.screen->pushText("hyperJump\n");
    const int presses = player.getShipSpeed() + 1;  // per step of the fitted engine
    for (int crossing = 0; crossing < 10; ++crossing)
        for (int i = 0; i < presses; ++i) console.screen->pushKey(crossing % 2 == 0 ? Left : Right);
    bool flown = false;
    console.screen->onPresent = [&, record = console.screen->onPresent](const HeadlessBackend& s) {
        record(s);
        if (flown || !console.screen->scriptEmpty()) return;
        // A planet that never comes ends the run instead of a virtual day of waiting.
        if (console.con.nowMs() > 10 * 60 * 1000) throw ScriptExhausted();
        const Coord planet = planetOnScreen(s);
        if (planet.X < 0) return;
        flown = true;
        const Coord at = player.getrPos();
        for (int i = 0; i < presses * std::abs(planet.X - at.X); ++i)
            console.screen->pushKey(planet.X > at.X ? Right : Left);
        for (int i = 0; i < presses * std::abs(planet.Y - at.Y); ++i)
            console.screen->pushKey(planet.Y > at.Y ? Down : Up);
        console.screen->pushKeys({Enter, 'J', 'X', Escape});  // the victory window, the mission screen
    };
    sector.ShowMap(&console.con);

    EXPECT_TRUE(flown);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_TRUE(player.getIsWinner());
    EXPECT_EQ(player.getCredits(), 60000);
    EXPECT_EQ(player.getrPos(), start);
    EXPECT_EQ(console.screen->charAt(start.X, start.Y), 'H');
    EXPECT_EQ(console.screen->bgAt(start.X, start.Y), 4u);  // the map
    const std::size_t won = console.shown.find("YOU WON THE GAME");
    const std::size_t mission = console.shown.find("You already won! You haven't");
    ASSERT_NE(won, std::string::npos);
    ASSERT_NE(mission, std::string::npos);
    EXPECT_LT(won, mission);
}
