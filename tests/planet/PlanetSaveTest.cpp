// The planet's 116-byte record.

#include <gtest/gtest.h>

#include <string>

#include "catalog/Random.h"
#include "planet/Planet.h"

namespace {

savePlanetData recordOf(const Planet& planet) {
    savePlanetData data;
    data.bytes.fill(0xAB);  // every byte must be written, reserved ones as zero
    planet.SaveToFile(&data);
    return data;
}

}  // namespace

TEST(PlanetRecord, FieldsLieAtTheirOffsets) {
    Planet planet(3, -2);
    planet.setrX(77);
    planet.setrY(-2);
    planet.setgX(-4000);
    planet.setRarity(true);
    planet.setName("ABCDE");
    planet.setGood(0, 1000);
    planet.setGood(14, 258);
    const savePlanetData data = recordOf(planet);
    const std::uint8_t* r = data.bytes.data();

    EXPECT_EQ(r[0], 77);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 0xFE);
    EXPECT_EQ(r[3], 0xFF);
    EXPECT_EQ(record::get16(r + 4), -4000);
    EXPECT_EQ(r[8], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 9), 6), std::string("ABCDE\0", 6));
    EXPECT_EQ(r[15], 0);
    EXPECT_EQ(record::get32(r + 16), 1000);
    EXPECT_EQ(r[16 + 14 * 4], 2);
    EXPECT_EQ(r[16 + 14 * 4 + 1], 1);
    EXPECT_EQ(record::get32(r + 76), planet.getPopulation());
    EXPECT_EQ(record::get16(r + 80), planet.getFacilityCount());
    EXPECT_EQ(record::get16(r + 92), planet.getInputCount());
    for (int i = 0; i < Planet::MAX_INPUTS; ++i) EXPECT_EQ(record::get16(r + 94 + 2 * i), planet.getFacilityInput(i));
    EXPECT_EQ(r[114], 0);
    EXPECT_EQ(r[115], 0);

    planet.setName("Q");
    const savePlanetData shortName = recordOf(planet);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(shortName.bytes.data() + 9), 6), std::string("Q\0\0\0\0\0", 6));
}

TEST(PlanetRecord, RoundTripKeepsEveryField) {
    rng::srand(5);
    for (int n = 0; n < 200; ++n) {
        const Planet original(n % 101 - 50, 50 - n % 101);
        Planet copy(0, 0);
        const savePlanetData data = recordOf(original);
        ASSERT_TRUE(copy.LoadFromFile(&data));
        ASSERT_EQ(recordOf(copy).bytes, data.bytes);
        ASSERT_STREQ(copy.getName(), original.getName());
        ASSERT_EQ(copy.getgY(), original.getgY());
    }
}

TEST(PlanetRecord, NameIsAlwaysTerminated) {
    Planet planet(0, 0);
    savePlanetData data = recordOf(planet);
    for (int i = 0; i < 6; ++i) data.bytes[planetRec::name + i] = static_cast<std::uint8_t>('K' + i);
    ASSERT_TRUE(planet.LoadFromFile(&data));
    EXPECT_STREQ(planet.getName(), "KLMNO");
}

TEST(PlanetRecord, DamagedRecordsAreRefusedWithoutChange) {
    rng::srand(11);
    Planet planet(0, 0);
    const savePlanetData sound = recordOf(planet);
    struct Damage {
        std::size_t offset;
        int value;
        bool wide;
    };
    const Damage damages[] = {
        {planetRec::rX, 80, false},           {planetRec::rX, -1, false},
        {planetRec::rY, 25, false},           {planetRec::facilityCount, 6, false},
        {planetRec::facilityCount, -1, false}, {planetRec::inputCount, 3, false},
        {planetRec::facilityOutput + 8, 16, false}, {planetRec::facilityOutput, -1, false},
        {planetRec::facilityInputs + 18, 15, false}, {planetRec::facilityInputs, -2, false},
        {planetRec::goods, -1, true},         {planetRec::goods + 56, 1001, true},
    };
    for (const Damage& damage : damages) {
        savePlanetData data = sound;
        if (damage.wide)
            record::put32(data.bytes.data() + damage.offset, damage.value);
        else
            record::put16(data.bytes.data() + damage.offset, static_cast<std::int16_t>(damage.value));
        EXPECT_FALSE(planet.LoadFromFile(&data)) << "offset " << damage.offset << " value " << damage.value;
        EXPECT_EQ(recordOf(planet).bytes, sound.bytes);
    }
    EXPECT_FALSE(planet.LoadFromFile(nullptr));
}
