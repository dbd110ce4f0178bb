#include <gtest/gtest.h>

#include <climits>

#include "catalog/Ship.h"
#include "storage/SaveRecords.h"

namespace {

// A ship that can hold shield and energy: 200 shield, 10000 energy.
Ship shieldedShip() {
    Ship ship;
    ship.fitPart(SLOT_SHIELD, 2);
    ship.fitPart(SLOT_COLLECTOR, 14);
    ship.countMaxHealth();
    return ship;
}

void expectSameShip(const Ship& a, const Ship& b) {
    EXPECT_EQ(a.getMaxHealth(), b.getMaxHealth());
    EXPECT_EQ(a.getaHealth(), b.getaHealth());
    EXPECT_EQ(a.getaShield(), b.getaShield());
    EXPECT_EQ(a.getaFuel(), b.getaFuel());
    EXPECT_EQ(a.getaEnergy(), b.getaEnergy());
    EXPECT_EQ(a.getaWeight(), b.getaWeight());
    EXPECT_EQ(a.getAmmo(), b.getAmmo());
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) EXPECT_EQ(a.getPartId(slot), b.getPartId(slot)) << slot;
}

}  // namespace

TEST(Ship, NewShipIsFittedWithRowZero) {
    Ship ship;
    EXPECT_EQ(ship.getMaxHealth(), 1400);
    EXPECT_EQ(ship.getaHealth(), 1400);
    EXPECT_EQ(ship.getaFuel(), 1000);
    EXPECT_EQ(ship.getMaxFuel(), 1000);
    EXPECT_EQ(ship.getMaxShield(), 0);
    EXPECT_EQ(ship.getMaxEnergy(), 0);
    EXPECT_EQ(ship.getMaxWeight(), 100);
    EXPECT_EQ(ship.getShipSpeed(), 15);
    EXPECT_EQ(ship.getFuelUsage(), 1);
    EXPECT_EQ(ship.getAmmo(), 0);
    EXPECT_EQ(ship.getaShield(), 0);
    EXPECT_EQ(ship.getaEnergy(), 0);
    EXPECT_EQ(ship.getaWeight(), 0);
    EXPECT_EQ(ship.getWeapon()->getDmg(), 50);
    EXPECT_EQ(ship.getWeapon()->getShotSpeed(), 2);
    EXPECT_EQ(ship.getBody(), bodies[0]);
    EXPECT_EQ(ship.getTank(), tanks[0]);
    EXPECT_EQ(ship.getEngine(), engines[0]);
    EXPECT_EQ(ship.getShieldGen(), shields[0]);
    EXPECT_EQ(ship.getEnergyCollector(), enCol[0]);
    EXPECT_EQ(ship.getWeapon(), weapons[0]);
}

TEST(Ship, NewShipResetsEverything) {
    Ship ship = shieldedShip();
    ship.fitPart(SLOT_HULL, 5);
    ship.addEnergy(500);
    ship.chargeShield();
    ship.addAmmo(40);
    ship.removeHealth(300);
    ship.removeFuel(10);
    ship.setWeight(7);
    ship.newShip();
    expectSameShip(ship, Ship());
}

TEST(Ship, FitPartIgnoresRowsAndSlotsOutsideTheCatalog) {
    Ship ship;
    ship.fitPart(SLOT_ENGINE, 14);
    EXPECT_EQ(ship.getPartId(SLOT_ENGINE), 14);
    EXPECT_EQ(ship.getShipSpeed(), 0);
    // Fitting alone does not recount the maximum health.
    EXPECT_EQ(ship.getMaxHealth(), 1400);
    ship.fitPart(SLOT_ENGINE, 15);
    ship.fitPart(SLOT_ENGINE, -1);
    ship.fitPart(6, 3);
    ship.fitPart(-1, 3);
    EXPECT_EQ(ship.getPartId(SLOT_ENGINE), 14);
    for (int slot : {SLOT_HULL, SLOT_TANK, SLOT_SHIELD, SLOT_COLLECTOR, SLOT_WEAPON})
        EXPECT_EQ(ship.getPartId(slot), 0);
    EXPECT_EQ(ship.getPartId(6), -1);
    EXPECT_EQ(ship.getPartId(-1), -1);
}

TEST(Ship, PartNamesBySlot) {
    Ship ship;
    EXPECT_STREQ(ship.getName(SLOT_WEAPON), "NGunS100");
    EXPECT_STREQ(ship.getName(SLOT_HULL), "LSteel");
    EXPECT_STREQ(ship.getName(SLOT_SHIELD), "NONE");
    EXPECT_EQ(ship.getName(6), nullptr);
    EXPECT_EQ(ship.getName(-1), nullptr);
}

