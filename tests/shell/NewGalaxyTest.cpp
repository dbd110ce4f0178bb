#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "console/HelpFuncLib.h"
#include "console/Random.h"
#include "shell/Game.h"

namespace {

struct HeadlessGame {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    Game game{std::move(owned)};
    ConLib* con() { return &game.getConsole(); }
};

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> filesHere() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    return names;
}

// Creates galaxy `name` with goal key `goalKey` and returns whether it worked.
bool create(HeadlessGame& g, const std::string& name, unsigned goalKey) {
    g.screen->pushText(name + "\n");
    g.screen->pushKey(goalKey);
    g.screen->pushKey('X');  // the pause after the creation messages
    return g.game.newGame(g.con());
}

}  // namespace

TEST(NewGalaxy, CreatesTheWholeFileWithBonusesAndPlayerAtHome) {
    ScopedWorkDir dir;
    rng::srand(7);
    HeadlessGame g;
    std::vector<std::string> shown;
    g.screen->onPresent = [&](const HeadlessBackend& s) { shown.push_back(s.dump()); };
    ASSERT_TRUE(create(g, "Andromeda", '2'));

    const std::vector<std::uint8_t> file = readFile("Andromeda.glx");
    ASSERT_EQ(file.size(), 12078152u);
    int parts[7] = {};
    int pirates = 0;
    for (int n = 1; n <= SECTOR_COUNT; ++n) {
        saveSectorData record;
        std::copy_n(file.begin() + sectorRecordOffset(n), SECTOR_RECORD_SIZE, record.bytes.begin());
        Sector sector(0, 0, nullptr, nullptr);
        ASSERT_TRUE(sector.LoadFromFile(&record)) << "sector " << n;
        ASSERT_EQ(galaxy::sectorNumber(sector.getSecX(), sector.getSecY()), n);
        if (sector.getaPartKind() >= 0) ++parts[sector.getaPartKind()];
        if (sector.getEpPos().X != -1) ++pirates;
    }
    for (int kind = 0; kind < 7; ++kind) EXPECT_EQ(parts[kind], 5) << "kind " << kind;
    EXPECT_EQ(pirates, 1);

    Player& player = g.game.getPlayer();
    EXPECT_EQ(player.getaSectorNumber(), 5101);
    EXPECT_EQ(player.getVicType(), 1);
    EXPECT_EQ(player.getCredits(), 10000);
    EXPECT_EQ(g.game.getSector().getSecX(), 0);
    EXPECT_EQ(g.game.getSector().getSecY(), 0);
    EXPECT_STREQ(g.game.getWorldName(), "Andromeda");

    // The messages stand on screen while the game waits at the pause.
    const std::string last = shown.back();
    EXPECT_NE(last.find("Galaxy creation started!"), std::string::npos);
    EXPECT_NE(last.find("Player placed in galaxy!"), std::string::npos);
    // The progress rewrote itself on the second row, from 0% to 100%.
    std::vector<std::string> progress;
    for (const std::string& frame : shown) progress.push_back(frame.substr(81, 5));
    EXPECT_NE(std::find(progress.begin(), progress.end(), "0%   "), progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), "50%  "), progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), "100% "), progress.end());
    EXPECT_NE(last.find("Galaxy Andromeda created successfull!"), std::string::npos);
    EXPECT_NE(last.find("Press any key to continue . . ."), std::string::npos);
    // Nothing but the galaxy is left behind.
    EXPECT_EQ(filesHere(), std::vector<std::string>{"Andromeda.glx"});

    // Loading it gives back the same player.
    HeadlessGame other;
    other.screen->pushText("Andromeda\n");
    ASSERT_TRUE(other.game.load(other.con()));
    EXPECT_EQ(other.game.getPlayer().getVicType(), 1);
    EXPECT_EQ(other.game.getPlayer().getDim(), player.getDim());
}

TEST(NewGalaxy, ProgressCountsWholePercents) {
    EXPECT_EQ(Game::creationPercent(1), 0);
    EXPECT_EQ(Game::creationPercent(102), 0);
    EXPECT_EQ(Game::creationPercent(103), 1);
    EXPECT_EQ(Game::creationPercent(5101), 50);
    EXPECT_EQ(Game::creationPercent(10200), 99);
    EXPECT_EQ(Game::creationPercent(10201), 100);
}

TEST(NewGalaxy, BadNamesAreRefusedAndCreateNothing) {
    ScopedWorkDir dir;
    for (const std::string name : {"a/b", "..", "x.glx", "twenty-characters-xx", "Tutorial"}) {
        HeadlessGame g;
        g.screen->pushText(name + "\n");
        g.screen->pushKey('Q');  // closes the error window
        EXPECT_FALSE(g.game.newGame(g.con())) << name;
        const std::string screen = g.screen->dump();
        EXPECT_NE(screen.find("ERROR"), std::string::npos) << name;
        EXPECT_TRUE(filesHere().empty()) << name;
    }
    HeadlessGame g;
    g.screen->pushText("a/b\n");
    g.screen->pushKey('Q');
    g.game.newGame(g.con());
    EXPECT_NE(g.screen->dump().find("Use 1-19 letters, digits, _ or - only!"), std::string::npos);
    EXPECT_TRUE(Game::isValidGalaxyName("Milky_Way-2"));
    EXPECT_TRUE(Game::isValidGalaxyName(std::string(19, 'a')));
    EXPECT_FALSE(Game::isValidGalaxyName(""));
    EXPECT_FALSE(Game::isValidGalaxyName("tab\tname"));
}

