#include "core/Random.hpp"

#include <gtest/gtest.h>

using fennik::core::RandomSource;

// The game's looks depend on this exact sequence: it is the classic C runtime
// generator seeded with 1, whose first values are well known.
TEST(RandomSource, StartsWithTheClassicSequenceAndStaysInRange)
{
    RandomSource random;
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
    EXPECT_EQ(random.next(), 26500);
    for (int i = 0; i < 100000; ++i) {
        int value = random.next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RandomSource::maxValue);
    }
}
