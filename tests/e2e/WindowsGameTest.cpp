// The Windows game under Wine, read through the same terminal emulator: a
// new galaxy, a few steps, a save and a clean end, and the keys a Windows
// console reports reaching the game.

#ifdef STARHOLLOW_WINDOWS_EXE

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>

#include "GalaxyCheck.h"
#include "TerminalSession.h"
#include "TestSupport.h"
#include "recording/Recording.h"
#include "shell/RecordedGame.h"

TEST(WindowsGame, NewGalaxyStepsSaveAndAQuitWithStatusZero) {
    ScopedWorkDir dir;
    TerminalSession::Options options = TerminalSession::windowsIn(dir.path());
    options.args.insert(options.args.end(), {"--record", "lumen.rec"});
    TerminalSession game(options);
    ASSERT_TRUE(game.menuShown()) << game.dump();
    game.type("N");
    ASSERT_TRUE(game.typeWhenShown("Type new galaxy name", "Lumen\n"));
    ASSERT_TRUE(game.typeWhenShown("4 - I'm not looking", "2"));
    ASSERT_TRUE(game.typeWhenShown("Press any key", " "));
    std::optional<std::pair<int, int>> start;
    ASSERT_TRUE(game.waitFor([&] { return (start = game.find('H', MAP_BLUE)).has_value(); })) << game.dump();
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "Lumen.glx"), 12078152u);

    // F5 is a key like any other: it closes the ship's information.
    game.type("I");
    ASSERT_TRUE(game.waitFor([&] { return game.screenHas("Health"); })) << game.dump();
    game.key(static_cast<VTermKey>(VTERM_KEY_FUNCTION(5)));
    ASSERT_TRUE(game.waitFor([&] { return game.find('H', MAP_BLUE).has_value(); })) << game.dump();
    // The key left of 1 opens the board computer, which leaves fuel for one
    // step only: a step that can start no encounter, onto a free cell.
    game.type("`");
    ASSERT_TRUE(game.typeWhenShown("Board computer console", "enableTurboAcceleration;61358024\nremoveFuel;999\nexit\n"));
    ASSERT_TRUE(game.waitFor([&] { return game.find('H', MAP_BLUE).has_value(); })) << game.dump();
    const auto [x, y] = *start;
    const bool leftFree = game.cell(x - 1, y).ch == ' ';
    game.keys(leftFree ? VTERM_KEY_LEFT : VTERM_KEY_RIGHT, PRESSES_PER_STEP);
    std::optional<std::pair<int, int>> moved;
    const std::pair<int, int> stepped{leftFree ? x - 1 : x + 1, y};
    ASSERT_TRUE(game.waitFor([&] { return (moved = game.find('H', MAP_BLUE)) == stepped; })) << game.dump();
    // Space closes the save's window.
    game.type("S");
    ASSERT_TRUE(game.typeWhenShown("Game saved successfully!", " "));
    ASSERT_TRUE(game.waitFor([&] { return !game.screenHas("Game saved"); })) << game.dump();
    EXPECT_EQ(checkGalaxyFile(dir.path() / "Lumen.glx").player.getrX(), moved->first);
    game.key(VTERM_KEY_ESCAPE);
    EXPECT_TRUE(game.quitsCleanly()) << game.dump();

    // The recording holds the codes as the Windows console reported them,
    // and the same game replays on Linux to the same screens.
    const recording::Recording recorded = recording::parseFile(dir.path() / "lumen.rec");
    for (const unsigned code : {32u, 116u, 192u})
        EXPECT_TRUE(std::any_of(recorded.events.begin(), recorded.events.end(), [&](const recording::Event& e) {
            return e.kind == recording::Kind::Input && e.value == code;
        })) << code;
    ReplayRequest request;
    request.file = dir.path() / "lumen.rec";
    const ReplayReport replayed = verifyRecording(request);
    EXPECT_EQ(replayed.status, 0) << replayed.text;
}

#endif
