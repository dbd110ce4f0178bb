// The hyperspace jump: path cost and calculation time, the failure moment of
// an unreachable target, and the jump itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ConsoleText.h"
#include "TestSupport.h"
#include "catalog/Random.h"
#include "player/Player.h"

namespace {

constexpr short DIM_X = -300, DIM_Y = 1234;

struct JumpTest : ::testing::Test {
    HeadlessConsole console;
    Player player;
    int progressLines = 0;
    std::string lastProgress;

    JumpTest() {
        console.con.setScrolling(true);
        // Each progress line is shown by the one-second wait after it.
        console.screen->onPresent = [this](const HeadlessBackend& s) {
            for (int y = 0; y < SCREEN_HEIGHT; ++y)
                if (s.row(y).find("% completed") != std::string::npos) {
                    ++progressLines;
                    lastProgress = consoletext::trimRight(s.row(y));
                }
        };
    }
    void reset(int worldX, int worldY, Coord cell) {
        player.newPlayer(VICTORY_KNOWLEDGE);
        player.fitPart(SLOT_COLLECTOR, 14);  // room for 10000 W
        player.setDimX(DIM_X);
        player.setDimY(DIM_Y);
        player.changeWorldCoord(true, worldX > 0, std::abs(worldX));
        player.changeWorldCoord(false, worldY > 0, std::abs(worldY));
        player.setPos(cell);
    }
    // The milliseconds the preparation took on the console's clock.
    std::uint64_t prepare(int a1, int a2, int a3, int a4) {
        console.con.Clear();
        progressLines = 0;
        const std::uint64_t start = console.con.nowMs();
        player.prepareJump(&console.con, a1, a2, a3, a4);
        return console.con.nowMs() - start;
    }
    std::string shown() const { return consoletext::shown(console.con); }
};

}  // namespace

TEST_F(JumpTest, ReachableTargetsCostHalfThePathAndTakeTheirTime) {
    struct Case {
        int worldX, worldY;
        Coord cell;
        int a1, a2, a3, a4;
        int cost;
        int lines;  // progress lines: whole seconds of the calculation time, plus one
        int lastPercent;
    };
    const Case cases[] = {
        {0, 0, {39, 12}, 1, 0, 39, 12, 38, 1, 0},              // 76 cells, 800 ms
        {0, 0, {39, 12}, 0, 0, 10, 5, 1, 1, 0},                // -38 cells, 360 ms
        {0, 0, {39, 12}, 0, 0, 70, 20, 18, 1, 0},              // 7 + 30 cells, 390 ms
        {0, 0, {39, 12}, 0, 10, 39, 12, 114, 3, 80},           // 229 - 1 cells, 2500 ms
        {2, 3, {10, 20}, -1, 1, 70, 2, 118, 4, 81},            // 63 + 173 cells, 3680 ms
        {50, 50, {78, 23}, -50, -50, 1, 1, 5098, 106, 99},     // 2321 + 7876 cells, 105990 ms
        {4, -4, {39, 12}, 4, -4, 39, 12, 1, 0, 0},             // the ship's own cell: no time at all
        {0, 0, {39, 12}, DIM_X, DIM_Y, 0, 99, 10000, 121, 100},  // the other dimension, any cell
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a1 << ";" << c.a2 << ";" << c.a3 << ";" << c.a4);
        reset(c.worldX, c.worldY, c.cell);
        EXPECT_EQ(prepare(c.a1, c.a2, c.a3, c.a4), 1000u * static_cast<unsigned>(c.lines));
        const std::string cost = std::to_string(c.cost);
        EXPECT_EQ(shown(), consoletext::asShown("\n> Preparing for hyperspace jump\n\n> Calculating path\n\n> Completed!"
                                                "\n\n> Hyperspace jump prepared \n\n> Energy cost: " + cost +
                                                "\n\n> SectorX: " + std::to_string(c.a1) + " SectorY: " +
                                                std::to_string(c.a2) + "\n\n> X: " + std::to_string(c.a3) +
                                                " Y: " + std::to_string(c.a4) + "\n"));
        EXPECT_EQ(progressLines, c.lines);
        if (c.lines > 0) {
            EXPECT_EQ(lastProgress, "> " + std::to_string(c.lastPercent) + "% completed");
        }
        console.con.Clear();
        player.jumpInfo(&console.con);
        EXPECT_NE(shown().find("> Energy cost: " + cost), std::string::npos);
    }
}

TEST_F(JumpTest, UnreachableTargetIsRefusedAtTheFailureMomentAndKeepsTheJumpBefore) {
    struct Case {
        int a1, a2, a3, a4;
        std::int64_t timeMs;  // the failure moment is drawn below it
    };
    const Case cases[] = {
        {51, 0, 39, 12, 51 * 800}, {0, -51, 39, 12, 51 * 250}, {0, 0, 0, 12, 390},        {0, 0, 79, 12, 400},
        {0, 0, 39, 0, 120},        {0, 0, 39, 24, 120},        {DIM_X, 0, 39, 12, 300 * 800},
        {INT_MAX, INT_MIN, INT_MAX, INT_MIN,
         (std::int64_t{INT_MAX} * 80 + (std::int64_t{1} << 31) * 25 + (INT_MAX - 39) + ((std::int64_t{1} << 31) + 12)) *
             10},
    };
    reset(0, 0, {39, 12});
    prepare(1, 0, 39, 12);
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a1 << ";" << c.a2 << ";" << c.a3 << ";" << c.a4);
        rng::srand(++seed);
        const std::int64_t failAt = rng::rand() % c.timeMs;
        rng::srand(seed);
        // Whole seconds pass until the failure moment, never beyond the calculation's end.
        const std::int64_t seconds = std::min((failAt + 999) / 1000, c.timeMs / 1000 + 1);
        EXPECT_EQ(prepare(c.a1, c.a2, c.a3, c.a4), static_cast<std::uint64_t>(seconds * 1000));
        const std::string text = shown();
        EXPECT_EQ(text.substr(text.find("\n> Error")), "\n> Error while clculating path, colision detected!\n\n"
                                                       "> Hyperspace jump not prepared!");
        EXPECT_EQ(player.getHyperJumpSectorCoord(), (Coord{1, 0}));
        EXPECT_TRUE(player.getHyperJump());
    }
}

TEST_F(JumpTest, JumpNeedsTheWholeCostAndEndsThePreparation) {
    struct Case {
        bool toDimension;
        int energy;
        bool jumps;
    };
    for (const Case& c : {Case{false, 38, true}, {false, 37, false}, {true, 10000, true}, {true, 9999, false}}) {
        SCOPED_TRACE(testing::Message() << c.toDimension << " " << c.energy);
        reset(0, 0, {39, 12});
        c.toDimension ? prepare(DIM_X, DIM_Y, 5, 5) : prepare(1, 0, 39, 12);
        player.addEnergy(c.energy);
        console.con.Clear();
        EXPECT_EQ(player.jump(&console.con), c.jumps);
        EXPECT_EQ(shown(), c.jumps ? "" : consoletext::asShown("\n> Too low energy level!\n"));
        EXPECT_EQ(player.getaEnergy(), c.jumps ? 0 : c.energy);
        // Only a jump within the galaxy moves the ship; the other dimension is the console's work.
        EXPECT_EQ(player.getaSectorNumber(), c.jumps && !c.toDimension ? 5102 : 5101);
        EXPECT_EQ(player.getrPos(), (Coord{39, 12}));
        // Once tried, the jump must be prepared again.
        EXPECT_FALSE(player.getHyperJump());
        EXPECT_FALSE(player.jump(&console.con));
    }
}
