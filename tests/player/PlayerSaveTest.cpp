#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>

#include "storage/SaveRecords.h"
#include "player/Player.h"

namespace {

// A player with something different in every saved field.
Player busyPlayer() {
    Player player;
    player.newPlayer(VICTORY_KNOWLEDGE);
    player.setPos(Coord{70, 20});
    player.changeWorldCoord(true, false, 17);
    player.changeWorldCoord(false, true, 42);
    player.addCredits(123456);
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) player.addTrade(good, good * 3 + 1);
    player.fitPart(SLOT_ENGINE, 14);
    player.fitPart(SLOT_WEAPON, 9);
    player.countMaxHealth();
    player.removeHealth(321);
    player.addAmmo(250);
    player.removeFuel(400);
    player.setWeight(88);
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        player.setaParts(kind, kind % 6);
        player.setResarch(kind, 5 - kind % 6);
    }
    player.setIsWinner(true);
    player.setDimX(-1234);
    player.setDimY(31000);
    return player;
}

void expectSamePlayer(const Player& a, const Player& b) {
    EXPECT_EQ(a.getrPos(), b.getrPos());
    EXPECT_EQ(a.getWorldX(), b.getWorldX());
    EXPECT_EQ(a.getWorldY(), b.getWorldY());
    EXPECT_EQ(a.getCredits(), b.getCredits());
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) EXPECT_EQ(a.getTrade(good), b.getTrade(good)) << good;
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        EXPECT_EQ(a.getaParts(kind), b.getaParts(kind)) << kind;
        EXPECT_EQ(a.getResarch(kind), b.getResarch(kind)) << kind;
    }
    EXPECT_EQ(a.getVicType(), b.getVicType());
    EXPECT_EQ(a.getIsWinner(), b.getIsWinner());
    EXPECT_EQ(a.getDim(), b.getDim());
    EXPECT_EQ(a.getMaxHealth(), b.getMaxHealth());
    EXPECT_EQ(a.getaHealth(), b.getaHealth());
    EXPECT_EQ(a.getaFuel(), b.getaFuel());
    EXPECT_EQ(a.getaShield(), b.getaShield());
    EXPECT_EQ(a.getaEnergy(), b.getaEnergy());
    EXPECT_EQ(a.getaWeight(), b.getaWeight());
    EXPECT_EQ(a.getAmmo(), b.getAmmo());
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) EXPECT_EQ(a.getPartId(slot), b.getPartId(slot)) << slot;
}

savePlayerData recordOf(const Player& player) {
    savePlayerData data;
    player.SaveToFile(&data);
    return data;
}

}  // namespace

TEST(PlayerRecord, FieldsLandAtTheirOffsets) {
    const Player player = busyPlayer();
    savePlayerData data;
    data.bytes.fill(0xAB);  // reserved bytes must be rewritten as zero
    player.SaveToFile(&data);
    const std::uint8_t* bytes = data.bytes.data();

    EXPECT_EQ(record::get16(bytes + 0), 70);
    EXPECT_EQ(record::get16(bytes + 2), 20);
    EXPECT_EQ(record::get32(bytes + 4), 0);
    EXPECT_EQ(record::get32(bytes + 8), -17);
    EXPECT_EQ(record::get32(bytes + 12), 42);
    EXPECT_EQ(record::get32(bytes + 16), 133456);
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) EXPECT_EQ(record::get32(bytes + 20 + 4 * good), good * 3 + 1);
    // The ship record sits at 80: its maximum health, ammo and engine row.
    EXPECT_EQ(record::get32(bytes + 80), player.getMaxHealth());
    EXPECT_EQ(record::get32(bytes + 84), 250);
    EXPECT_EQ(record::get32(bytes + 80 + 28 + 4 * SLOT_ENGINE), 14);
    EXPECT_EQ(record::get32(bytes + 80 + 28 + 4 * SLOT_WEAPON), 9);
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        EXPECT_EQ(record::get16(bytes + 132 + 2 * kind), kind % 6);
        EXPECT_EQ(record::get16(bytes + 146 + 2 * kind), 5 - kind % 6);
    }
    EXPECT_EQ(record::get16(bytes + 160), 2);
    EXPECT_EQ(bytes[162], 1);
    EXPECT_EQ(bytes[163], 0);
    EXPECT_EQ(record::get16(bytes + 164), -1234);
    EXPECT_EQ(record::get16(bytes + 166), 31000);
}

