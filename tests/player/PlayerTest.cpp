#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "catalog/Random.h"
#include "player/Player.h"

TEST(Player, NewPlayerStartsInTheCentreSector) {
    Player player;
    EXPECT_EQ(player.getrX(), 39);
    EXPECT_EQ(player.getrY(), 12);
    EXPECT_EQ(player.getWorldX(), 0);
    EXPECT_EQ(player.getWorldY(), 0);
    EXPECT_EQ(player.getaSectorNumber(), 5101);
    EXPECT_EQ(player.getCredits(), 10000);
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) EXPECT_EQ(player.getTrade(good), 0);
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        EXPECT_EQ(player.getaParts(kind), 0);
        EXPECT_EQ(player.getResarch(kind), 0);
    }
    EXPECT_EQ(player.getaFuel(), 1000);
    EXPECT_EQ(player.getaHealth(), 1400);
    EXPECT_EQ(player.getVicType(), 0);
    EXPECT_FALSE(player.getIsWinner());
    EXPECT_FALSE(player.getHyperJump());
    EXPECT_EQ(player.getHyperJumpSectorCoord(), (Coord{0, 0}));
}

TEST(Player, NewPlayerResetsAGameInProgress) {
    Player player;
    player.fitPart(SLOT_HULL, 3);
    player.countMaxHealth();
    player.addCredits(5);
    player.addTrade(4, 9);
    player.setaParts(1, 2);
    player.setResarch(6, 5);
    player.setIsWinner(true);
    player.setHypData(3, 4, 5, 6, 7);
    player.changeWorldCoord(true, true, 20);
    player.setPos(Coord{2, 3});
    player.newPlayer(VICTORY_CASH);

    EXPECT_EQ(player.getVicType(), VICTORY_CASH);
    EXPECT_EQ(player.getCredits(), 10000);
    EXPECT_EQ(player.getTrade(4), 0);
    EXPECT_EQ(player.getaParts(1), 0);
    EXPECT_EQ(player.getResarch(6), 0);
    EXPECT_FALSE(player.getIsWinner());
    EXPECT_FALSE(player.getHyperJump());
    EXPECT_EQ(player.getWorldX(), 0);
    EXPECT_EQ(player.getrPos(), (Coord{39, 12}));
    EXPECT_EQ(player.getPartId(SLOT_HULL), 0);
    EXPECT_EQ(player.getMaxHealth(), 1400);
}

TEST(Player, OtherDimensionIsDrawnXFirst) {
    rng::srand(4242);
    const int first = rng::rand();
    const int second = rng::rand();
    rng::srand(4242);
    Player player;
    EXPECT_EQ(player.getDim().X, static_cast<short>(static_cast<std::uint16_t>(first + 50)));
    EXPECT_EQ(player.getDim().Y, static_cast<short>(static_cast<std::uint16_t>(second + 50)));

    rng::srand(99);
    const int third = rng::rand();
    rng::srand(99);
    player.newPlayer(VICTORY_KNOWLEDGE);
    EXPECT_EQ(player.getDim().X, static_cast<short>(static_cast<std::uint16_t>(third + 50)));
}

TEST(Player, DimensionSettersKeepTheLowSixteenBits) {
    Player player;
    player.setDimX(500);
    EXPECT_EQ(player.getDim().X, 500);
    player.setDimY(70000);
    EXPECT_EQ(player.getDim().Y, 70000 - 65536);
    player.setDimX(40000);
    EXPECT_EQ(player.getDim().X, 40000 - 65536);
    player.setDimY(-3);
    EXPECT_EQ(player.getDim().Y, -3);
}

TEST(Player, CreditsRemovalIsRefusedWhole) {
    Player player;
    player.removeCredits(9600);
    EXPECT_EQ(player.getCredits(), 400);
    player.removeCredits(500);
    EXPECT_EQ(player.getCredits(), 400);
    player.removeCredits(400);
    EXPECT_EQ(player.getCredits(), 0);
    // A negative price, as when a part is swapped for a cheaper one, pays out.
    player.removeCredits(-250);
    EXPECT_EQ(player.getCredits(), 250);
    player.addCredits(-300);  // a cheat's negative amount stops at 0
    EXPECT_EQ(player.getCredits(), 0);
}

TEST(Player, CreditsSaturateAtTheThirtyTwoBitBounds) {
    Player player;
    player.addCredits(INT_MAX);
    EXPECT_EQ(player.getCredits(), INT_MAX);
    player.removeCredits(INT_MIN);
    EXPECT_EQ(player.getCredits(), INT_MAX);
    player.addCredits(INT_MIN);
    player.addCredits(INT_MIN);
    EXPECT_EQ(player.getCredits(), 0);
}

TEST(Player, CargoByGood) {
    Player player;
    player.addTrade(14, 30);
    player.removeTrade(14, 31);
    EXPECT_EQ(player.getTrade(14), 30);
    player.removeTrade(14, 30);
    EXPECT_EQ(player.getTrade(14), 0);
    player.addTrade(0, INT_MAX);
    player.addTrade(0, 1);
    EXPECT_EQ(player.getTrade(0), INT_MAX);
    player.removeTrade(3, INT_MIN);
    EXPECT_EQ(player.getTrade(3), INT_MAX);

    // Rows outside the table are ignored.
    player.addTrade(15, 5);
    player.addTrade(-1, 5);
    player.removeTrade(15, 0);
    EXPECT_EQ(player.getTrade(15), 0);
    EXPECT_EQ(player.getTrade(-1), 0);
    EXPECT_EQ(player.getTrade(INT_MIN), 0);
}

