// The hyperspace jump: path cost and calculation time, the failure moment of
// an unreachable target, and the jump itself.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "ConsoleText.h"
#include "TestSupport.h"
#include "console/Random.h"
#include "player/Player.h"

namespace {

constexpr short DIM_X = -300;
constexpr short DIM_Y = 1234;

struct JumpTest : ::testing::Test {
    HeadlessConsole console;
    Player player;
    int progressLines = 0;
    std::string lastProgress;

    JumpTest() {
        player.setDimX(DIM_X);
        player.setDimY(DIM_Y);
        player.fitPart(SLOT_COLLECTOR, 14);  // room for 10000 W
        console.con.setScrolling(true);
        // Each progress line is followed by a one-second wait, which shows it.
        console.screen->onPresent = [this](const HeadlessBackend& screen) {
            for (int y = 0; y < SCREEN_HEIGHT; ++y) {
                const std::string row = consoletext::trimRight(screen.row(y));
                if (row.find("% completed") == std::string::npos) continue;
                ++progressLines;
                lastProgress = row;
            }
        };
    }
    void placeShip(int worldX, int worldY, COORD cell) {
        player.changeWorldCoord(true, worldX > 0, worldX > 0 ? worldX : -worldX);
        player.changeWorldCoord(false, worldY > 0, worldY > 0 ? worldY : -worldY);
        player.setPos(cell);
    }
    // Milliseconds the preparation took on the console's clock.
    std::uint64_t prepare(int a1, int a2, int a3, int a4) {
        console.con.Clear();
        progressLines = 0;
        lastProgress.clear();
        const std::uint64_t start = console.con.nowMs();
        player.prepareJump(&console.con, a1, a2, a3, a4);
        return console.con.nowMs() - start;
    }
    std::string shown() const { return consoletext::shown(console.con); }
    int preparedCost() {
        console.con.Clear();
        player.jumpInfo(&console.con);
        const std::string text = shown();
        const std::size_t at = text.find("> Energy cost: ");
        return at == std::string::npos ? -1 : std::stoi(text.substr(at + 15));
    }
};

std::string preparedText(int cost, int a1, int a2, int a3, int a4) {
    return "\n> Preparing for hyperspace jump\n\n> Calculating path\n\n> Completed!\n\n> Hyperspace jump prepared \n\n"
           "> Energy cost: " +
           std::to_string(cost) + "\n\n> SectorX: " + std::to_string(a1) + " SectorY: " + std::to_string(a2) +
           "\n\n> X: " + std::to_string(a3) + " Y: " + std::to_string(a4) + "\n";
}

}  // namespace

