// Planet generation, accessors and the production tick.

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "catalog/Random.h"
#include "planet/Planet.h"

namespace {

enum Good { NanoTech = 0, NanoParts = 3, Warheads = 6, Glass = 9, EnergyCells = 10, Alloys = 11,
            Wood = 12, Cristals = 13, Ore = 14 };

// A planet with exactly these facilities (recipes from the table) and every
// stock at `stock`. Facilities can only come from generation or a record.
Planet planetWith(std::initializer_list<int> outputs, int stock = 500) {
    Planet planet(0, 0);
    savePlanetData data;
    planet.SaveToFile(&data);
    std::uint8_t* r = data.bytes.data();
    const auto count = static_cast<std::int16_t>(outputs.size());
    record::put16(r + planetRec::facilityCount, count);
    record::put16(r + planetRec::inputCount, static_cast<std::int16_t>(2 * count));
    for (int k = 0; k < Planet::MAX_FACILITIES; ++k) record::put16(r + planetRec::facilityOutput + 2 * k, 0);
    for (int i = 0; i < Planet::MAX_INPUTS; ++i) record::put16(r + planetRec::facilityInputs + 2 * i, 0);
    int k = 0;
    for (int output : outputs) {
        const Planet::Recipe recipe = Planet::recipeOf(output);
        record::put16(r + planetRec::facilityOutput + 2 * k, static_cast<std::int16_t>(output));
        record::put16(r + planetRec::facilityInputs + 4 * k, recipe.first);
        record::put16(r + planetRec::facilityInputs + 4 * k + 2, recipe.second);
        ++k;
    }
    EXPECT_TRUE(planet.LoadFromFile(&data));
    for (int g = 0; g < Planet::GOOD_COUNT; ++g) planet.setGood(g, stock);
    return planet;
}

void expectStocks(const Planet& planet, std::initializer_list<std::pair<int, int>> expected) {
    for (auto [good, count] : expected) EXPECT_EQ(planet.getGood(good), count) << "good " << good;
}

}  // namespace

TEST(PlanetGeneration, DrawsInTheFixedOrder) {
    rng::srand(1234);
    const int column = rng::rand() % 76 + 2, row = rng::rand() % 21 + 2, population = rng::rand() % 98 + 3;
    const bool rare = rng::rand() % 100 + 1 > 94;
    const int nameLength = rng::rand() % 5 + 1;

    rng::srand(1234);
    const Planet planet(-50, 50);
    EXPECT_EQ(planet.getrX(), column);
    EXPECT_EQ(planet.getrY(), row);
    EXPECT_EQ(planet.getgX(), -50 * 80 + column);
    EXPECT_EQ(planet.getgY(), 50 * 25 + row);
    EXPECT_EQ(planet.getPopulation(), population);
    EXPECT_EQ(planet.getRarity(), rare);
    EXPECT_EQ(std::strlen(planet.getName()), static_cast<std::size_t>(nameLength));
}

TEST(PlanetGeneration, EveryPlanetKeepsTheRules) {
    rng::srand(7);
    int rare = 0;
    for (int n = 0; n < 2000; ++n) {
        const Planet p(n % 101 - 50, 50 - n % 101);
        ASSERT_GE(p.getrX(), 2);
        ASSERT_LE(p.getrX(), 77);
        ASSERT_GE(p.getrY(), 2);
        ASSERT_LE(p.getrY(), 22);
        ASSERT_GE(p.getPopulation(), 3);
        ASSERT_LE(p.getPopulation(), 100);
        const std::size_t length = std::strlen(p.getName());
        ASSERT_GE(length, 1u);
        ASSERT_LE(length, 5u);
        for (std::size_t i = 0; i < length; ++i) ASSERT_TRUE(p.getName()[i] >= 'A' && p.getName()[i] <= 'Z');
        for (int g = 0; g < Planet::GOOD_COUNT; ++g) {
            ASSERT_GE(p.getGood(g), 250);
            ASSERT_LE(p.getGood(g), 500);
        }
        const int count = p.getFacilityCount();
        ASSERT_GE(count, 0);
        ASSERT_LE(count, 5);
        ASSERT_EQ(p.getInputCount(), 2 * count);
        for (int k = 0; k < Planet::MAX_FACILITIES; ++k) {
            const int output = p.getFacilityOutput(k);
            if (k >= count) {
                ASSERT_EQ(output, 0);
                ASSERT_EQ(p.getFacilityInput(2 * k), 0);
                ASSERT_EQ(p.getFacilityInput(2 * k + 1), 0);
                continue;
            }
            ASSERT_GE(output, 0);
            ASSERT_LE(output, 15);
            ASSERT_EQ(p.getFacilityInput(2 * k), Planet::recipeOf(output).first);
            ASSERT_EQ(p.getFacilityInput(2 * k + 1), Planet::recipeOf(output).second);
        }
        rare += p.getRarity() ? 1 : 0;
    }
    // 6 in 100 are rare: far from none and far from most.
    EXPECT_GT(rare, 40);
    EXPECT_LT(rare, 250);
}

