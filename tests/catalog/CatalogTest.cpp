#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/Catalog.h"

namespace {

// Read during dynamic initialisation of this file: the tables must already
// hold their rows, whatever order the files' globals are set up in.
const std::string firstEngineAtStartUp = engines[0]->getName();
const int superHullCapacityAtStartUp = bodies[SUPER_PART_ROW]->getwMax();

template <typename Part>
void expectIdsMatchRows(const Part* const (&table)[CATALOG_ROWS]) {
    for (int row = 0; row < CATALOG_ROWS; ++row) {
        ASSERT_NE(table[row], nullptr) << row;
        EXPECT_EQ(table[row]->getID(), row);
        EXPECT_NE(table[row]->getName(), nullptr);
    }
}

}  // namespace

TEST(Catalog, TablesAreReadyBeforeOtherGlobals) {
    EXPECT_EQ(firstEngineAtStartUp, "SteelTurtle");
    EXPECT_EQ(superHullCapacityAtStartUp, 1000);
}

TEST(Catalog, EveryPartRowHoldsTheModelWithThatId) {
    expectIdsMatchRows(engines);
    expectIdsMatchRows(tanks);
    expectIdsMatchRows(shields);
    expectIdsMatchRows(bodies);
    expectIdsMatchRows(enCol);
    expectIdsMatchRows(weapons);
}

TEST(Catalog, EngineFigures) {
    EXPECT_STREQ(engines[0]->getName(), "SteelTurtle");
    EXPECT_EQ(engines[0]->getHealth(), 100);
    EXPECT_EQ(engines[0]->getValue(), 10000);
    EXPECT_EQ(engines[0]->getSpeed(), 15);
    EXPECT_EQ(engines[0]->getFuelUse(), 1);
    EXPECT_STREQ(engines[7]->getName(), "SpaceDash");
    EXPECT_EQ(engines[7]->getSpeed(), 8);
    EXPECT_EQ(engines[7]->getFuelUse(), 4);
    // Row 13 breaks the 50-step pattern of health and value.
    EXPECT_STREQ(engines[13]->getName(), "Flame950");
    EXPECT_EQ(engines[13]->getHealth(), 800);
    EXPECT_EQ(engines[13]->getValue(), 75000);
    EXPECT_EQ(engines[13]->getSpeed(), 2);
    EXPECT_EQ(engines[13]->getFuelUse(), 7);
}

TEST(Catalog, TankShieldHullAndCollectorFigures) {
    EXPECT_STREQ(tanks[0]->getName(), "SmallTank");
    EXPECT_EQ(tanks[0]->getMax(), 1000);
    EXPECT_STREQ(tanks[8]->getName(), "PeserY");
    EXPECT_EQ(tanks[8]->getHealth(), 500);
    EXPECT_EQ(tanks[8]->getValue(), 45000);
    EXPECT_EQ(tanks[13]->getMax(), 8000);

    EXPECT_STREQ(shields[0]->getName(), "NONE");
    EXPECT_EQ(shields[0]->getHealth(), 0);
    EXPECT_EQ(shields[0]->getValue(), 0);
    EXPECT_EQ(shields[0]->getShield(), 0);
    EXPECT_STREQ(shields[11]->getName(), "GoldenBlock");
    EXPECT_EQ(shields[11]->getHealth(), 1200);
    EXPECT_EQ(shields[11]->getValue(), 75000);
    EXPECT_EQ(shields[13]->getShield(), 1600);

    EXPECT_STREQ(bodies[0]->getName(), "LSteel");
    EXPECT_EQ(bodies[0]->getwMax(), 100);
    EXPECT_STREQ(bodies[1]->getName(), "Titan");
    EXPECT_EQ(bodies[1]->getHealth(), 2000);
    EXPECT_EQ(bodies[12]->getName(), std::string("Qts5XR7"));
    EXPECT_EQ(bodies[13]->getValue(), 160000);
    EXPECT_EQ(bodies[13]->getwMax(), 425);

    EXPECT_STREQ(enCol[0]->getName(), "NONE");
    EXPECT_EQ(enCol[0]->getEnergy(), 0);
    EXPECT_STREQ(enCol[1]->getName(), "LiquidSteel");
    EXPECT_EQ(enCol[4]->getName(), std::string("LiquidPlatinium"));
    EXPECT_EQ(enCol[4]->getEnergy(), 600);
    EXPECT_EQ(enCol[13]->getHealth(), 700);
    EXPECT_EQ(enCol[13]->getValue(), 89000);
    EXPECT_EQ(enCol[13]->getEnergy(), 5000);
}

TEST(Catalog, WeaponFiguresAreNotOrderedByPrice) {
    EXPECT_STREQ(weapons[0]->getName(), "NGunS100");
    EXPECT_EQ(weapons[0]->getDmg(), 50);
    EXPECT_EQ(weapons[0]->getShotSpeed(), 2);
    EXPECT_LT(weapons[1]->getValue(), weapons[0]->getValue());
    EXPECT_LT(weapons[12]->getValue(), weapons[11]->getValue());
    EXPECT_STREQ(weapons[6]->getName(), "FastGun750");
    EXPECT_EQ(weapons[6]->getShotSpeed(), 6);
    EXPECT_EQ(weapons[10]->getHealth(), 650);
    EXPECT_STREQ(weapons[13]->getName(), "DeathStar");
    EXPECT_EQ(weapons[13]->getDmg(), 2500);
    EXPECT_EQ(weapons[13]->getValue(), 150000);
}

