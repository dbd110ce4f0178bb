// The menu's T: an error window when the tutorial galaxy is missing or
// damaged; after the course, or a signal during it, nothing saved and no
// galaxy of the player's touched, whatever became of the tutorial ship.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <vector>

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "storage/PendingSave.h"
#include "tutorial/TutorialGalaxy.h"

namespace {

using namespace keycode;

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

// However the course ends (Esc, a lost ship, a signal on the map, in the
// hangar or at a stage text), nothing is saved on its way out, unlike a
// galaxy of the player's: that galaxy stays as Esc left it before the course,
// the tutorial galaxy and a pending save beside it (as if copied there) stay
// as they were, and no file is added or deleted.
TEST(TutorialMenu, HoweverTheCourseEndsNothingIsSavedOrDeleted) {
    struct Case {
        const char* name;
        bool shipLost;
        std::vector<unsigned> keys;  // in the course
        int signal;                  // that ends it, or 0
        const char* screen;          // shown when it comes
    };
    // Each signal comes after the ship has moved: a save would show.
    auto flown = [](unsigned arrow, std::vector<unsigned> then) {
        std::vector<unsigned> keys = {Enter, '1', 'X', Enter, '2', 'X', Enter, 'I', 'X', Enter};
        keys.insert(keys.end(), 16, arrow);  // one step; Left lands on EARTH
        keys.insert(keys.end(), then.begin(), then.end());
        return keys;
    };
    const Case cases[] = {
        {"Esc", false, {Enter, Escape}, 0, ""},
        {"ship lost", true, {Enter, 'X', Enter}, 0, ""},  // ends at the first key, for a game over
        {"hangup in the inventory", false, flown(Right, {'1'}), SIGHUP, "INVENTORY"},
        {"termination in the hangar", false, flown(Left, {'H'}), SIGTERM, "HANGAR"},
        {"Ctrl+C at a stage text", false, flown(Left, {'H', 'E'}), SIGINT, "TUTORIAL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedWorkDir dir;
        installGalaxy(dir.path(), "Home", Coord{39, 12});
        ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
        if (c.shipLost) patch(HEALTH, 0);
        const std::string tutorial = fileContents("Tutorial.glx");
        PendingSave pending;
        pending.sector = galaxy::sectorNumber(0, 0);
        Sector(0, 0, nullptr, nullptr).SaveToFile(&pending.sectorData);
        const PendingSaveBytes bytes = encodePendingSave(pending);
        const std::string pendingBytes(bytes.begin(), bytes.end());
        std::ofstream(".Tutorial.glx.pending", std::ios::binary) << pendingBytes;
        HeadlessGame g;
        g.game.setTutorialFolders({"."});
        std::string home;  // as Esc saved it, just before the course
        g.screen->onPresent = [&](const HeadlessBackend& s) {
            g.shown += s.dump();
            if (home.empty() && s.row(0).find("TUTORIAL") != std::string::npos) home = fileContents("Home.glx");
        };
        g.screen->pushText("LHome\n");
        g.screen->pushKeys({Escape, 'T'});
        for (unsigned key : c.keys) g.screen->pushKey(key);
        if (c.signal != 0) {
            g.screen->pushSignal(c.signal);
        } else {
            g.screen->pushText("LTutorial\n");  // still refused by name
            g.screen->pushKeys({'E', 'Y'});
        }
        EXPECT_EQ(signalThatEnded([&] { g.game.run(); }), c.signal);
        EXPECT_TRUE(g.screen->scriptEmpty());
        EXPECT_NE(g.screen->dump().find(c.screen), std::string::npos) << g.screen->dump();
        ASSERT_FALSE(home.empty());
        EXPECT_TRUE(fileContents("Home.glx") == home);
        EXPECT_TRUE(fileContents("Tutorial.glx") == tutorial);
        EXPECT_TRUE(fileContents(".Tutorial.glx.pending") == pendingBytes);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 3) << "a file was added or deleted";
        EXPECT_EQ(g.showed("Galaxy wasn't deleted."), c.shipLost);
        EXPECT_FALSE(g.showed("Cannot delete file"));
        EXPECT_GT(g.game.getPlayer().getaHealth(), 0);
    }
}
