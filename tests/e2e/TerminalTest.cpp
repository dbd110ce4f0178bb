// The real program in a real terminal emulator: what a player sees, the
// terminal given back as it was, and nothing lost when the game is stopped.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <ostream>
#include <string>
#include <vector>

#include "GalaxyCheck.h"
#include "GalaxyFixture.h"
#include "TerminalSession.h"
#include "TestSupport.h"

namespace {
constexpr int BLACK = 0, RED = 1, GREEN = 2, WHITE = 7;

// The game under TERM=`term`, or the Windows game under Wine.
TerminalSession::Options gameIn(const std::filesystem::path& folder, const char* term, bool windows) {
#ifdef STARHOLLOW_WINDOWS_EXE
    if (windows) return TerminalSession::windowsIn(folder);
#endif
    static_cast<void>(windows);  // set only in the rows of a Windows build
    return TerminalSession::in(folder, term);
}

// A POSIX program ends by the signal itself; a Windows one, which has no
// signals, with the status a shell gives for it.
bool endedBy(int status, int signal, bool windows) {
    if (windows) return WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal;
    return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}
}  // namespace

// ---- Every terminal -----------------------------------------------------------

struct TermCase {
    const char* term;
    bool colour;
    bool windows = false;
    friend void PrintTo(const TermCase& c, std::ostream* out) { *out << "TERM=" << c.term; }
};

class TermMatrix : public ::testing::TestWithParam<TermCase> {};

// The menu's cells and colours, the credits, a window over the menu (red on
// white, or reverse video without colour), then E, N, E, Y: the program ends
// with status 0 and the terminal is given back as it was.
TEST_P(TermMatrix, MenuCreditsAndQuittingGiveTheTerminalBackClean) {
    const TermCase c = GetParam();
    ScopedWorkDir dir;
    TerminalSession game(gameIn(dir.path(), c.term, c.windows));
    ASSERT_TRUE(game.menuShown()) << game.dump();
    EXPECT_EQ(game.row(0).substr(36, 9), "MAIN MENU");
    EXPECT_EQ(game.row(2).substr(35, 10), "Starhollow");
    EXPECT_EQ(game.row(7).substr(34, 11), "C - Credits");
    EXPECT_EQ(game.row(8).substr(34, 8), "E - Exit");
    EXPECT_EQ(game.row(22).substr(2, 18), "Beta version 1.1.0");
    const ShownCell corner = game.cell(0, 0);
    EXPECT_EQ(corner.ch, '*');
    EXPECT_EQ(corner.fg, WHITE);
    EXPECT_EQ(corner.bg, BLACK);
    EXPECT_EQ(game.cell(79, 24).ch, '*');

    game.type("C");
    ASSERT_TRUE(game.waitFor([&] { return game.row(0).find("CREDITS") != std::string::npos; })) << game.dump();
    EXPECT_EQ(game.row(4).substr(36, 9), "Quillmark");
    game.type("X");
    ASSERT_TRUE(game.menuShown());

    game.type("E");
    ASSERT_TRUE(game.waitForText(20, 10, "Are you sure")) << game.dump();
    const ShownCell question = game.cell(20, 10);
    if (c.colour) {
        EXPECT_EQ(question.fg, RED);
        EXPECT_EQ(question.bg, WHITE);
    } else {
        EXPECT_TRUE(question.reverse);
        EXPECT_TRUE(question.bold);
        EXPECT_FALSE(game.cell(34, 4).reverse) << "the menu behind stays plain";
    }
    game.type("N");
    ASSERT_TRUE(game.waitFor([&] { return game.row(10).find("Are you sure") == std::string::npos; }));

    EXPECT_TRUE(game.quitsCleanly());
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
#ifdef STARHOLLOW_WINDOWS_EXE
INSTANTIATE_TEST_SUITE_P(Windows, TermMatrix, ::testing::Values(TermCase{"xterm-256color", true, true}),
                         [](const auto&) { return std::string("WindowsConsoleUnderWine"); });
#endif

TEST(TermMatrix, WithoutColourTheMapTellsShipPlanetsAndFrameApart) {
    ScopedWorkDir dir;
    const PlanetSpot spot = planetSpot();
    installGalaxy(dir.path(), "Mono", spot.beside);
    TerminalSession game(TerminalSession::in(dir.path(), "vt100"));
    ASSERT_TRUE(game.menuShown());
    game.type("L");
    ASSERT_TRUE(game.typeWhenShown("LOAD GAME", "Mono\n"));
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
    EXPECT_TRUE(game.quitsCleanly());
}

// ---- Ended before anything is drawn ------------------------------------------------

// A terminal that cannot position the cursor is refused in one line; --help
// and --version alone print and leave, and anything else is refused with the
// usage line, naming the first argument not understood. None of them draws
// anything or changes the terminal's modes.
struct EarlyEndCase {
    const char* name;
    const char* term;
    std::vector<std::string> args;
    int status;
    std::vector<const char*> said;
    bool oneLine;
    friend void PrintTo(const EarlyEndCase& c, std::ostream* out) { *out << c.name; }
};

class EarlyEnd : public ::testing::TestWithParam<EarlyEndCase> {};

TEST_P(EarlyEnd, SaysWhyWithoutTouchingTheTerminal) {
    const EarlyEndCase c = GetParam();
    ScopedWorkDir dir;
    TerminalSession::Options options = TerminalSession::in(dir.path(), c.term);
    options.args = c.args;
    TerminalSession game(options);
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == c.status) << describeStatus(*status);
    const std::string& said = game.output();
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << "something was drawn: " << said;
    for (const char* text : c.said) EXPECT_NE(said.find(text), std::string::npos) << said;
    std::istringstream lines(c.oneLine ? "" : said);  // the help and the usage fit 80 columns
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 81u) << "wider than 80 columns: " << line;
    if (c.oneLine) {
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // the terminal turns its line end into CR LF
    }
    EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
}