TEST(Catalog, RowFourteenIsTheStrongestSuperPart) {
    EXPECT_STREQ(engines[14]->getName(), "RainbowDash2739");
    EXPECT_STREQ(tanks[14]->getName(), "BigDerpy");
    EXPECT_STREQ(shields[14]->getName(), "ShiningArmor");
    EXPECT_STREQ(bodies[14]->getName(), "IronWill");
    EXPECT_STREQ(enCol[14]->getName(), "WonderBolt");
    EXPECT_STREQ(weapons[14]->getName(), "G&PTrixie");
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot)
        EXPECT_EQ(catalogPart(slot, SUPER_PART_ROW)->getValue(), 6000000) << slot;

    for (int row = 0; row < SUPER_PART_ROW; ++row) {
        EXPECT_LT(engines[14]->getSpeed(), engines[row]->getSpeed());
        EXPECT_GT(tanks[14]->getMax(), tanks[row]->getMax());
        EXPECT_GT(shields[14]->getShield(), shields[row]->getShield());
        EXPECT_GT(bodies[14]->getwMax(), bodies[row]->getwMax());
        EXPECT_GT(enCol[14]->getEnergy(), enCol[row]->getEnergy());
        EXPECT_GT(weapons[14]->getDmg(), weapons[row]->getDmg());
        EXPECT_LT(catalogPart(SLOT_HULL, row)->getValue(), 6000000);
    }
    EXPECT_EQ(engines[14]->getFuelUse(), 1);
    EXPECT_EQ(weapons[14]->getShotSpeed(), 5);
    EXPECT_GT(weapons[6]->getShotSpeed(), weapons[14]->getShotSpeed());
}

TEST(Catalog, TradeGoods) {
    const char* names[TRADE_GOOD_COUNT] = {"Nano-Tech", "Robots",   "Computers",    "Nano-parts", "Mechanics",
                                           "Electronics", "Warheads", "Parts",      "Fiber",      "Glass",
                                           "Energy cells", "Alloys", "Wood",        "Cristals",   "Ore"};
    const short tiers[TRADE_GOOD_COUNT] = {5, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1};
    for (int row = 0; row < TRADE_GOOD_COUNT; ++row) {
        EXPECT_STREQ(tradeGoods[row]->getName(), names[row]);
        EXPECT_EQ(tradeGoods[row]->getTier(), tiers[row]) << names[row];
        // Only raw goods have a price of their own.
        if (tiers[row] != 1) {
            EXPECT_EQ(tradeGoods[row]->getValue(), 0) << names[row];
        }
    }
    EXPECT_EQ(tradeGoods[14]->getTier(), 1);
    EXPECT_EQ(tradeGoods[0]->getTier(), 5);
    EXPECT_EQ(tradeGoods[11]->getValue(), 0);
    EXPECT_EQ(tradeGoods[12]->getValue(), 5);
    EXPECT_EQ(tradeGoods[13]->getValue(), 100);
    EXPECT_EQ(tradeGoods[14]->getValue(), 20);
}

TEST(Catalog, NegativeHealthAndValueAreIgnored) {
    Engine engine = *engines[3];
    engine.setHealth(-1);
    engine.setValue(-5);
    EXPECT_EQ(engine.getHealth(), 250);
    EXPECT_EQ(engine.getValue(), 25000);
    engine.setHealth(0);
    engine.setValue(0);
    EXPECT_EQ(engine.getHealth(), 0);
    EXPECT_EQ(engine.getValue(), 0);
    engine.setValue(123);
    EXPECT_EQ(engine.getValue(), 123);
    // The catalog row itself is untouched.
    EXPECT_EQ(engines[3]->getHealth(), 250);
}

TEST(Catalog, PartLookupBySlot) {
    EXPECT_EQ(catalogPart(SLOT_HULL, 2), bodies[2]);
    EXPECT_EQ(catalogPart(SLOT_TANK, 2), tanks[2]);
    EXPECT_EQ(catalogPart(SLOT_ENGINE, 2), engines[2]);
    EXPECT_EQ(catalogPart(SLOT_SHIELD, 2), shields[2]);
    EXPECT_EQ(catalogPart(SLOT_COLLECTOR, 2), enCol[2]);
    EXPECT_EQ(catalogPart(SLOT_WEAPON, 2), weapons[2]);
    EXPECT_EQ(catalogPart(-1, 0), nullptr);
    EXPECT_EQ(catalogPart(6, 0), nullptr);
    EXPECT_EQ(catalogPart(SLOT_HULL, -1), nullptr);
    EXPECT_EQ(catalogPart(SLOT_HULL, 15), nullptr);
}
