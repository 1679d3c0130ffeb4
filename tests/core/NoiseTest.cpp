#include "core/Noise.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using fennik::core::Noise;
using fennik::core::NoiseType;

namespace {

std::vector<float> sample(NoiseType type, int seed, float x0, float y0, float step, int columns, int rows)
{
    Noise noise(seed);
    noise.setNoiseType(type);
    noise.setFrequency(1.0f);
    std::vector<float> values;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            values.push_back(noise.getNoise(x0 + column * step, y0 + row * step));
    return values;
}

} // namespace

TEST(Noise, EachTypeFollowsItsSeedStaysInsideMinusOneToOneUsesTheRangeAndHasNoSeams)
{
    for (NoiseType type : {NoiseType::Perlin, NoiseType::Cellular}) {
        SCOPED_TRACE(type == NoiseType::Perlin ? "Perlin" : "Cellular");
        // Negative coordinates included: the lattice wrap and floor must hold there too.
        const auto values = sample(type, 7, -60.17f, -60.31f, 0.173f, 700, 700);
        const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
        EXPECT_GE(*lowest, -1.0f);
        EXPECT_LE(*highest, 1.0f);
        EXPECT_LT(*lowest, -0.6f);
        EXPECT_GT(*highest, 0.3f);

        // Tiny steps along a line cross many cell borders, where a seam would show.
        const auto line = sample(type, 42, -8.0f, 0.25f, 1e-3f, 16000, 1);
        for (std::size_t i = 1; i < line.size(); ++i)
            ASSERT_LT(std::abs(line[i] - line[i - 1]), 0.01f) << "at x = " << -8.0f + i * 1e-3f;
        EXPECT_EQ(sample(type, 42, -8.0f, 0.25f, 1e-3f, 16000, 1), line);
        for (int seed : {0, 43, -42})
            EXPECT_NE(sample(type, seed, -8.0f, 0.25f, 1e-3f, 16000, 1), line) << "seed " << seed;
    }
}