constexpr const char* XTERM = "xterm-256color";
constexpr const char* USAGE = "Usage: starhollow [--help | --version | --record FILE";
INSTANTIATE_TEST_SUITE_P(
    Terminals, EarlyEnd,
    ::testing::Values(
        EarlyEndCase{"dumb", "dumb", {}, 1, {"position the cursor, 80 x 25 or larger; TERM=dumb cannot"}, true},
        EarlyEndCase{"unknown", "no-such-terminal", {}, 1,
                     {"position the cursor, 80 x 25 or larger; TERM=no-such-terminal is unknown"}, true},
        EarlyEndCase{"help", XTERM, {"--help"}, 0, {USAGE, "--version        print the version", "--verify FILE"}, false},
        EarlyEndCase{"version", XTERM, {"--version"}, 0, {"starhollow 1.1.0"}, true},
        EarlyEndCase{"helpAndVersion", XTERM, {"--help", "--version"}, 2, {"unknown argument '--version'", USAGE}, false},
        EarlyEndCase{"versionAndMore", XTERM, {"--version", "x"}, 2, {"unknown argument 'x'"}, false},
        EarlyEndCase{"capitals", XTERM, {"--HELP"}, 2, {"unknown argument '--HELP'", USAGE}, false},
        EarlyEndCase{"empty", XTERM, {""}, 2, {"unknown argument ''"}, false},
        EarlyEndCase{"recordingTaken", XTERM, {"--record", "."}, 2, {". exists already"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Stopped on the map ------------------------------------------------------------

enum class Stop { Terminate, Hangup, CtrlC, CtrlCTwice, LineDropped };

struct StopCase {
    const char* name;
    Stop stop;
    const char* term;
    int signal;          // the signal that ends the program
    const char* right;   // what the Right arrow sends in the cursor-key mode of that terminal
    bool windows = false;
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
    const int fuelInstalled = checkGalaxyFile(dir.path() / "Voyage.glx").player.getaFuel();

    std::pair<int, int> shipAtStop;
    {
        TerminalSession game(gameIn(dir.path(), c.term, c.windows));
        const auto ship = game.loadOntoMap("Voyage");
        ASSERT_TRUE(ship) << game.dump();
        ASSERT_EQ(*ship, std::make_pair(int{spot.beside.X}, int{spot.beside.Y}));
        game.keys(VTERM_KEY_RIGHT, PRESSES_PER_STEP);
        EXPECT_EQ(game.lastKeyBytes(), c.right);
        ASSERT_TRUE(game.waitFor([&] { return game.cell(1, 1).bg == GREEN; })) << game.dump();
        game.type("E");  // departure: pushed off to a cell next to the planet
        std::optional<std::pair<int, int>> after;
        ASSERT_TRUE(game.waitFor([&] { return (after = game.find('H', MAP_BLUE)).has_value(); })) << game.dump();
        shipAtStop = *after;
        ASSERT_NE(shipAtStop, std::make_pair(int{spot.planet.X}, int{spot.planet.Y}));

        switch (c.stop) {
            case Stop::Terminate: game.signal(SIGTERM); break;
            case Stop::Hangup: game.signal(SIGHUP); break;
            case Stop::CtrlC: game.sendBytes("\x03"); break;
            case Stop::CtrlCTwice: game.sendBytes("\x03\x03"); break;
            case Stop::LineDropped: game.hangUp(); break;
        }
        const std::optional<int> status = game.waitExit(5000);
        ASSERT_TRUE(status) << "still running after the stop";
        EXPECT_TRUE(endedBy(*status, c.signal, c.windows)) << describeStatus(*status);
        if (c.stop != Stop::LineDropped) {
            EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
            EXPECT_FALSE(game.find('H', MAP_BLUE).has_value()) << "the map was left on the screen";
        }
    }

    const GalaxyReport report = checkGalaxyFile(dir.path() / "Voyage.glx");
    ASSERT_TRUE(report.sound()) << report.describe();
    if (c.stop == Stop::CtrlCTwice) {  // the second one ended the game before it saved
        EXPECT_EQ(report.player.getaFuel(), fuelInstalled);
        return;
    }
    EXPECT_EQ(report.player.getrX(), shipAtStop.first);
    EXPECT_EQ(report.player.getrY(), shipAtStop.second);
    // The take-off may put the ship back on its first cell: the fuel of the step shows the save.
    EXPECT_LT(report.player.getaFuel(), fuelInstalled);

    TerminalSession again(gameIn(dir.path(), c.term, c.windows));
    const auto ship = again.loadOntoMap("Voyage");
    ASSERT_TRUE(ship) << again.dump();
    EXPECT_EQ(*ship, shipAtStop);
    again.key(VTERM_KEY_ESCAPE);
    EXPECT_TRUE(again.quitsCleanly());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, StoppedOnTheMap,
    ::testing::Values(StopCase{"SigtermApplicationCursorKeys", Stop::Terminate, "xterm-256color", SIGTERM, "\x1bOC"},
                      StopCase{"SighupNormalCursorKeys", Stop::Hangup, "linux", SIGHUP, "\x1b[C"},
                      StopCase{"CtrlCTyped", Stop::CtrlC, "screen", SIGINT, "\x1bOC"},
                      StopCase{"CtrlCTypedTwice", Stop::CtrlCTwice, "xterm-256color", SIGINT, "\x1bOC"},
                      StopCase{"LineDropped", Stop::LineDropped, "xterm-256color", SIGHUP, "\x1bOC"}),
    [](const auto& info) { return std::string(info.param.name); });
#ifdef STARHOLLOW_WINDOWS_EXE
// Wine's console leaves the arrows in their normal mode.
INSTANTIATE_TEST_SUITE_P(
    Windows, StoppedOnTheMap,
    ::testing::Values(StopCase{"CtrlCTyped", Stop::CtrlC, "xterm-256color", SIGINT, "\x1b[C", true}),
    [](const auto& info) { return std::string(info.param.name); });
#endif

// Ctrl+C typed while the board computer calculates a long jump path (keys
// are only read after it) ends the game within a second, the galaxy saved.
class StoppedDuringTimedWork : public ::testing::TestWithParam<bool> {};

TEST_P(StoppedDuringTimedWork, CtrlCCutsAPathCalculation) {
    const bool windows = GetParam();
    ScopedWorkDir dir;
    installGalaxy(dir.path(), "Voyage", planetSpot().beside);
    const int fuelInstalled = checkGalaxyFile(dir.path() / "Voyage.glx").player.getaFuel();
    TerminalSession game(gameIn(dir.path(), "xterm-256color", windows));
    ASSERT_TRUE(game.loadOntoMap("Voyage")) << game.dump();
    game.type("`enableTurboAcceleration;61358024\nremoveFuel;5\nprepHyperJump;40;40;1;1\n");
    ASSERT_TRUE(game.waitFor([&] { return game.screenHas("% completed"); })) << game.dump();
    game.sendBytes("\x03");
    const std::optional<int> status = game.waitExit(1000);
    ASSERT_TRUE(status) << "still calculating after Ctrl+C";
    EXPECT_TRUE(endedBy(*status, SIGINT, windows)) << describeStatus(*status);
    EXPECT_EQ(checkGalaxyFile(dir.path() / "Voyage.glx").player.getaFuel(), fuelInstalled - 5);
}

INSTANTIATE_TEST_SUITE_P(Terminal, StoppedDuringTimedWork, ::testing::Values(false));
#ifdef STARHOLLOW_WINDOWS_EXE
INSTANTIATE_TEST_SUITE_P(Windows, StoppedDuringTimedWork, ::testing::Values(true));
#endif

// A crash gives the terminal its modes back and ends by its signal.
TEST(Crashed, GivesTheTerminalBack) {
    for (const int signal : {SIGSEGV, SIGQUIT}) {
        ScopedWorkDir dir;
        TerminalSession game(TerminalSession::in(dir.path()));
        ASSERT_TRUE(game.menuShown()) << game.dump();
        game.signal(signal);
        const std::optional<int> status = game.waitExit(5000);
        ASSERT_TRUE(status);
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << describeStatus(*status);
        EXPECT_TRUE(sameModes(game.modes(), game.modesBefore()));
    }
}
