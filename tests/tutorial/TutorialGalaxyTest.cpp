// The tutorial galaxy the build generates: always the same file, sound in
// every record, with what the course needs; and where the game finds it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "TestSupport.h"
#include "console/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "tutorial/TutorialGalaxy.h"
#include "tutorial/TutorialRun.h"

namespace {

namespace fs = std::filesystem;
using namespace tutorialGalaxy;

constexpr int ORE = 14;

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Energy the board computer asks for a jump inside one sector: half the path.
int jumpCost(COORD from, COORD to) {
    const int path = (to.X - from.X) + (to.Y - from.Y) - 2;
    return std::max(1, path / 2);
}

}  // namespace

TEST(TutorialGalaxy, IsTheSameFileWhateverCameBefore) {
    ScopedWorkDir dir;
    rng::srand(1);
    ASSERT_TRUE(writeTutorialGalaxy("a.glx"));
    rng::srand(2);
    rng::rand();
    ASSERT_TRUE(writeTutorialGalaxy("b.glx"));
    EXPECT_EQ(fs::file_size("a.glx"), static_cast<std::uintmax_t>(GALAXY_FILE_SIZE));
    EXPECT_TRUE(readFile("a.glx") == readFile("b.glx"));
    // Nothing is left under the working name; a folder that cannot be written fails.
    EXPECT_FALSE(fs::exists("a.glx.part.glx"));
    EXPECT_FALSE(writeTutorialGalaxy("no/such/folder/Tutorial.glx"));
}

TEST(TutorialGalaxy, EveryRecordIsSoundAndNoPiratesPlanetWaits) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    Sector sector(0, 0, nullptr, TUTORIAL_GALAXY);
    int parts = 0;
    for (int n = 1; n <= SECTOR_COUNT; ++n) {
        ASSERT_TRUE(sector.load(n)) << n;
        ASSERT_EQ(sector.getEpPos().X, -1) << n;
        if (sector.getaPartKind() != Sector::NO_PART) ++parts;
    }
    EXPECT_EQ(parts, 4);
}

TEST(TutorialGalaxy, HoldsWhatTheCourseNeeds) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    Player player;
    player.addCredits(1);
    Sector home(5, 5, &player, TUTORIAL_GALAXY);
    ASSERT_EQ(home.loadGame(), LoadResult::Ok);

    // A new ship beside EARTH, its tank full, enough credits for the ore,
    // 100 ammunition and the collector.
    EXPECT_EQ(player.getWorldX(), HOME_SECTOR_X);
    EXPECT_EQ(player.getWorldY(), HOME_SECTOR_Y);
    EXPECT_EQ(std::abs(player.getrX() - EARTH_X) + std::abs(player.getrY() - EARTH_Y), 1);
    EXPECT_EQ(player.getaFuel(), player.getMaxFuel());
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) EXPECT_EQ(player.getPartId(slot), 0) << slot;
    EXPECT_GE(player.getCredits(), 10 * 20 + 100 * 2 + enCol[1]->getValue());
    EXPECT_EQ(player.getAmmo(), 0);

    ASSERT_EQ(home.getNumber(), 3);
    const Planet* earth = home.getPlanet(EARTH_X, EARTH_Y);
    const Planet* mars = home.getPlanet(MARS_X, MARS_Y);
    ASSERT_TRUE(earth != nullptr && mars != nullptr && home.getPlanet(VENUS_X, VENUS_Y) != nullptr);
    EXPECT_STREQ(earth->getName(), "EARTH");
    EXPECT_STRNE(mars->getName(), "EARTH");
    EXPECT_EQ(home.getaPartKind(), Sector::NO_PART);
    // Three landings of five ore-eating facilities still leave ten to buy;
    // ten sold on MARS, after as many ticks of mining, still fit its stock.
    EXPECT_GE(earth->getGood(ORE) - 3 * Planet::MAX_FACILITIES * Planet::BATCH, 10);
    EXPECT_LE(mars->getGood(ORE) + 3 * Planet::MAX_FACILITIES * Planet::BATCH + 10, Planet::STOCK_CAPACITY);
    EXPECT_GT(mars->getGoodPrice(ORE, mars->getGood(ORE)), earth->getGoodPrice(ORE, earth->getGood(ORE)));

    // From every cell three steps around the fight's end: no planet reached
    // on the way, and the nearest planet within one jump of a collector's
    // energy gathered on those steps alone.
    for (int dx = -3; dx <= 3; ++dx) {
        for (int dy = -3; dy <= 3; ++dy) {
            if (std::abs(dx) + std::abs(dy) > 3) continue;
            const COORD at{static_cast<short>(TUTORIAL_FIGHT_END_X + dx), static_cast<short>(TUTORIAL_FIGHT_END_Y + dy)};
            EXPECT_EQ(home.getPlanet(at.X, at.Y), nullptr) << at.X << "," << at.Y;
            player.setPos(at);
            const Planet* nearest = home.getNearestPlanet();
            EXPECT_LE(jumpCost(at, COORD{static_cast<short>(nearest->getrX()), static_cast<short>(nearest->getrY())}),
                      2 * (enCol[1]->getID() * 5 + 10))
                << at.X << "," << at.Y;
        }
    }
}

TEST(TutorialGalaxy, IsLookedForInTheFoldersInTurn) {
    ScopedWorkDir dir;
    const fs::path folders[] = {"first", "second", "third"};
    struct Case {
        std::vector<int> holding;
        int found;  // -1: none
    };
    for (const Case& c : {Case{{0, 1, 2}, 0}, {{1, 2}, 1}, {{2}, 2}, {{}, -1}}) {
        for (const fs::path& folder : folders) {
            fs::remove_all(folder);
            fs::create_directory(folder);
        }
        for (int i : c.holding) std::ofstream(folders[i] / "Tutorial.glx") << "x";
        const auto found = findTutorialGalaxy({folders[0], folders[1], folders[2]});
        if (c.found < 0)
            EXPECT_EQ(found, std::nullopt);
        else
            EXPECT_EQ(found, (folders[c.found] / "Tutorial").string());
    }
    // A folder of that name is no galaxy.
    fs::create_directory(folders[0] / "Tutorial.glx");
    EXPECT_EQ(findTutorialGalaxy({folders[0], folders[1]}), std::nullopt);

    const std::vector<fs::path> standard = tutorialGalaxyFolders();
    ASSERT_EQ(standard.size(), 3u);
    EXPECT_EQ(standard[0], fs::path("."));
    EXPECT_EQ(standard[1], fs::read_symlink("/proc/self/exe").parent_path());
    EXPECT_EQ(standard[2].filename(), "starhollow");
}