TEST(Player, ShipWeightCountsGoodsAndTenthsOfAmmo) {
    Player player;
    player.addTrade(2, 50);
    player.addTrade(12, 45);
    player.addAmmo(59);
    player.countShipWeight();
    EXPECT_EQ(player.getaWeight(), 100);

    player.addAmmo(1);  // 95 + 6 = 101: does not fit, the old weight stays
    player.countShipWeight();
    EXPECT_EQ(player.getaWeight(), 100);

    player.removeTrade(2, 50);
    player.countShipWeight();
    EXPECT_EQ(player.getaWeight(), 51);

    player.removeAmmo(60);
    player.addAmmo(9);
    player.removeTrade(12, 45);
    player.countShipWeight();
    EXPECT_EQ(player.getaWeight(), 0);

    // Totals far beyond 32 bits are refused, not wrapped into range.
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) player.addTrade(good, INT_MAX);
    player.countShipWeight();
    EXPECT_EQ(player.getaWeight(), 0);
}

TEST(Player, AncientPartsAndResearchStayWithinZeroToFive) {
    Player player;
    player.setaParts(2, 5);
    player.setaParts(2, 6);
    player.setaParts(2, -1);
    EXPECT_EQ(player.getaParts(2), 5);
    player.setaParts(7, 1);
    player.setaParts(-1, 1);
    player.setaParts(6, 3);
    EXPECT_EQ(player.getaParts(6), 3);
    EXPECT_EQ(player.getaParts(7), 0);
    EXPECT_EQ(player.getaParts(-1), 0);

    player.setResarch(0, 0);
    player.setResarch(4, 4);
    player.setResarch(4, 6);
    player.setResarch(7, 2);
    EXPECT_EQ(player.getResarch(4), 4);
    EXPECT_EQ(player.getResarch(7), 0);
    EXPECT_EQ(player.getResarch(-1), 0);
}

TEST(Player, MapCellSetters) {
    Player player;
    player.setrX(0);
    player.setrY(0);
    EXPECT_EQ(player.getrPos(), (Coord{0, 0}));
    player.setrX(79);
    player.setrY(24);
    EXPECT_EQ(player.getrPos(), (Coord{79, 24}));
    // Cells off the screen are ignored.
    player.setrX(80);
    player.setrY(25);
    player.setrX(-1);
    player.setrY(-1);
    EXPECT_EQ(player.getrPos(), (Coord{79, 24}));
    player.setPos(Coord{40, 23});
    EXPECT_EQ(player.getrX(), 40);
    EXPECT_EQ(player.getrY(), 23);
}

TEST(Player, WorldCoordinatesWrapAtTheGalaxyEdges) {
    Player player;
    player.changeWorldCoord(true, true, 50);
    EXPECT_EQ(player.getWorldX(), 50);
    player.changeWorldCoord(true, true, 1);
    EXPECT_EQ(player.getWorldX(), -50);
    EXPECT_EQ(player.getWorldY(), 0);

    player.changeWorldCoord(false, false, 50);
    EXPECT_EQ(player.getWorldY(), -50);
    player.changeWorldCoord(false, false, 1);
    EXPECT_EQ(player.getWorldY(), 50);
    EXPECT_EQ(player.getWorldX(), -50);

    player.changeWorldCoord(true, false, 1);
    EXPECT_EQ(player.getWorldX(), 50);
    player.changeWorldCoord(true, false, 2);
    player.changeWorldCoord(true, true, 3);  // 48 + 3 lands on -50, not -49
    EXPECT_EQ(player.getWorldX(), -50);

    // However far a move goes, the coordinate stays in the galaxy.
    player.changeWorldCoord(false, true, INT_MAX);
    EXPECT_EQ(player.getWorldY(), -50);
    player.changeWorldCoord(false, false, INT_MIN);
    EXPECT_EQ(player.getWorldY(), -50);
    player.changeWorldCoord(false, true, INT_MIN);
    EXPECT_EQ(player.getWorldY(), 50);
}

TEST(Player, SectorNumbersFollowRows) {
    Player player;
    player.changeWorldCoord(true, false, 50);
    player.changeWorldCoord(false, false, 50);
    EXPECT_EQ(player.getaSectorNumber(), 1);
    player.changeWorldCoord(true, true, 1);
    EXPECT_EQ(player.getaSectorNumber(), 2);
    player.changeWorldCoord(true, true, 99);
    player.changeWorldCoord(false, true, 100);
    EXPECT_EQ(player.getaSectorNumber(), 10201);
    player.changeWorldCoord(true, false, 50);
    player.changeWorldCoord(false, false, 49);
    EXPECT_EQ(player.getWorldX(), 0);
    EXPECT_EQ(player.getWorldY(), 1);
    EXPECT_EQ(player.getaSectorNumber(), 5202);
}

TEST(Player, HyperspaceJumpData) {
    Player player;
    player.setHypData(12, -7, 30, 20, 99);
    EXPECT_TRUE(player.getHyperJump());
    EXPECT_EQ(player.getHyperJumpSectorCoord(), (Coord{12, -7}));
    player.setHyperJump(false);
    EXPECT_FALSE(player.getHyperJump());
    player.setHypData(70000, -40000, 1, 1, 1);
    EXPECT_EQ(player.getHyperJumpSectorCoord(), (Coord{70000 - 65536, -40000 + 65536}));
}
