// The menu's T: the tutorial galaxy found, or an error window when it is
// missing or damaged; and after the course nothing saved, and no galaxy of
// the player's deleted, whatever became of the tutorial ship.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "console/HelpFuncLib.h"
#include "console/KeyDecoder.h"
#include "console/Random.h"
#include "format/SaveRecords.h"
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
    bool showed(const std::string& text) const { return shown.find(text) != std::string::npos; }
};

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void patch(const char* file, std::int64_t offset, std::int32_t value) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    std::uint8_t bytes[4];
    record::put32(bytes, value);
    out.seekp(offset);
    out.write(reinterpret_cast<const char*>(bytes), 4);
}

constexpr std::int64_t PLAYER_CREDITS = PLAYER_RECORD_OFFSET + playerRec::credits;
constexpr std::int64_t PLAYER_HEALTH = PLAYER_RECORD_OFFSET + playerRec::ship + shipRec::aHealth;
constexpr int MARKED_CREDITS = 4242;  // tells this file's player from any other

}  // namespace

TEST(TutorialMenu, AMissingOrDamagedGalaxyIsReportedAndNothingRuns) {
    ScopedWorkDir dir;
    struct Case {
        const char* name;
        bool file;
        std::int64_t offset;  // a field spoilt, or -1
        std::int32_t value;
        std::uintmax_t size;  // the file cut to this size, or 0
        const char* message;
    };
    const Case cases[] = {
        {"missing", false, -1, 0, 0, "Tutorial galaxy Tutorial.glx not found!"},
        {"cut short", true, -1, 0, PLAYER_RECORD_OFFSET + 10, "Tutorial galaxy Tutorial.glx is damaged!"},
        {"ship outside the galaxy", true, PLAYER_RECORD_OFFSET + playerRec::worldX, 51, 0,
         "Tutorial galaxy Tutorial.glx is damaged!"},
        {"home sector blank", true, sectorRecordOffset(galaxy::sectorNumber(0, 0)) + sectorRec::secX, 7, 0,
         "Tutorial galaxy Tutorial.glx is damaged!"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove("Tutorial.glx");
        if (c.file) {
            ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
            patch("Tutorial.glx", PLAYER_CREDITS, MARKED_CREDITS);
            if (c.offset >= 0) patch("Tutorial.glx", c.offset, c.value);
            if (c.size > 0) std::filesystem::resize_file("Tutorial.glx", c.size);
        }
        HeadlessGame g;
        g.game.setTutorialFolders({"."});
        g.screen->pushKeys({'T', 'Q', 'E', 'Y'});
        g.game.run();
        EXPECT_TRUE(g.screen->scriptEmpty()) << c.name;
        EXPECT_TRUE(g.showed("ERROR")) << c.name;
        EXPECT_TRUE(g.showed(c.message)) << c.name;
        EXPECT_FALSE(g.showed("TUTORIAL")) << c.name;
        EXPECT_EQ(g.game.getPlayer().getCredits(), 10000) << c.name;
        // The sector names no galaxy it does not hold.
        const char* name = g.game.getSector().getwName();
        EXPECT_TRUE(name == nullptr || *name == '\0') << c.name;
    }
}

TEST(TutorialMenu, TheWorkingFolderIsLookedInFirst) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    patch("Tutorial.glx", PLAYER_CREDITS, MARKED_CREDITS);
    HeadlessGame g;  // the standard folders, the program's own among them
    g.screen->pushKeys({'T', Enter, Escape, 'E', 'Y'});
    g.game.run();
    EXPECT_TRUE(g.showed("Welcome our new cadet!"));
    EXPECT_EQ(g.game.getPlayer().getCredits(), MARKED_CREDITS);
}

TEST(TutorialMenu, AfterTheCourseNothingIsSavedAndTheRealGalaxyIsLeftAlone) {
    for (bool shipLost : {false, true}) {
        ScopedWorkDir dir;
        rng::srand(31);
        ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
        if (shipLost) patch("Tutorial.glx", PLAYER_HEALTH, 0);
        const std::vector<char> tutorial = readFile("Tutorial.glx");

        HeadlessGame g;
        g.game.setTutorialFolders({"."});
        std::vector<char> home;  // as the map left it, before the tutorial
        g.screen->onPresent = [&](const HeadlessBackend& s) {
            g.shown += s.dump();
            if (home.empty() && s.row(0).find("TUTORIAL") != std::string::npos) home = readFile("Home.glx");
        };
        g.screen->pushText("N");
        g.screen->pushText("Home\n");
        g.screen->pushKeys({'2', 'X', Escape});  // a galaxy of the player's, saved on leaving its map
        g.screen->pushKeys({'T', Enter});
        // A lost ship ends the course at the first key and is reported as a
        // game over; otherwise Esc ends it.
        if (shipLost)
            g.screen->pushKeys({'X', Enter});
        else
            g.screen->pushKey(Escape);
        g.screen->pushText("L");
        g.screen->pushText("Tutorial\n");  // still refused by name
        g.screen->pushKeys({'E', 'Y'});
        g.game.run();

        EXPECT_TRUE(g.screen->scriptEmpty()) << shipLost;
        ASSERT_FALSE(home.empty()) << shipLost;
        EXPECT_TRUE(readFile("Home.glx") == home) << shipLost;
        EXPECT_TRUE(readFile("Tutorial.glx") == tutorial) << shipLost;
        EXPECT_EQ(g.showed("Galaxy wasn't deleted."), shipLost);
        EXPECT_FALSE(g.showed("Galaxy was deleted."));
        EXPECT_FALSE(g.showed("Cannot delete file"));
        EXPECT_GT(g.game.getPlayer().getaHealth(), 0);
        EXPECT_STREQ(g.game.getWorldName(), "");
    }
}
