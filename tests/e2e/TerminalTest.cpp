// The real program in a real terminal emulator: what a player sees, the
// terminal given back as it was, and nothing lost when the game is stopped.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <ostream>

#include "GalaxyCheck.h"
#include "GalaxyFixture.h"
#include "TerminalSession.h"
#include "TestSupport.h"

namespace {

constexpr int BLACK = 0, RED = 1, GREEN = 2, BLUE = 4, WHITE = 7;
constexpr int PRESSES_PER_STEP = 16;  // the first engine lets 15 presses pass

TerminalSession::Options in(const ScopedWorkDir& dir, const std::string& term = "xterm-256color") {
    TerminalSession::Options options;
    options.term = term;
    options.workDir = dir.path().string();
    return options;
}

bool menuShown(TerminalSession& game) { return game.waitForText(34, 4, "N - New Game"); }

// Leaves through E and Y; true when the program then ended with status 0.
bool quitsCleanly(TerminalSession& game) {
    game.type("E");
    if (!game.waitForText(20, 10, "Are you sure")) return false;
    game.type("Y");
    const std::optional<int> status = game.waitExit();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

// Loads galaxy `name` from the menu and waits for the ship on the map.
std::optional<std::pair<int, int>> loadGalaxy(TerminalSession& game, const std::string& name) {
    if (!menuShown(game)) return std::nullopt;
    game.type("L");
    if (!game.waitFor([&] { return game.screenHas("LOAD GAME"); })) return std::nullopt;
    game.type(name + "\n");
    std::optional<std::pair<int, int>> ship;
    game.waitFor([&] { return (ship = game.find('H', BLUE)).has_value(); });
    return ship;
}

std::string describe(int status) {
    if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}  // namespace

TEST(TerminalMenu, CellsColoursAndQuittingGiveTheTerminalBack) {
    ScopedWorkDir dir;
    TerminalSession game(in(dir));
    ASSERT_TRUE(menuShown(game)) << game.dump();
    EXPECT_EQ(game.row(0).substr(36, 9), "MAIN MENU");
    EXPECT_EQ(game.row(2).substr(35, 10), "Starhollow");
    EXPECT_EQ(game.row(8).substr(34, 8), "E - Exit");
    EXPECT_EQ(game.row(22).substr(2, 18), "Beta version 1.1.0");
    const ShownCell corner = game.cell(0, 0);
    EXPECT_EQ(corner.ch, '*');
    EXPECT_EQ(corner.fg, WHITE);
    EXPECT_EQ(corner.bg, BLACK);

    game.type("C");
    ASSERT_TRUE(game.waitFor([&] { return game.row(0).find("CREDITS") != std::string::npos; })) << game.dump();
    EXPECT_EQ(game.row(4).substr(36, 9), "Quillmark");
    game.type("X");
    ASSERT_TRUE(menuShown(game));

    game.type("E");
    ASSERT_TRUE(game.waitForText(20, 10, "Are you sure")) << game.dump();
    const ShownCell question = game.cell(20, 10);
    EXPECT_EQ(question.fg, RED);
    EXPECT_EQ(question.bg, WHITE);
    game.type("N");
    ASSERT_TRUE(game.waitFor([&] { return game.row(10).find("Are you sure") == std::string::npos; }));
    ASSERT_TRUE(menuShown(game));

    EXPECT_TRUE(quitsCleanly(game));
    EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
    EXPECT_FALSE(game.screenHas("MAIN MENU")) << "the game's screen was left behind";
}

// ---- Every terminal -----------------------------------------------------------

struct TermCase {
    const char* term;
    bool colour;
    friend void PrintTo(const TermCase& c, std::ostream* out) { *out << "TERM=" << c.term; }
};

class TermMatrix : public ::testing::TestWithParam<TermCase> {};

TEST_P(TermMatrix, MenuAndWindowDrawThenTheTerminalComesBackClean) {
    const TermCase c = GetParam();
    ScopedWorkDir dir;
    TerminalSession game(in(dir, c.term));
    ASSERT_TRUE(menuShown(game)) << game.dump();
    EXPECT_NE(game.row(0).find("MAIN MENU"), std::string::npos);
    EXPECT_EQ(game.row(7).substr(34, 11), "C - Credits");
    EXPECT_EQ(game.cell(79, 24).ch, '*');

    // A framed window over the menu: red on white, or reverse video.
    game.type("N");
    ASSERT_TRUE(game.waitForText(20, 10, "Type new galaxy name")) << game.dump();
    const ShownCell text = game.cell(20, 10);
    if (c.colour) {
        EXPECT_EQ(text.fg, RED);
        EXPECT_EQ(text.bg, WHITE);
    } else {
        EXPECT_TRUE(text.reverse);
        EXPECT_TRUE(text.bold);
        EXPECT_FALSE(game.cell(34, 4).reverse) << "the menu behind stays plain";
    }
    game.type("x\n");
    ASSERT_TRUE(game.waitFor([&] { return game.screenHas("4 - I'm not looking"); })) << game.dump();
    game.type("4");
    ASSERT_TRUE(menuShown(game));

    EXPECT_TRUE(quitsCleanly(game));
    EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
    // Left by the alternate screen, or cleared where there is none.
    EXPECT_FALSE(game.screenHas("MAIN MENU")) << game.dump();
}

INSTANTIATE_TEST_SUITE_P(Terminals, TermMatrix,
                         ::testing::Values(TermCase{"xterm-256color", true}, TermCase{"xterm", true},
                                           TermCase{"screen", true}, TermCase{"tmux-256color", true},
                                           TermCase{"linux", true}, TermCase{"vt100", false}),
                         [](const auto& info) {
                             std::string name = info.param.term;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

TEST(TermMatrix, WithoutColourTheMapTellsShipPlanetsAndFrameApart) {
    ScopedWorkDir dir;
    const PlanetSpot spot = planetSpot();
    installGalaxy(dir.path(), "Mono", spot.beside);
    TerminalSession game(in(dir, "vt100"));
    ASSERT_TRUE(menuShown(game));
    game.type("L");
    ASSERT_TRUE(game.waitFor([&] { return game.screenHas("LOAD GAME"); }));
    game.type("Mono\n");
    ASSERT_TRUE(game.waitFor([&] { return game.cell(spot.beside.X, spot.beside.Y).ch == 'H'; })) << game.dump();
    const ShownCell ship = game.cell(spot.beside.X, spot.beside.Y);
    const ShownCell planet = game.cell(spot.planet.X, spot.planet.Y);
    const ShownCell frame = game.cell(0, 0);
    EXPECT_TRUE(ship.reverse);
    EXPECT_EQ(planet.ch, 'O');
    EXPECT_FALSE(planet.reverse || planet.bold || planet.underline);
    EXPECT_EQ(frame.ch, '*');
    EXPECT_FALSE(frame.reverse || frame.bold);
    game.key(VTERM_KEY_ESCAPE);
    ASSERT_TRUE(menuShown(game));
    EXPECT_TRUE(quitsCleanly(game));
}

struct UnusableCase {
    const char* term;
    friend void PrintTo(const UnusableCase& c, std::ostream* out) { *out << "TERM=" << c.term; }
};

class UnusableTerminal : public ::testing::TestWithParam<UnusableCase> {};

TEST_P(UnusableTerminal, IsRefusedInOneLineBeforeAnythingIsDrawn) {
    ScopedWorkDir dir;
    TerminalSession game(in(dir, GetParam().term));
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) != 0) << describe(*status);
    const std::string& said = game.output();
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << "something was drawn: " << said;
    EXPECT_NE(said.find("position the cursor"), std::string::npos) << said;
    EXPECT_NE(said.find(GetParam().term), std::string::npos) << said;
    // One line: the terminal turns its line end into CR LF.
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
}

INSTANTIATE_TEST_SUITE_P(Terminals, UnusableTerminal,
                         ::testing::Values(UnusableCase{"dumb"}, UnusableCase{"no-such-terminal"}),
                         [](const auto& info) {
                             std::string name = info.param.term;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

// ---- Arguments ------------------------------------------------------------------

struct ArgumentCase {
    const char* argument;
    int status;
    const char* said;
    friend void PrintTo(const ArgumentCase& c, std::ostream* out) { *out << c.argument; }
};

class ProgramArguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ProgramArguments, PrintAndLeaveWithoutTouchingTheTerminal) {
    const ArgumentCase c = GetParam();
    ScopedWorkDir dir;
    TerminalSession::Options options = in(dir);
    options.args = {c.argument};
    TerminalSession game(options);
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == c.status) << describe(*status);
    EXPECT_EQ(game.output().find('\x1b'), std::string::npos) << game.output();
    EXPECT_NE(game.output().find(c.said), std::string::npos) << game.output();
    EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
}

INSTANTIATE_TEST_SUITE_P(Arguments, ProgramArguments,
                         ::testing::Values(ArgumentCase{"--help", 0, "Usage: starhollow [--help | --version]"},
                                           ArgumentCase{"--version", 0, "starhollow 1.1.0"},
                                           ArgumentCase{"--load", 2, "Usage: starhollow [--help | --version]"},
                                           ArgumentCase{"-h", 2, "unknown argument '-h'"}));

// ---- Stopped on the map ------------------------------------------------------------

enum class Stop { Terminate, Hangup, CtrlC, LineDropped };

struct StopCase {
    const char* name;
    Stop stop;
    const char* term;
    int signal;          // the signal that ends the program
    const char* right;   // what the Right arrow sends in the cursor-key mode of that terminal
    friend void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name << " under TERM=" << c.term; }
};

class StoppedOnTheMap : public ::testing::TestWithParam<StopCase> {};

// The ship lands on a planet and takes off again (a move the galaxy file
// does not have yet), then the game is stopped: it must save on its way
// out, give the terminal back and end by the signal.
TEST_P(StoppedOnTheMap, SavesTheShipWhereItWasAndGivesTheTerminalBack) {
    const StopCase c = GetParam();
    ScopedWorkDir dir;
    const PlanetSpot spot = planetSpot();
    installGalaxy(dir.path(), "Voyage", spot.beside);

    std::pair<int, int> shipAtStop;
    {
        TerminalSession game(in(dir, c.term));
        const auto ship = loadGalaxy(game, "Voyage");
        ASSERT_TRUE(ship) << game.dump();
        ASSERT_EQ(*ship, std::make_pair(int{spot.beside.X}, int{spot.beside.Y}));
        game.keys(VTERM_KEY_RIGHT, PRESSES_PER_STEP);
        EXPECT_EQ(game.lastKeyBytes(), c.right);
        ASSERT_TRUE(game.waitFor([&] { return game.cell(1, 1).bg == GREEN; })) << game.dump();
        game.type("E");  // departure: pushed off to a cell next to the planet
        std::optional<std::pair<int, int>> after;
        ASSERT_TRUE(game.waitFor([&] { return (after = game.find('H', BLUE)).has_value(); })) << game.dump();
        shipAtStop = *after;
        ASSERT_NE(shipAtStop, std::make_pair(int{spot.planet.X}, int{spot.planet.Y}));

        switch (c.stop) {
            case Stop::Terminate: game.signal(SIGTERM); break;
            case Stop::Hangup: game.signal(SIGHUP); break;
            case Stop::CtrlC: game.sendBytes("\x03"); break;
            case Stop::LineDropped: game.hangUp(); break;
        }
        const std::optional<int> status = game.waitExit(5000);
        ASSERT_TRUE(status) << "still running after the stop";
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.signal) << describe(*status);
        if (c.stop != Stop::LineDropped) {
            EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
            EXPECT_FALSE(game.find('H', BLUE).has_value()) << "the map was left on the screen";
        }
    }