TEST(NewGalaxy, ExistingGalaxyIsNeverTouched) {
    ScopedWorkDir dir;
    const std::string content(1000, 'k');
    std::ofstream("Vega.glx", std::ios::binary) << content;
    HeadlessGame g;
    g.screen->pushText("Vega\n");
    g.screen->pushKey('1');
    g.screen->pushKey('X');
    EXPECT_FALSE(g.game.newGame(g.con()));
    EXPECT_NE(g.screen->dump().find("Galaxy already exist, try another name!"), std::string::npos);
    const std::vector<std::uint8_t> after = readFile("Vega.glx");
    EXPECT_EQ(std::string(after.begin(), after.end()), content);
    EXPECT_EQ(filesHere().size(), 1u);
}

TEST(NewGalaxy, GoalQuestionTakesOnlyOneToFour) {
    ScopedWorkDir dir;
    HeadlessGame g;
    g.screen->pushText("Orion\n");
    g.screen->pushKeys({'5', 27, 'A', '0', '4'});
    EXPECT_FALSE(g.game.newGame(g.con()));
    EXPECT_TRUE(g.screen->scriptEmpty());
    EXPECT_TRUE(filesHere().empty());
    EXPECT_STREQ(g.game.getWorldName(), "Orion");  // a cancelled galaxy keeps the typed name
}

TEST(NewGalaxy, LeftoversOfAKilledCreationNeitherBlockNorLoad) {
    ScopedWorkDir dir;
    // A working file of a process that no longer runs (pid far above any real one).
    std::ofstream(".Lyra.creating.999999999.glx") << "half";
    HeadlessGame g;
    g.screen->pushText(".Lyra.creating.999999999\n");
    EXPECT_FALSE(g.game.load(g.con()));
    rng::srand(3);
    ASSERT_TRUE(create(g, "Lyra", '3'));
    EXPECT_EQ(filesHere(), std::vector<std::string>{"Lyra.glx"});
}

TEST(LoadGalaxy, TutorialUnknownAndDamagedFilesReturnToTheMenu) {
    ScopedWorkDir dir;
    rng::srand(11);
    HeadlessGame maker;
    ASSERT_TRUE(create(maker, "Cygnus", '1'));
    const std::vector<std::uint8_t> good = readFile("Cygnus.glx");

    HeadlessGame g;
    g.screen->pushText("Tutorial\n");
    EXPECT_FALSE(g.game.load(g.con()));
    g.screen->pushText("Nobody\n");
    EXPECT_FALSE(g.game.load(g.con()));
    EXPECT_TRUE(g.screen->scriptEmpty());  // neither waits for anything

    // The player's sector claims 11 planets.
    std::vector<std::uint8_t> damaged = good;
    damaged[static_cast<std::size_t>(sectorRecordOffset(5101))] = 11;
    std::ofstream("Broken.glx", std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
    // A file cut short before the player record.
    std::ofstream("Short.glx", std::ios::binary)
        .write(reinterpret_cast<const char*>(good.data()), 6000000);
    const int creditsBefore = g.game.getPlayer().getCredits();
    for (const char* name : {"Broken", "Short"}) {
        g.screen->pushText(std::string(name) + "\n");
        g.screen->pushKey('X');  // the pause after the message
        EXPECT_FALSE(g.game.load(g.con())) << name;
        EXPECT_NE(g.screen->dump().find("is damaged and cannot be loaded!"), std::string::npos) << name;
        EXPECT_TRUE(g.screen->scriptEmpty());
        EXPECT_EQ(g.game.getPlayer().getCredits(), creditsBefore);
        EXPECT_STREQ(g.game.getWorldName(), "");
    }
}

TEST(GameOver, LostGalaxyIsDeletedAndWonGalaxyKept) {
    ScopedWorkDir dir;
    rng::srand(5);
    HeadlessGame g;
    ASSERT_TRUE(create(g, "Lost", '1'));
    g.game.getPlayer().removeHealth(100000);
    g.screen->pushKeys({'X', 13});
    g.game.gameOver(g.con());
    EXPECT_FALSE(fileExist("Lost.glx"));
    EXPECT_EQ(g.game.getPlayer().getaHealth(), 1);
    EXPECT_NE(g.screen->dump().find("Galaxy was deleted. If you want to start"), std::string::npos);
    EXPECT_EQ(g.screen->row(7).substr(17, 47), "*******************GAME OVER*******************");

    HeadlessGame w;
    ASSERT_TRUE(create(w, "Won", '1'));
    w.game.getPlayer().setIsWinner(true);
    w.game.getPlayer().removeHealth(100000);
    w.screen->pushKey(13);
    w.game.gameOver(w.con());
    EXPECT_TRUE(fileExist("Won.glx"));
    EXPECT_NE(w.screen->dump().find("Galaxy wasn't deleted."), std::string::npos);
}
