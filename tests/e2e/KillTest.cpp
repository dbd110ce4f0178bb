// The real program killed outright (SIGKILL: no handler runs) at random
// moments of a galaxy's creation, of S saves and of sector crossings:
// afterwards every galaxy in the folder loads and is whole, or is not there.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <random>

#include "GalaxyCheck.h"
#include "GalaxyFixture.h"
#include "TerminalSession.h"
#include "TestSupport.h"

namespace {

constexpr int BLUE = 4;
constexpr int PRESSES_PER_STEP = 16;
constexpr short TOP_ROW = 1;  // the first row the ship can be on

using Clock = std::chrono::steady_clock;

TerminalSession::Options in(const ScopedWorkDir& dir) {
    TerminalSession::Options options;
    options.workDir = dir.path().string();
    return options;
}

unsigned seedOfThisRun() {
    // A new draw of moments on every run; the seed is printed with any failure.
    if (const char* fixed = std::getenv("STARHOLLOW_KILL_SEED")) return static_cast<unsigned>(std::atoi(fixed));
    return std::random_device{}();
}

void expectEveryGalaxyWhole(const ScopedWorkDir& dir, const std::string& after) {
    for (const auto& [name, report] : checkGalaxyFolder(dir.path())) {
        EXPECT_TRUE(report.sound()) << name << " after " << after << ": " << report.describe();
        // Nobody fought the pirates here: the planet is still there.
        EXPECT_EQ(report.piratesPlanets, 1) << name << " after " << after;
    }
}

// Kills the program once `ms` milliseconds have passed, sending `next()`'s
// keys meanwhile so that it is busy when the kill comes.
void killAfter(TerminalSession& game, int ms, const std::function<void()>& next) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        if (next) next();
        game.pump(next ? 0 : 1);
    }
    game.signal(SIGKILL);
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL);
}

bool loadOnMap(TerminalSession& game, const std::string& name, std::optional<std::pair<int, int>>& ship) {
    if (!game.waitForText(34, 4, "N - New Game")) return false;
    game.type("L");
    if (!game.waitFor([&] { return game.screenHas("LOAD GAME"); })) return false;
    game.type(name + "\n");
    return game.waitFor([&] { return (ship = game.find('H', BLUE)).has_value(); });
}

}  // namespace

TEST(KillTest, NoKillLeavesADamagedGalaxy) {
    const unsigned seed = seedOfThisRun();
    SCOPED_TRACE("STARHOLLOW_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    ScopedWorkDir dir;

    // Creation: killed before, during or after the whole file is written.
    std::uniform_int_distribution<int> creationMoment(0, 1800);
    for (int round = 0; round < 3; ++round) {
        TerminalSession game(in(dir));
        ASSERT_TRUE(game.waitForText(34, 4, "N - New Game"));
        game.type("N");
        ASSERT_TRUE(game.waitFor([&] { return game.screenHas("Type new galaxy name"); }));
        game.type("Doomed" + std::to_string(round) + "\n");
        ASSERT_TRUE(game.waitFor([&] { return game.screenHas("4 - I'm not looking"); }));
        game.type("1");
        killAfter(game, creationMoment(random), nullptr);
        expectEveryGalaxyWhole(dir, "a creation killed");
    }

    // S saves and crossings, back and forth over the top edge of sector
    // (0, 0): no step inside a sector, so no encounter comes in between.
    installGalaxy(dir.path(), "Runner", COORD{39, TOP_ROW});
    std::uniform_int_distribution<int> flightMoment(50, 900);
    for (int round = 0; round < 5; ++round) {
        TerminalSession game(in(dir));
        std::optional<std::pair<int, int>> ship;
        ASSERT_TRUE(loadOnMap(game, "Runner", ship)) << "round " << round << "\n" << game.dump();
        bool up = ship->second == TOP_ROW;
        int sent = 0;
        killAfter(game, flightMoment(random), [&] {
            if (sent++ % 2 == 0) {
                game.keys(up ? VTERM_KEY_UP : VTERM_KEY_DOWN, PRESSES_PER_STEP);
                up = !up;
            } else {
                game.type("SX");  // save, and close its message
            }
        });
        expectEveryGalaxyWhole(dir, "a flight killed");
    }
    // The kills came while the ship was crossing: each crossing burns fuel
    // and saves it.
    const GalaxyReport runner = checkGalaxyFile(dir.path() / "Runner.glx");
    EXPECT_LT(runner.player.getaFuel(), Player().getaFuel());
}