TEST(PlayerRecord, RoundTripRestoresEverySavedField) {
    const Player saved = busyPlayer();
    const savePlayerData data = recordOf(saved);
    Player loaded;
    ASSERT_TRUE(loaded.LoadFromFile(&data));
    expectSamePlayer(loaded, saved);
    EXPECT_EQ(loaded.getEngine(), engines[14]);

    const Player fresh;
    const savePlayerData freshData = recordOf(fresh);
    ASSERT_TRUE(loaded.LoadFromFile(&freshData));
    expectSamePlayer(loaded, fresh);
    EXPECT_EQ(loaded.getMaxHealth(), 1400);
}

TEST(PlayerRecord, ReservedValueTravelsThroughTheRecord) {
    savePlayerData data = recordOf(Player());
    record::put32(data.bytes.data() + playerRec::reserved, 0x5EED);
    Player player;
    ASSERT_TRUE(player.LoadFromFile(&data));
    EXPECT_EQ(record::get32(recordOf(player).bytes.data() + playerRec::reserved), 0x5EED);
}

TEST(PlayerRecord, LoadingLeavesAPreparedJumpAlone) {
    const savePlayerData data = recordOf(busyPlayer());
    Player player;
    player.setHypData(7, -8, 9, 10, 11);
    ASSERT_TRUE(player.LoadFromFile(&data));
    EXPECT_TRUE(player.getHyperJump());
    EXPECT_EQ(player.getHyperJumpSectorCoord(), (Coord{7, -8}));

    Player idle;
    ASSERT_TRUE(idle.LoadFromFile(&data));
    EXPECT_FALSE(idle.getHyperJump());
}

TEST(PlayerRecord, EdgeValuesAreAccepted) {
    savePlayerData data = recordOf(Player());
    std::uint8_t* bytes = data.bytes.data();
    record::put16(bytes + playerRec::rX, 79);
    record::put16(bytes + playerRec::rY, 24);
    record::put32(bytes + playerRec::worldX, -50);
    record::put32(bytes + playerRec::worldY, 50);
    record::put32(bytes + playerRec::ship + shipRec::partIds, 14);
    Player player;
    ASSERT_TRUE(player.LoadFromFile(&data));
    EXPECT_EQ(player.getrPos(), (Coord{79, 24}));
    EXPECT_EQ(player.getaSectorNumber(), 50 * 101 - 50 + 5101);
    EXPECT_EQ(player.getBody(), bodies[14]);
}

TEST(PlayerRecord, DamagedRecordsAreRefusedWhole) {
    using Damage = std::function<void(std::uint8_t*)>;
    const Damage damages[] = {
        [](std::uint8_t* b) { record::put32(b + playerRec::worldX, 51); },
        [](std::uint8_t* b) { record::put32(b + playerRec::worldX, -51); },
        [](std::uint8_t* b) { record::put32(b + playerRec::worldY, INT_MIN); },
        [](std::uint8_t* b) { record::put32(b + playerRec::worldY, 51); },
        [](std::uint8_t* b) { record::put16(b + playerRec::rX, 80); },
        [](std::uint8_t* b) { record::put16(b + playerRec::rX, -1); },
        [](std::uint8_t* b) { record::put16(b + playerRec::rY, 25); },
        [](std::uint8_t* b) { record::put16(b + playerRec::rY, -1); },
        [](std::uint8_t* b) { record::put32(b + playerRec::ship + shipRec::partIds, 15); },
        [](std::uint8_t* b) { record::put32(b + playerRec::ship + shipRec::partIds + 4 * SLOT_WEAPON, -1); },
        [](std::uint8_t* b) { record::put16(b + playerRec::aParts + 2 * 3, 6); },
        [](std::uint8_t* b) { record::put16(b + playerRec::resarch + 2 * 6, -1); },
        [](std::uint8_t* b) { record::put16(b + playerRec::vicType, 3); },
        [](std::uint8_t* b) { record::put16(b + playerRec::vicType, -1); },
    };
    const Player original = busyPlayer();
    int index = 0;
    for (const Damage& damage : damages) {
        // Every other field differs from `original`, so a partial load would show.
        savePlayerData data = recordOf(Player());
        damage(data.bytes.data());
        Player player = original;
        EXPECT_FALSE(player.LoadFromFile(&data)) << "damage " << index;
        expectSamePlayer(player, original);
        ++index;
    }
    Player player;
    EXPECT_FALSE(player.LoadFromFile(nullptr));
}
