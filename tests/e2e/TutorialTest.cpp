// The whole tutorial in the real program, by keys only, as a cadet plays it:
// each key is pressed once the screen it belongs to shows, the ship is
// steered by where the terminal shows it, and the scripted fight is fled as
// often as it takes.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "TerminalSession.h"
#include "TestSupport.h"
#include "tutorial/Tutorial.h"
#include "tutorial/TutorialGalaxy.h"
#include "tutorial/TutorialRun.h"

namespace {

using namespace tutorialGalaxy;
using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

// The pirate's turn after a flight: two seconds for each of its messages.
constexpr int FIGHT_TURN_MS = 30000;

// How the text of a stage begins on screen.
std::string stageStart(int id) {
    static const auto course = makeTutorialCourse();
    const std::string info = course->stageAt(*course->getStageByID(id))->getInfo();
    return info.substr(0, std::min<std::size_t>(info.find('\n'), 30));
}

class Cadet {
public:
    explicit Cadet(TerminalSession& game) : game_(game) {}

    // Once `text` shows anywhere, types `keys` ('\n' is Enter).
    AssertionResult after(const std::string& text, std::string_view keys) { return game_.typeWhenShown(text, keys); }
    // Reads the text of stage `id` and closes it.
    AssertionResult stage(int id) {
        if (!game_.waitForText(2, 2, stageStart(id))) return lost("the text of stage " + std::to_string(id));
        game_.type("\n");
        return AssertionSuccess();
    }
    // Once the map shows the ship, types `keys`.
    AssertionResult onMap(std::string_view keys) {
        if (!game_.waitFor([&] { return game_.find('H', MAP_BLUE).has_value(); })) return lost("the map");
        game_.type(keys);
        return AssertionSuccess();
    }
    // Steps towards `cell` until `arrived`: across first, around any other
    // planet in the way.
    AssertionResult flyTo(Coord cell, const std::string& arrived) {
        for (int step = 0; step < 100; ++step) {
            const auto ship = game_.find('H', MAP_BLUE);
            if (game_.screenHas(arrived)) return AssertionSuccess();
            if (!ship) {
                game_.pump(50);
                continue;
            }
            const auto [x, y] = *ship;
            const int dx = (cell.X > x) - (cell.X < x);
            const int dy = (cell.Y > y) - (cell.Y < y);
            const bool blocked = dx != 0 && game_.cell(x + dx, y).ch == 'O' && (x + dx != cell.X || y != cell.Y);
            game_.keys(dx != 0 && !blocked ? (dx > 0 ? VTERM_KEY_RIGHT : VTERM_KEY_LEFT)
                                           : (dy > 0 ? VTERM_KEY_DOWN : VTERM_KEY_UP),
                       PRESSES_PER_STEP);
            game_.waitFor([&] { return game_.screenHas(arrived) || game_.find('H', MAP_BLUE) != ship; }, 2000);
        }
        return lost("\"" + arrived + "\" on the way to (" + std::to_string(cell.X) + ", " + std::to_string(cell.Y) +
                    ")");
    }
    // The scripted fight, fled until the ship survives the pirate's turn.
    AssertionResult flee() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (AssertionResult announced = after("ship approaching!", "\n"); !announced) return announced;
            if (AssertionResult fighting = after("7 - Flee", "7"); !fighting) return fighting;
            game_.waitFor([&] { return game_.screenHas("You fleed away") || game_.screenHas("ship approaching!"); },
                          FIGHT_TURN_MS);
            if (game_.screenHas("You fleed away")) return after("You fleed away", "\n");
        }
        return lost("a flight survived");
    }

private:
    AssertionResult lost(const std::string& what) {
        return AssertionFailure() << "waited in vain for " << what << "; the screen:\n" << game_.dump();
    }
    TerminalSession& game_;
};

}  // namespace