    const GalaxyReport report = checkGalaxyFile(dir.path() / "Voyage.glx");
    ASSERT_TRUE(report.sound()) << report.describe();
    EXPECT_EQ(report.player.getrX(), shipAtStop.first);
    EXPECT_EQ(report.player.getrY(), shipAtStop.second);

    TerminalSession again(in(dir, c.term));
    const auto ship = loadGalaxy(again, "Voyage");
    ASSERT_TRUE(ship) << again.dump();
    EXPECT_EQ(*ship, shipAtStop);
    again.key(VTERM_KEY_ESCAPE);
    ASSERT_TRUE(menuShown(again));
    EXPECT_TRUE(quitsCleanly(again));
}

INSTANTIATE_TEST_SUITE_P(
    Signals, StoppedOnTheMap,
    ::testing::Values(StopCase{"SigtermApplicationCursorKeys", Stop::Terminate, "xterm-256color", SIGTERM, "\x1bOC"},
                      StopCase{"SighupNormalCursorKeys", Stop::Hangup, "linux", SIGHUP, "\x1b[C"},
                      StopCase{"CtrlCTyped", Stop::CtrlC, "screen", SIGINT, "\x1bOC"},
                      StopCase{"LineDropped", Stop::LineDropped, "xterm-256color", SIGHUP, "\x1bOC"}),
    [](const auto& info) { return std::string(info.param.name); });