TEST_F(JumpTest, ReachableTargetsCostHalfThePathAndTakeTheirTime) {
    struct Case {
        const char* name;
        int worldX, worldY;
        COORD cell;
        int a1, a2, a3, a4;
        int cost;
        int lines;        // progress lines, one per second waited
        int lastPercent;  // shown on the last of them
    };
    const Case cases[] = {
        // 76 cells; 800 ms.
        {"one sector right, same cell", 0, 0, {39, 12}, 1, 0, 39, 12, 38, 1, 0},
        // -38 cells; 360 ms.
        {"up and left in the own sector", 0, 0, {39, 12}, 0, 0, 10, 5, 1, 1, 0},
        // 7 + 30 cells; 390 ms.
        {"down and right in the own sector", 0, 0, {39, 12}, 0, 0, 70, 20, 18, 1, 0},
        // 228 cells; 2500 ms.
        {"ten sectors down", 0, 0, {39, 12}, 0, 10, 39, 12, 114, 3, 80},
        // 63 + 173 cells; 3680 ms.
        {"sectors above and to the left", 2, 3, {10, 20}, -1, 1, 70, 2, 118, 4, 81},
        // 2321 + 7876 cells; 105990 ms.
        {"corner to corner", 50, 50, {78, 23}, -50, -50, 1, 1, 5098, 106, 99},
        {"the ship's own cell takes no time", 4, -4, {39, 12}, 4, -4, 39, 12, 1, 0, 0},
        {"the other dimension, any cell", 0, 0, {39, 12}, DIM_X, DIM_Y, 0, 99, 10000, 121, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.newPlayer(1);
        player.setDimX(DIM_X);
        player.setDimY(DIM_Y);
        placeShip(c.worldX, c.worldY, c.cell);
        const std::uint64_t took = prepare(c.a1, c.a2, c.a3, c.a4);
        EXPECT_EQ(shown(), consoletext::asShown(preparedText(c.cost, c.a1, c.a2, c.a3, c.a4)));
        EXPECT_EQ(took, 1000u * static_cast<unsigned>(c.lines));
        EXPECT_EQ(progressLines, c.lines);
        if (c.lines > 0) {
            EXPECT_EQ(lastProgress, "> " + std::to_string(c.lastPercent) + "% completed");
        }
        EXPECT_TRUE(player.getHyperJump());
        EXPECT_EQ(preparedCost(), c.cost);
        EXPECT_EQ(player.getHyperJumpSectorCoord(), (COORD{static_cast<short>(c.a1), static_cast<short>(c.a2)}));
    }
}

TEST_F(JumpTest, UnreachableTargetIsRefusedAtTheFailureMomentAndKeepsTheJumpBefore) {
    struct Case {
        const char* name;
        int a1, a2, a3, a4;
        std::int64_t timeMs;  // the calculation time the failure moment is drawn in
    };
    const Case cases[] = {
        {"sector 51", 51, 0, 39, 12, 51 * 800},
        {"sector -51", 0, -51, 39, 12, 51 * 250},
        {"column 0", 0, 0, 0, 12, 390},
        {"column 79", 0, 0, 79, 12, 400},
        {"row 0", 0, 0, 39, 0, 120},
        {"row 24", 0, 0, 39, 24, 120},
        {"the dimension's X with another Y", DIM_X, 0, 39, 12, 300 * 800},
        {"arguments at the 32-bit limits", INT_MAX, INT_MIN, INT_MAX, INT_MIN,
         ((std::int64_t{INT_MAX} * 80 + -std::int64_t{INT_MIN} * 25) + (std::int64_t{INT_MAX} - 39) +
          (12 - std::int64_t{INT_MIN})) *
             10},
    };
    player.addEnergy(100);
    prepare(1, 0, 39, 12);
    ASSERT_TRUE(player.getHyperJump());
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rng::srand(++seed);
        const std::int64_t failAt = rng::rand() % c.timeMs;
        rng::srand(seed);
        const std::uint64_t took = prepare(c.a1, c.a2, c.a3, c.a4);
        // Whole seconds pass until the failure moment, but never beyond the calculation's end.
        const std::int64_t seconds = std::min((failAt + 999) / 1000, c.timeMs / 1000 + 1);
        EXPECT_EQ(took, static_cast<std::uint64_t>(seconds * 1000));
        const std::string refusal =
            "> Error while clculating path, colision detected!\n\n> Hyperspace jump not prepared!";
        const std::string text = shown();
        ASSERT_GE(text.size(), refusal.size());
        EXPECT_EQ(text.substr(text.size() - refusal.size()), refusal);
        EXPECT_TRUE(player.getHyperJump());
        EXPECT_EQ(preparedCost(), 38);
    }
}

TEST_F(JumpTest, JumpNeedsTheWholeCostAndEndsThePreparation) {
    struct Case {
        const char* name;
        bool toDimension;
        int energy;
        bool jumps;
    };
    const Case cases[] = {
        {"exactly the cost", false, 38, true},
        {"one short of the cost", false, 37, false},
        {"the other dimension with exactly the cost", true, 10000, true},
        {"the other dimension one short", true, 9999, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.newPlayer(2);
        player.fitPart(SLOT_COLLECTOR, 14);
        player.setDimX(DIM_X);
        player.setDimY(DIM_Y);
        if (c.toDimension)
            prepare(DIM_X, DIM_Y, 5, 5);
        else
            prepare(1, 0, 39, 12);
        player.addEnergy(c.energy);
        console.con.Clear();
        EXPECT_EQ(player.jump(&console.con), c.jumps);
        EXPECT_FALSE(player.getHyperJump());
        EXPECT_EQ(shown(), c.jumps ? "" : consoletext::asShown("\n> Too low energy level!\n"));
        EXPECT_EQ(player.getaEnergy(), c.jumps ? 0 : c.energy);
        const bool moved = c.jumps && !c.toDimension;
        EXPECT_EQ(player.getWorldX(), moved ? 1 : 0);
        EXPECT_EQ(player.getrPos(), (COORD{39, 12}));
        EXPECT_EQ(player.getaSectorNumber(), moved ? 5102 : 5101);
        // Once tried, the jump must be prepared again.
        EXPECT_FALSE(player.jump(&console.con));
    }
}

TEST_F(JumpTest, InfoShowsThePreparedJump) {
    player.jumpInfo(&console.con);
    EXPECT_EQ(shown(), consoletext::asShown("\n> Hyperspace jump not prepared!\n"));
    player.changeWorldCoord(true, false, 3);
    prepare(-2, 1, 70, 20);
    console.con.Clear();
    player.jumpInfo(&console.con);
    EXPECT_EQ(shown(), consoletext::asShown("\n> Hyperspace jump info: \n\n> Sector X: -2\n\n> Sector Y: 1\n\n"
                                            "> Position X: 70\n\n> Position Y: 20\n\n> Energy cost: 69\n"));
}