TEST(PlanetAccessors, RefuseOutOfRangeValues) {
    Planet planet(0, 0);
    planet.setGood(3, 1000);
    planet.setGood(3, 1001);
    planet.setGood(3, -1);
    EXPECT_EQ(planet.getGood(3), 1000);
    planet.setGood(15, 10);
    planet.setGood(-1, 10);
    EXPECT_EQ(planet.getGood(15), 0);
    EXPECT_EQ(planet.getGood(-1), 0);

    planet.setName("ABCDE");
    planet.setName("ABCDEF");
    EXPECT_STREQ(planet.getName(), "ABCDE");
    planet.setName("XY");
    EXPECT_STREQ(planet.getName(), "XY");
    EXPECT_EQ(std::memcmp(planet.getName(), "XY\0\0\0\0", 6), 0);

    EXPECT_EQ(planet.getFacilityOutput(5), 0);
    EXPECT_EQ(planet.getFacilityInput(-1), 0);
}

TEST(PlanetTick, WithoutFacilitiesNothingChanges) {
    Planet planet = planetWith({}, 300);
    planet.tick();
    for (int g = 0; g < Planet::GOOD_COUNT; ++g) EXPECT_EQ(planet.getGood(g), 300);
}

TEST(PlanetTick, FacilityNeedsFiveOfEachInput) {
    Planet planet = planetWith({Glass}, 300);
    planet.setGood(Ore, 4);
    planet.tick();
    expectStocks(planet, {{Ore, 4}, {Cristals, 300}, {Glass, 300}});
}

TEST(PlanetTick, OutputStopsAtCapacityAndConsumedUnitsAreLost) {
    Planet planet = planetWith({Glass}, 5);
    planet.setGood(Glass, 995);
    planet.tick();
    expectStocks(planet, {{Ore, 0}, {Cristals, 0}, {Glass, 1000}});

    Planet full = planetWith({Glass}, 300);
    full.setGood(Glass, 996);
    full.tick();
    expectStocks(full, {{Ore, 295}, {Cristals, 295}, {Glass, 996}});
}

TEST(PlanetTick, EarlierFacilityTakesTheLastUnits) {
    Planet planet = planetWith({EnergyCells, Alloys}, 400);
    planet.setGood(Wood, 5);
    planet.tick();
    expectStocks(planet, {{Wood, 0}, {Cristals, 395}, {EnergyCells, 405}, {Ore, 400}, {Alloys, 400}});
}

TEST(PlanetTick, ProductsAreNotConsumedInTheSameTick) {
    // Warheads need Glass, which the facility after them makes.
    Planet planet = planetWith({Warheads, Glass}, 400);
    planet.setGood(Glass, 0);
    planet.tick();
    expectStocks(planet, {{Glass, 5}, {EnergyCells, 400}, {Warheads, 400}});
    planet.tick();
    expectStocks(planet, {{Glass, 5}, {EnergyCells, 395}, {Warheads, 405}});
}

TEST(PlanetTick, RawMaterialsAreMinedAndNoGoodChangesNothing) {
    Planet planet = planetWith({Wood, 15, Ore}, 995);
    planet.setGood(Ore, 996);
    planet.tick();
    expectStocks(planet, {{Wood, 1000}, {Cristals, 995}, {Ore, 996}});
    for (int g = 0; g < Planet::GOOD_COUNT; ++g) {
        if (g == Wood || g == Ore) continue;
        EXPECT_EQ(planet.getGood(g), 995);
    }
}

TEST(PlanetTick, SameGoodTwiceNeverGoesBelowZero) {
    // Only a hand-edited record has such a facility.
    Planet planet = planetWith({Glass}, 5);
    savePlanetData data;
    planet.SaveToFile(&data);
    record::put16(data.bytes.data() + planetRec::facilityInputs + 2, Ore);
    ASSERT_TRUE(planet.LoadFromFile(&data));
    planet.tick();
    EXPECT_EQ(planet.getGood(Ore), 5);
    EXPECT_EQ(planet.getGood(Glass), 5);
}

TEST(PlanetTick, StocksStayWithinCapacityOverManyTicks) {
    rng::srand(99);
    for (int n = 0; n < 300; ++n) {
        Planet planet(0, 0);
        for (int t = 0; t < 300; ++t) planet.tick();
        for (int g = 0; g < Planet::GOOD_COUNT; ++g) {
            ASSERT_GE(planet.getGood(g), 0);
            ASSERT_LE(planet.getGood(g), 1000);
        }
    }
}
