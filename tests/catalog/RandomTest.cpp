#include <gtest/gtest.h>

#include "catalog/Random.h"

TEST(Random, KnownSequenceForAFixedSeed) {
    rng::srand(1);
    EXPECT_EQ(rng::rand(), 41);
    EXPECT_EQ(rng::rand(), 18467);
    EXPECT_EQ(rng::rand(), 6334);
    EXPECT_EQ(rng::rand(), 26500);
    EXPECT_EQ(rng::rand(), 19169);
}

TEST(Random, StaysInFifteenBitsAndRepeatsPerSeed) {
    rng::srand(12345);
    int first[100];
    for (int& value : first) {
        value = rng::rand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    rng::srand(12345);
    for (int value : first) EXPECT_EQ(rng::rand(), value);
}