TEST(Ship, HullChangeMovesOnlyTheMaximum) {
    Ship ship;
    ship.fitPart(SLOT_HULL, 1);  // Titan, 2000
    ship.countMaxHealth();
    EXPECT_EQ(ship.getMaxHealth(), 2400);
    EXPECT_EQ(ship.getaHealth(), 1400);
    ship.addHealth(1000);
    EXPECT_EQ(ship.getaHealth(), 2400);
    ship.fitPart(SLOT_HULL, 0);
    ship.countMaxHealth();
    EXPECT_EQ(ship.getMaxHealth(), 1400);
    EXPECT_EQ(ship.getaHealth(), 1400);
    // Health below the new maximum is kept.
    ship.removeHealth(1000);
    ship.fitPart(SLOT_HULL, 1);
    ship.countMaxHealth();
    ship.fitPart(SLOT_HULL, 0);
    ship.countMaxHealth();
    EXPECT_EQ(ship.getaHealth(), 400);
}

TEST(Ship, AddsClampAtCapacityAndRemovesAtZero) {
    Ship ship = shieldedShip();
    ship.removeFuel(997);
    ship.removeFuel(5);
    EXPECT_EQ(ship.getaFuel(), 0);
    ship.addFuel(1500);
    EXPECT_EQ(ship.getaFuel(), 1000);

    ship.addShield(150);
    ship.addShield(100);
    EXPECT_EQ(ship.getaShield(), 200);
    ship.removeShield(250);
    EXPECT_EQ(ship.getaShield(), 0);

    ship.removeHealth(1399);
    EXPECT_EQ(ship.getaHealth(), 1);
    ship.removeHealth(2);
    EXPECT_EQ(ship.getaHealth(), 0);
    ship.addHealth(5000);
    EXPECT_EQ(ship.getaHealth(), ship.getMaxHealth());

    ship.addEnergy(20000);
    EXPECT_EQ(ship.getaEnergy(), 10000);
    ship.removeEnergy(10001);
    EXPECT_EQ(ship.getaEnergy(), 0);

    // A negative amount never leaves the range either: an add takes away
    // down to 0, a removal adds up to the capacity.
    ship.addFuel(-1200);
    EXPECT_EQ(ship.getaFuel(), 0);
    ship.removeFuel(-999999);
    EXPECT_EQ(ship.getaFuel(), ship.getMaxFuel());
}

TEST(Ship, AmmoHasNoCeilingButRefusesToGoNegative) {
    Ship ship;
    ship.addAmmo(3);
    ship.removeAmmo(5);
    EXPECT_EQ(ship.getAmmo(), 3);
    ship.removeAmmo(3);
    EXPECT_EQ(ship.getAmmo(), 0);
    ship.addAmmo(1000000);
    EXPECT_EQ(ship.getAmmo(), 1000000);
}

TEST(Ship, ExtremeAmountsStayWithinTheirLimits) {
    Ship ship = shieldedShip();
    ship.addFuel(INT_MAX);
    EXPECT_EQ(ship.getaFuel(), 1000);
    ship.addFuel(INT_MIN);
    EXPECT_EQ(ship.getaFuel(), 0);
    ship.removeFuel(INT_MAX);
    EXPECT_EQ(ship.getaFuel(), 0);

    ship.addHealth(INT_MAX);
    EXPECT_EQ(ship.getaHealth(), ship.getMaxHealth());
    ship.removeHealth(INT_MIN);  // removing a negative amount adds, up to the capacity
    EXPECT_EQ(ship.getaHealth(), ship.getMaxHealth());

    ship.addEnergy(INT_MAX);
    EXPECT_EQ(ship.getaEnergy(), 10000);
    ship.addShield(INT_MAX);
    EXPECT_EQ(ship.getaShield(), 200);
    ship.removeShield(INT_MIN);
    EXPECT_EQ(ship.getaShield(), 200);
    ship.removeEnergy(INT_MIN);
    EXPECT_EQ(ship.getaEnergy(), 10000);

    ship.addAmmo(INT_MAX);
    ship.addAmmo(INT_MAX);
    EXPECT_EQ(ship.getAmmo(), INT_MAX);
    ship.removeAmmo(INT_MIN);
    EXPECT_EQ(ship.getAmmo(), INT_MAX);
    ship.removeAmmo(INT_MAX);
    EXPECT_EQ(ship.getAmmo(), 0);
    ship.addAmmo(INT_MIN);
    EXPECT_EQ(ship.getAmmo(), 0);
}

TEST(Ship, WeightMustFitTheHull) {
    Ship ship;
    ship.setWeight(40);
    ship.setWeight(101);
    EXPECT_EQ(ship.getaWeight(), 40);
    ship.setWeight(-1);
    EXPECT_EQ(ship.getaWeight(), 40);
    ship.setWeight(100);
    EXPECT_EQ(ship.getaWeight(), 100);
    ship.setWeight(0);
    EXPECT_EQ(ship.getaWeight(), 0);
}

TEST(Ship, NoCollectorStoresNoEnergy) {
    Ship ship;
    ship.fitPart(SLOT_SHIELD, 2);
    ship.addEnergy(50);
    EXPECT_EQ(ship.getaEnergy(), 0);
    ship.chargeShield();
    EXPECT_EQ(ship.getaShield(), 0);
}

