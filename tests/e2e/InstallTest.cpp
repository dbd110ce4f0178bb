// `cmake --install` to a prefix of its own: the program, its tutorial galaxy
// and its manual page land there, and the installed program finds its
// tutorial from any folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TerminalSession.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

TEST(Install, AnyPrefixGetsTheGameItsTutorialAndItsManualPage) {
    ScopedWorkDir dir;
    const fs::path prefix = dir.path() / "prefix";
    const std::string install = std::string(CMAKE_COMMAND) + " --install " + STARHOLLOW_BUILD_DIR + " --prefix " +
                                prefix.string() + " >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    for (const char* file : {"bin/starhollow", "share/starhollow/Tutorial.glx", "share/man/man6/starhollow.6"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    std::string firstLine;
    std::getline(std::ifstream(prefix / "share/man/man6/starhollow.6"), firstLine);
    EXPECT_EQ(firstLine.rfind(".TH STARHOLLOW 6", 0), 0u);

    // Started from a folder of its own, far from the build.
    fs::create_directory(dir.path() / "elsewhere");
    TerminalSession::Options options;
    options.program = (prefix / "bin/starhollow").string();
    options.workDir = (dir.path() / "elsewhere").string();
    TerminalSession game(options);
    ASSERT_TRUE(game.waitForText(34, 5, "T - Tutorial"));
    game.type("T");
    ASSERT_TRUE(game.waitForText(36, 0, "TUTORIAL")) << game.dump();
    game.type("\n");
    game.key(VTERM_KEY_ESCAPE);
    ASSERT_TRUE(game.waitForText(34, 4, "N - New Game"));
    game.type("E");
    ASSERT_TRUE(game.waitForText(20, 10, "Are you sure"));
    game.type("Y");
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_TRUE(fs::is_empty(dir.path() / "elsewhere"));  // the tutorial writes nothing
}
