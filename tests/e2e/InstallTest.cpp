// The game as players get it: `cmake --install` to a prefix of its own, the
// Debian package and the Windows zip, each unpacked into a folder. Started
// from a folder of its own, far from the build, the program says its version
// and finds its tutorial, and writes nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TerminalSession.h"
#include "TestSupport.h"
#include "storage/Paths.h"

namespace fs = std::filesystem;

namespace {

struct Delivery {
    const char* name;
    // The shell command that puts the game under the folder it is given.
    std::string (*unpack)(const std::string& into);
    std::vector<const char*> files;  // the program first
    bool windows;
    friend void PrintTo(const Delivery& d, std::ostream* out) { *out << d.name; }
};

// A package made by CPack from a build, unpacked by `extract` into `into`.
std::string packAndUnpack(const std::string& build, const char* generator, const std::string& extract,
                          const std::string& into) {
    return "cd '" + into + "' && cpack --config " + build + "/CPackConfig.cmake -G " + generator +
           " -B packed >/dev/null && " + extract + " && rm -r packed";
}

TerminalSession::Options startIn(const fs::path& folder, const fs::path& program, bool windows) {
#ifdef STARHOLLOW_WINDOWS_EXE
    if (windows) return TerminalSession::windowsIn(folder, program.string());
#endif
    static_cast<void>(windows);  // set only in the rows of a Windows build
    TerminalSession::Options options = TerminalSession::in(folder);
    options.program = program.string();
    return options;
}

}  // namespace

class Delivered : public ::testing::TestWithParam<Delivery> {};

TEST_P(Delivered, TheGameSaysItsVersionAndFindsItsTutorialFromAnyFolder) {
    const Delivery d = GetParam();
    ScopedWorkDir dir;
    // A folder name outside ASCII, and with blanks: any folder works.
    const fs::path unpacked = dir.path() / u8"Spiele Übung ñ";
    fs::create_directory(unpacked);
    ASSERT_EQ(std::system(d.unpack(platform::utf8Of(unpacked)).c_str()), 0);
    for (const char* file : d.files) EXPECT_TRUE(fs::is_regular_file(unpacked / file)) << file;
    for (const char* file : d.files) {
        if (fs::path(file).extension() != ".6") continue;  // the manual page
        std::string firstLine;
        std::getline(std::ifstream(unpacked / file), firstLine);
        EXPECT_EQ(firstLine.rfind(".TH STARHOLLOW 6", 0), 0u) << file;
    }
    const fs::path program = unpacked / d.files.front();

    fs::create_directory(dir.path() / "elsewhere");
    TerminalSession::Options options = startIn(dir.path() / "elsewhere", program, d.windows);
    options.args.push_back("--version");
    TerminalSession version(options);
    const std::optional<int> said = version.waitExit();
    ASSERT_TRUE(said.has_value());
    EXPECT_TRUE(WIFEXITED(*said) && WEXITSTATUS(*said) == 0) << describeStatus(*said);
    EXPECT_TRUE(version.screenHas("starhollow 1.1.0")) << version.dump();

    TerminalSession game(startIn(dir.path() / "elsewhere", program, d.windows));
    ASSERT_TRUE(game.waitForText(34, 5, "T - Tutorial")) << game.dump();
    game.type("T");
    ASSERT_TRUE(game.waitForText(36, 0, "TUTORIAL")) << game.dump();
    game.type("\n");
    game.key(VTERM_KEY_ESCAPE);
    ASSERT_TRUE(game.waitForText(34, 4, "N - New Game"));
    EXPECT_TRUE(game.quitsCleanly());
    EXPECT_TRUE(fs::is_empty(dir.path() / "elsewhere"));  // the tutorial writes nothing

    // A recorded tutorial verifies in the program's folder, its galaxy found there.
    fs::copy_file(fs::path(STARHOLLOW_RECORDINGS_DIR) / "tutorial.rec", program.parent_path() / "tutorial.rec");
    TerminalSession::Options verify = startIn(program.parent_path(), program, d.windows);
    verify.args.insert(verify.args.end(), {"--verify", "tutorial.rec"});
    TerminalSession verified(verify);
    const std::optional<int> status = verified.waitExit(60000);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << verified.output();
}

INSTANTIATE_TEST_SUITE_P(
    Linux, Delivered,
    ::testing::Values(
        Delivery{"InstalledToAnyPrefix",
                 [](const std::string& into) {
                     return std::string(CMAKE_COMMAND) + " --install " + STARHOLLOW_BUILD_DIR + " --prefix '" + into +
                            "' >/dev/null";
                 },
                 {"bin/starhollow", "share/starhollow/Tutorial.glx", "share/man/man6/starhollow.6"}, false},
        Delivery{"DebianPackage",
                 [](const std::string& into) {
                     return packAndUnpack(STARHOLLOW_BUILD_DIR, "DEB", "dpkg-deb -x packed/*.deb .", into);
                 },
                 {"usr/bin/starhollow", "usr/share/starhollow/Tutorial.glx", "usr/share/man/man6/starhollow.6"},
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

#ifdef STARHOLLOW_WINDOWS_EXE
INSTANTIATE_TEST_SUITE_P(
    Windows, Delivered,
    ::testing::Values(Delivery{"Zip",
                               [](const std::string& into) {
                                   return packAndUnpack(STARHOLLOW_WINDOWS_BUILD_DIR, "ZIP",
                                                        std::string(CMAKE_COMMAND) + " -E tar xf packed/*.zip", into);
                               },
                               {"starhollow-1.1.0-win64/starhollow.exe", "starhollow-1.1.0-win64/Tutorial.glx",
                                "starhollow-1.1.0-win64/README.txt"},
                               true}),
    [](const auto& info) { return std::string(info.param.name); });
#endif
