// The menu's T: an error window when the tutorial galaxy is missing or
// damaged; after the course, or a signal during it, nothing saved and no
// galaxy of the player's touched, whatever became of the tutorial ship.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "console/Interrupt.h"
#include "console/KeyDecoder.h"
#include "console/Random.h"
#include "format/PendingSave.h"
#include "shell/Game.h"
#include "tutorial/TutorialGalaxy.h"

namespace {

using namespace keycode;

struct HeadlessGame {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    Game game{std::move(owned)};
    std::string shown;
    HeadlessGame() {
        screen->onPresent = [this](const HeadlessBackend& s) { shown += s.dump(); };
    }
    bool showed(const char* text) const { return shown.find(text) != std::string::npos; }
};

std::string readFile(const char* path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

void patch(std::int64_t offset, std::int32_t value) {
    std::fstream out("Tutorial.glx", std::ios::in | std::ios::out | std::ios::binary);
    std::uint8_t bytes[4];
    record::put32(bytes, value);
    out.seekp(offset);
    out.write(reinterpret_cast<const char*>(bytes), 4);
}

constexpr std::int64_t CREDITS = PLAYER_RECORD_OFFSET + playerRec::credits;
constexpr std::int64_t HEALTH = PLAYER_RECORD_OFFSET + playerRec::ship + shipRec::aHealth;
constexpr int MARKED_CREDITS = 4242;  // tells that file's player from any other

}  // namespace

TEST(TutorialMenu, AMissingOrDamagedGalaxyIsReportedAndNothingRuns) {
    ScopedWorkDir dir;
    struct Case {
        bool file;
        std::int64_t worldX;     // the ship's sector, 0 is sound
        std::uintmax_t cutTo;    // 0: whole
        const char* message;
    };
    for (const Case& c : {Case{false, 0, 0, "Tutorial galaxy Tutorial.glx not found!"},
                          {true, 0, PLAYER_RECORD_OFFSET + 10, "Tutorial galaxy Tutorial.glx is damaged!"},
                          {true, 51, 0, "Tutorial galaxy Tutorial.glx is damaged!"}}) {
        std::filesystem::remove("Tutorial.glx");
        if (c.file) {
            ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
            patch(CREDITS, MARKED_CREDITS);
            patch(PLAYER_RECORD_OFFSET + playerRec::worldX, static_cast<std::int32_t>(c.worldX));
            if (c.cutTo > 0) std::filesystem::resize_file("Tutorial.glx", c.cutTo);
        }
        HeadlessGame g;
        g.game.setTutorialFolders({"."});
        g.screen->pushKeys({'T', 'Q', 'E', 'Y'});
        g.game.run();
        EXPECT_TRUE(g.showed(c.message)) << c.message;
        EXPECT_FALSE(g.showed("TUTORIAL")) << c.message;
        EXPECT_EQ(g.game.getPlayer().getCredits(), 10000) << c.message;
        const char* name = g.game.getSector().getwName();  // names no galaxy it does not hold
        EXPECT_TRUE(name == nullptr || *name == '\0') << c.message;
    }
}

TEST(TutorialMenu, AfterTheCourseNothingIsSavedAndTheRealGalaxyIsLeftAlone) {
    for (bool shipLost : {false, true}) {
        ScopedWorkDir dir;
        rng::srand(31);
        ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
        if (shipLost) patch(HEALTH, 0);
        const std::string tutorial = readFile("Tutorial.glx");
        // A whole pending save beside it (as if it had been copied there) is
        // neither written into the tutorial galaxy nor removed.
        PendingSave pending;
        pending.sector = galaxy::sectorNumber(0, 0);
        Sector(0, 0, nullptr, nullptr).SaveToFile(&pending.sectorData);
        const PendingSaveBytes bytes = encodePendingSave(pending);
        std::ofstream(".Tutorial.glx.pending", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        HeadlessGame g;
        g.game.setTutorialFolders({"."});
        std::string home;  // as the map left it, just before the tutorial
        g.screen->onPresent = [&](const HeadlessBackend& s) {
            g.shown += s.dump();
            if (home.empty() && s.row(0).find("TUTORIAL") != std::string::npos) home = readFile("Home.glx");
        };
        g.screen->pushText("NHome\n");
        g.screen->pushKeys({'2', 'X', Escape, 'T', Enter});
        // A lost ship ends the course at the first key, for a game over.
        g.screen->pushKeys({shipLost ? 'X' : Escape});
        if (shipLost) g.screen->pushKey(Enter);
        g.screen->pushText("LTutorial\n");  // still refused by name
        g.screen->pushKeys({'E', 'Y'});
        g.game.run();

        EXPECT_TRUE(g.screen->scriptEmpty()) << shipLost;
        ASSERT_FALSE(home.empty());
        EXPECT_TRUE(readFile("Home.glx") == home) << shipLost;
        EXPECT_TRUE(readFile("Tutorial.glx") == tutorial) << shipLost;
        EXPECT_EQ(readFile(".Tutorial.glx.pending"), std::string(bytes.begin(), bytes.end())) << shipLost;
        EXPECT_FALSE(std::filesystem::exists(".Home.glx.pending")) << shipLost;
        EXPECT_EQ(g.showed("Galaxy wasn't deleted."), shipLost);
        EXPECT_FALSE(g.showed("Cannot delete file"));
        EXPECT_GT(g.game.getPlayer().getaHealth(), 0);
    }
}

// Unlike a galaxy of the player's, the course is never saved on its way out.
TEST(TutorialMenu, ASignalDuringTheCourseSavesNothing) {
    struct Case {
        int signal;
        std::vector<unsigned> keys;  // in the course, before the signal
        const char* screen;          // shown when it comes
    };
    // Each moment comes after the ship has moved: a save would show.
    auto flown = [](unsigned arrow, std::vector<unsigned> then) {
        std::vector<unsigned> keys = {Enter, '1', 'X', Enter, '2', 'X', Enter, 'I', 'X', Enter};
        keys.insert(keys.end(), 16, arrow);  // one step; Left lands on EARTH
        keys.insert(keys.end(), then.begin(), then.end());
        return keys;
    };
    for (const Case& c : {Case{SIGHUP, flown(Right, {'1'}), "INVENTORY"}, Case{SIGTERM, flown(Left, {'H'}), "HANGAR"},
                          Case{SIGINT, flown(Left, {'H', 'E'}), "TUTORIAL"}}) {
        SCOPED_TRACE("signal " + std::to_string(c.signal) + " after " + std::to_string(c.keys.size()) + " keys");
        ScopedWorkDir dir;
        installGalaxy(dir.path(), "Home", COORD{39, 12});
        ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
        const std::string tutorial = readFile("Tutorial.glx");
        HeadlessGame g;
        g.game.setTutorialFolders({"."});
        std::string home;  // as Esc saved it, just before the tutorial
        g.screen->onPresent = [&](const HeadlessBackend& s) {
            if (home.empty() && s.row(0).find("TUTORIAL") != std::string::npos) home = readFile("Home.glx");
        };
        g.screen->pushText("LHome\n");
        g.screen->pushKeys({Escape, 'T'});
        for (unsigned key : c.keys) g.screen->pushKey(key);
        g.screen->pushSignal(c.signal);
        int unwoundWith = 0;
        try {
            g.game.run();
        } catch (const GameInterrupted& stop) {
            unwoundWith = stop.signal();
        }
        EXPECT_EQ(unwoundWith, c.signal);
        EXPECT_NE(g.screen->dump().find(c.screen), std::string::npos) << g.screen->dump();
        ASSERT_FALSE(home.empty());
        EXPECT_TRUE(readFile("Home.glx") == home);
        EXPECT_TRUE(readFile("Tutorial.glx") == tutorial);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2) << "a file was added";
    }
}
