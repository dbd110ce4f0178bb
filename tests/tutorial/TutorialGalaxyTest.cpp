// The tutorial galaxy the build generates, and where the game finds it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "storage/Paths.h"
#include "platform/Process.h"
#include "shell/TutorialFolders.h"
#include "tutorial/TutorialGalaxy.h"
#include "tutorial/TutorialRun.h"

namespace {

namespace fs = std::filesystem;
using namespace tutorialGalaxy;

}  // namespace

TEST(TutorialGalaxy, AlwaysTheSameSoundFileWithoutAPiratesPlanet) {
    ScopedWorkDir dir;
    rng::srand(1);
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    rng::srand(2);
    ASSERT_TRUE(writeTutorialGalaxy("again.glx"));
    EXPECT_TRUE(fileContents("Tutorial.glx") == fileContents("again.glx"));
    EXPECT_EQ(fs::file_size("Tutorial.glx"), static_cast<std::uintmax_t>(GALAXY_FILE_SIZE));
    EXPECT_FALSE(writeTutorialGalaxy("no/such/folder/Tutorial.glx"));

    Sector sector(0, 0, nullptr, TUTORIAL_GALAXY);
    for (int n = 1; n <= SECTOR_COUNT; ++n) {
        ASSERT_TRUE(sector.load(n)) << n;
        ASSERT_EQ(sector.getEpPos().X, -1) << n;
    }
}

TEST(TutorialGalaxy, HoldsWhatTheCourseNeeds) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    Player player;
    player.addCredits(1);
    Sector home(5, 5, &player, TUTORIAL_GALAXY);
    ASSERT_EQ(home.loadGame(), LoadResult::Ok);

    EXPECT_EQ(std::abs(player.getrX() - EARTH_X) + std::abs(player.getrY() - EARTH_Y), 1);
    EXPECT_EQ(player.getaFuel(), player.getMaxFuel());
    EXPECT_GE(player.getCredits(), 10 * 20 + 100 * 2 + enCol[1]->getValue());
    const Planet* earth = home.getPlanet(EARTH_X, EARTH_Y);
    const Planet* mars = home.getPlanet(MARS_X, MARS_Y);
    ASSERT_TRUE(earth != nullptr && mars != nullptr);
    EXPECT_STREQ(earth->getName(), "EARTH");
    // Three landings of five ore-eating facilities still leave ten to buy;
    // ten sold after as many ticks of mining still fit the stock.
    constexpr int ORE = 14, mostPerLanding = 3 * Planet::MAX_FACILITIES * Planet::BATCH;
    EXPECT_GE(earth->getGood(ORE) - mostPerLanding, 10);
    EXPECT_LE(mars->getGood(ORE) + mostPerLanding + 10, Planet::STOCK_CAPACITY);
    EXPECT_GT(mars->getGoodPrice(ORE, mars->getGood(ORE)), earth->getGoodPrice(ORE, earth->getGood(ORE)));

    // Around the fight's end: no planet within the three steps of fuel, and
    // the nearest one a jump away for the energy of the two steps that gain it.
    for (int dx = -3; dx <= 3; ++dx) {
        for (int dy = std::abs(dx) - 3; dy <= 3 - std::abs(dx); ++dy) {
            const Coord at{static_cast<short>(TUTORIAL_FIGHT_END_X + dx), static_cast<short>(TUTORIAL_FIGHT_END_Y + dy)};
            EXPECT_EQ(home.getPlanet(at.X, at.Y), nullptr) << at.X << "," << at.Y;
            player.setPos(at);
            const Planet* nearest = home.getNearestPlanet();
            const int path = (nearest->getrX() - at.X) + (nearest->getrY() - at.Y) - 2;
            EXPECT_LE(std::max(1, path / 2), 2 * (enCol[1]->getID() * 5 + 10)) << at.X << "," << at.Y;
        }
    }
}

TEST(TutorialGalaxy, IsLookedForInTheFoldersInTurn) {
    ScopedWorkDir dir;
    // Folder names are UTF-8 in the game, whatever the system's code page.
    const std::vector<fs::path> folders{"first", "second", u8"Spiele Übung ñ"};
    struct Case {
        std::vector<int> holding;
        int found;  // -1: none
    };
    for (const Case& c : {Case{{0, 1, 2}, 0}, {{1, 2}, 1}, {{2}, 2}, {{}, -1}}) {
        for (const fs::path& folder : folders) {
            fs::remove_all(folder);
            fs::create_directory(folder);
        }
        for (int i : c.holding) std::ofstream(folders[static_cast<std::size_t>(i)] / "Tutorial.glx") << "x";
        const auto found = findTutorialGalaxy(folders);
        EXPECT_EQ(found, c.found < 0 ? std::nullopt
                                     : std::optional(platform::utf8Of(folders[static_cast<std::size_t>(c.found)] / "Tutorial")));
    }
    fs::create_directory(folders[0] / "Tutorial.glx");  // a folder of that name is no galaxy
    EXPECT_EQ(findTutorialGalaxy(folders), std::nullopt);
    ASSERT_TRUE(writeTutorialGalaxy(platform::utf8Of(folders[2] / "Tutorial.glx")));
    Player player;
    const std::string found = findTutorialGalaxy({folders[2]}).value_or("");
    EXPECT_EQ(Sector(0, 0, &player, found.c_str()).loadGame(), LoadResult::Ok);

    const std::vector<fs::path> standard = tutorialGalaxyFolders();
    const fs::path program = platform::programFile().value_or(fs::path());
    EXPECT_EQ(program.stem(), "starhollow_tests");
    const fs::path programFolder = program.parent_path();
    ASSERT_EQ(standard.size(), 4u);
    EXPECT_EQ(standard[0], fs::path("."));
    EXPECT_EQ(standard[1], programFolder);
    // An installation under any prefix: bin/../share/starhollow.
    EXPECT_EQ(standard[2], (programFolder / ".." / "share" / "starhollow").lexically_normal());
    EXPECT_EQ(standard[3].filename(), "starhollow");
}