TEST(Ship, ChargeShieldFromEnergy) {
    {
        Ship ship = shieldedShip();
        ship.addShield(150);
        ship.addEnergy(30);
        ship.chargeShield();
        EXPECT_EQ(ship.getaShield(), 180);
        EXPECT_EQ(ship.getaEnergy(), 0);
    }
    {
        Ship ship = shieldedShip();
        ship.addShield(150);
        ship.addEnergy(80);
        ship.chargeShield();
        EXPECT_EQ(ship.getaShield(), 200);
        EXPECT_EQ(ship.getaEnergy(), 30);
    }
    {
        Ship ship = shieldedShip();
        ship.addShield(200);
        ship.addEnergy(80);
        ship.chargeShield();
        EXPECT_EQ(ship.getaShield(), 200);
        EXPECT_EQ(ship.getaEnergy(), 80);
    }
    {
        // Exactly the deficit: full shield, no energy left.
        Ship ship = shieldedShip();
        ship.addEnergy(200);
        ship.chargeShield();
        EXPECT_EQ(ship.getaShield(), 200);
        EXPECT_EQ(ship.getaEnergy(), 0);
    }
    {
        // A shield far below zero (only a damaged file holds one) still
        // charges without overflow.
        Ship ship = shieldedShip();
        saveShipData data;
        ship.SaveToFile(&data);
        record::put32(data.bytes.data() + 12, INT_MIN);
        ASSERT_TRUE(ship.LoadFromFile(&data));
        ship.addEnergy(10000);
        ship.chargeShield();
        EXPECT_EQ(ship.getaShield(), INT_MIN + 10000);
        EXPECT_EQ(ship.getaEnergy(), 0);
    }
}

TEST(ShipRecord, FieldsLandAtTheirOffsets) {
    Ship ship = shieldedShip();
    ship.fitPart(SLOT_WEAPON, 13);
    ship.fitPart(SLOT_TANK, 4);
    ship.countMaxHealth();
    ship.addAmmo(0x01020304);
    ship.removeHealth(7);
    ship.addShield(2);
    ship.addEnergy(33);
    ship.setWeight(99);
    saveShipData data;
    ship.SaveToFile(&data);
    const auto* bytes = data.bytes.data();
    EXPECT_EQ(record::get32(bytes + 0), ship.getMaxHealth());
    EXPECT_EQ(bytes[4], 0x04);
    EXPECT_EQ(bytes[5], 0x03);
    EXPECT_EQ(bytes[6], 0x02);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(record::get32(bytes + 8), 1400 - 7);  // fitting raised only the maximum
    EXPECT_EQ(record::get32(bytes + 12), 2);
    EXPECT_EQ(record::get32(bytes + 16), 1000);
    EXPECT_EQ(record::get32(bytes + 20), 33);
    EXPECT_EQ(record::get32(bytes + 24), 99);
    const int expectedRows[PART_SLOT_COUNT] = {0, 4, 0, 2, 14, 13};
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot)
        EXPECT_EQ(record::get32(bytes + 28 + 4 * slot), expectedRows[slot]) << slot;
}

TEST(ShipRecord, RoundTripKeepsPartsAndAmounts) {
    Ship fresh;
    saveShipData data;
    fresh.SaveToFile(&data);
    Ship loaded = shieldedShip();
    ASSERT_TRUE(loaded.LoadFromFile(&data));
    expectSameShip(loaded, fresh);
    EXPECT_EQ(loaded.getMaxHealth(), 1400);

    Ship fast;
    fast.fitPart(SLOT_ENGINE, 14);
    fast.countMaxHealth();
    fast.addAmmo(77);
    fast.removeFuel(123);
    fast.SaveToFile(&data);
    Ship back;
    ASSERT_TRUE(back.LoadFromFile(&data));
    expectSameShip(back, fast);
    EXPECT_EQ(back.getEngine(), engines[14]);
}

TEST(ShipRecord, StoredMaximumHealthIsKept) {
    saveShipData data;
    Ship().SaveToFile(&data);
    record::put32(data.bytes.data() + shipRec::maxHealth, 1234);
    Ship ship;
    ASSERT_TRUE(ship.LoadFromFile(&data));
    EXPECT_EQ(ship.getMaxHealth(), 1234);
}

TEST(ShipRecord, DamagedPartRowsAreRefused) {
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) {
        for (int badRow : {-1, 15, INT_MAX}) {
            saveShipData data;
            Ship().SaveToFile(&data);
            record::put32(data.bytes.data() + shipRec::aFuel, 5);
            record::put32(data.bytes.data() + shipRec::partIds + 4 * slot, badRow);
            Ship ship = shieldedShip();
            const Ship before = ship;
            EXPECT_FALSE(ship.LoadFromFile(&data)) << slot << " " << badRow;
            expectSameShip(ship, before);
        }
    }
    Ship ship;
    EXPECT_FALSE(ship.LoadFromFile(nullptr));
}
