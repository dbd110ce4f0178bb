#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "screen/HelpFuncLib.h"
#include "catalog/Random.h"
#include "storage/SaveRecords.h"
#include "shell/Game.h"

namespace {

struct HeadlessGame {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    Game game{std::move(owned)};
};

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// A new galaxy whose saved ship is destroyed, won or not; an older version's
// cheats could leave the health below zero.
void makeWreck(const std::string& name, bool won, std::int32_t health = 0) {
    HeadlessGame maker;
    maker.screen->pushText(name + "\n");
    maker.screen->pushKey('1');
    maker.screen->pushKey('X');
    ASSERT_TRUE(maker.game.newGame(&maker.game.getConsole()));
    std::fstream file(name + ".glx", std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(PLAYER_RECORD_OFFSET + static_cast<std::int64_t>(playerRec::ship + shipRec::aHealth));
    std::array<std::uint8_t, 4> bytes;
    record::put32(bytes.data(), health);
    file.write(reinterpret_cast<const char*>(bytes.data()), 4);
    file.seekp(PLAYER_RECORD_OFFSET + static_cast<std::int64_t>(playerRec::isWinner));
    file.put(won ? 1 : 0);
}

}  // namespace

TEST(GameLoop, DestroyedShipIsSavedThenTheLostGalaxyDeleted) {
    for (const std::int32_t health : {0, -5000}) {
        ScopedWorkDir dir;
        rng::srand(21);
        makeWreck("Wreck", false, health);
        ASSERT_TRUE(fileExist("Wreck.glx"));
        HeadlessGame g;
        g.screen->pushText("L");
        g.screen->pushText("Wreck\n");
        g.screen->pushKey(13);  // game over, at once: a lost ship shows no map
        g.screen->pushKeys({'E', 'Y'});
        g.game.run();
        EXPECT_FALSE(fileExist("Wreck.glx")) << health;
        EXPECT_EQ(g.game.getPlayer().getaHealth(), 1);  // the next pass goes straight to the menu
    }
}

TEST(GameLoop, WonGalaxyOfADestroyedShipKeepsItsLastIntactSave) {
    ScopedWorkDir dir;
    rng::srand(22);
    makeWreck("Glory", true);
    ASSERT_TRUE(fileExist("Glory.glx"));
    const std::vector<char> before = readFile("Glory.glx");
    HeadlessGame g;
    g.screen->pushText("L");
    g.screen->pushText("Glory\n");
    g.screen->pushKey(13);
    g.screen->pushKeys({'E', 'Y'});
    g.game.run();
    ASSERT_TRUE(fileExist("Glory.glx"));
    EXPECT_EQ(readFile("Glory.glx"), before);  // nothing was saved over it
}

TEST(GameLoop, LeavingTheMapSavesTheGalaxy) {
    ScopedWorkDir dir;
    rng::srand(23);
    HeadlessGame g;
    g.screen->pushText("N");
    g.screen->pushText("Home\n");
    g.screen->pushKey('2');
    g.screen->pushKey('X');
    // Sixteen presses make one step with the first engine.
    for (int i = 0; i < 16; ++i) g.screen->pushKey(37);
    g.screen->pushKey(27);
    g.screen->pushKeys({'E', 'Y'});
    g.game.run();
    std::vector<char> file = readFile("Home.glx");
    savePlayerData record;
    std::copy_n(file.begin() + PLAYER_RECORD_OFFSET, PLAYER_RECORD_SIZE, record.bytes.begin());
    Player saved;
    ASSERT_TRUE(saved.LoadFromFile(&record));
    EXPECT_EQ(saved.getrX(), g.game.getPlayer().getrX());
    EXPECT_EQ(saved.getaFuel(), g.game.getPlayer().getaFuel());
    EXPECT_LT(saved.getaFuel(), 1000);
}