TEST(TerminalTutorial, FromTheMenusTToTheFarewellByKeysOnly) {
    const auto started = std::chrono::steady_clock::now();
    ScopedWorkDir dir;
    // The build generates the galaxy beside the program, where the game finds it.
    const std::filesystem::path galaxy = std::filesystem::path(STARHOLLOW_EXE).parent_path() / "Tutorial.glx";
    ASSERT_TRUE(std::filesystem::exists(galaxy));
    const auto written = std::filesystem::last_write_time(galaxy);
    TerminalSession game(TerminalSession::in(dir.path()));
    Cadet cadet(game);

    ASSERT_TRUE(cadet.after("N - New Game", "T"));
    // The ship's own screens: cargo, ancient parts, ship information.
    ASSERT_TRUE(cadet.stage(0));
    for (int id = 1; id <= 3; ++id) {
        ASSERT_TRUE(cadet.onMap(id == 1 ? "1" : id == 2 ? "2" : "I"));
        ASSERT_TRUE(cadet.after(id == 3 ? "SHIP INFORMATION" : "INVENTORY", "X"));
        ASSERT_TRUE(cadet.stage(id));
    }
    // EARTH: hangar, dock, ten ore bought.
    ASSERT_TRUE(cadet.flyTo(Coord{EARTH_X, EARTH_Y}, "Planet name: EARTH"));
    ASSERT_TRUE(cadet.after("H - Hangar", "H"));
    ASSERT_TRUE(cadet.after("A - Buy ammo", "E"));
    ASSERT_TRUE(cadet.stage(4));
    ASSERT_TRUE(cadet.after("D - Dock", "D"));
    ASSERT_TRUE(cadet.after("C - Change part", "E"));
    ASSERT_TRUE(cadet.stage(5));
    ASSERT_TRUE(cadet.after("T - Trade", "T"));
    ASSERT_TRUE(cadet.after("B - Buy", "B"));
    ASSERT_TRUE(cadet.after("Type product number", "15\n"));
    ASSERT_TRUE(cadet.after("Type count to buy", "10\n"));
    ASSERT_TRUE(cadet.after("Y - Buy N - Cancel", "YE"));
    ASSERT_TRUE(cadet.stage(6));
    ASSERT_TRUE(cadet.after("E - Departure", "E"));
    // MARS: the ore sold, 100 ammunition and the "LiquidSteel" collector.
    ASSERT_TRUE(cadet.flyTo(Coord{MARS_X, MARS_Y}, "Planet name: MARS"));
    ASSERT_TRUE(cadet.after("T - Trade", "T"));
    ASSERT_TRUE(cadet.after("S - Sell", "S"));
    ASSERT_TRUE(cadet.after("Type product number", "15\n"));
    ASSERT_TRUE(cadet.after("Type count to sell", "10\n"));
    ASSERT_TRUE(cadet.after("Y - Sell N - Cancel", "Y"));
    ASSERT_TRUE(cadet.stage(7));
    ASSERT_TRUE(cadet.after("S - Sell", "E"));
    ASSERT_TRUE(cadet.after("H - Hangar", "H"));
    ASSERT_TRUE(cadet.after("A - Buy ammo", "A"));
    ASSERT_TRUE(cadet.after("How many ammo", "100\n"));
    ASSERT_TRUE(cadet.after("Do you want to buy 100 ammo", "YE"));
    ASSERT_TRUE(cadet.after("D - Dock", "D"));
    ASSERT_TRUE(cadet.after("C - Change part", "C"));
    ASSERT_TRUE(cadet.after("Select ship part", "5\n"));
    ASSERT_TRUE(cadet.after("Type number of part to buy", "2\n"));
    ASSERT_TRUE(cadet.after("Do you want to buy LiquidSteel?", "YE"));
    ASSERT_TRUE(cadet.after("E - Departure", "E"));
    // Ready: three texts, the fight, and back towards EARTH until the tank is dry.
    for (int id = 8; id <= 10; ++id) ASSERT_TRUE(cadet.stage(id));
    ASSERT_TRUE(cadet.flee());
    ASSERT_TRUE(cadet.stage(11));
    ASSERT_TRUE(cadet.flyTo(Coord{TUTORIAL_FIGHT_END_X, 1}, stageStart(12)));
    ASSERT_TRUE(cadet.stage(12));
    // The board computer's jump to the nearest planet, fuel, the GPS, home.
    ASSERT_TRUE(cadet.onMap("`"));
    ASSERT_TRUE(cadet.after("Board computer console", "prepHyperJump;@Sx;@Sy;@Px;@Py\n"));
    ASSERT_TRUE(cadet.after("Hyperspace jump prepared", "hyperJump\n"));
    ASSERT_TRUE(cadet.stage(13));
    ASSERT_TRUE(cadet.after("H - Hangar", "H"));
    ASSERT_TRUE(cadet.after("F - Buy fuel", "F"));
    ASSERT_TRUE(cadet.after("How many fuel", "100\n"));
    ASSERT_TRUE(cadet.after("Do you want to buy 100l fuel", "YE"));
    ASSERT_TRUE(cadet.after("E - Departure", "E"));
    ASSERT_TRUE(cadet.onMap("G"));
    ASSERT_TRUE(cadet.after("GPS", "X"));
    ASSERT_TRUE(cadet.stage(14));
    ASSERT_TRUE(cadet.flyTo(Coord{EARTH_X, EARTH_Y}, stageStart(15)));
    ASSERT_TRUE(cadet.stage(15));

    ASSERT_TRUE(cadet.after("N - New Game", "E"));
    ASSERT_TRUE(cadet.after("Are you sure", "Y"));
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
    // Nothing saved: no file here, the tutorial galaxy as the build wrote it.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(std::filesystem::last_write_time(galaxy), written);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    RecordProperty("seconds", std::to_string(seconds));
}
