#include "core/Noise.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using fennik::core::Noise;
using fennik::core::NoiseType;

namespace {

std::vector<float> sampleGrid(NoiseType type, int seed, float origin, float step, int count)
{
    Noise noise(seed);
    noise.setNoiseType(type);
    noise.setFrequency(1.0f);
    std::vector<float> values;
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < count; ++column)
            values.push_back(noise.getNoise(origin + column * step, origin + row * step));
    return values;
}

class EachNoiseType : public ::testing::TestWithParam<NoiseType> {};

} // namespace

TEST_P(EachNoiseType, SameSeedGivesTheSameFieldAndOtherSeedsOthers)
{
    const auto field = sampleGrid(GetParam(), 1337, -30.3f, 0.73f, 40);
    EXPECT_EQ(sampleGrid(GetParam(), 1337, -30.3f, 0.73f, 40), field);
    for (int seed : {0, 1338, -1337}) {
        const auto other = sampleGrid(GetParam(), seed, -30.3f, 0.73f, 40);
        int same = 0;
        for (std::size_t i = 0; i < field.size(); ++i)
            same += std::abs(field[i] - other[i]) < 1e-3f ? 1 : 0;
        EXPECT_LT(same, static_cast<int>(field.size()) / 2) << "seed " << seed;
    }
}

TEST_P(EachNoiseType, StaysInsideMinusOneToOneUsesTheRangeAndHasNoSeams)
{
    // Negative coordinates included: the lattice wrap and floor must hold there too.
    const auto values = sampleGrid(GetParam(), 7, -60.17f, 0.173f, 700);
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    EXPECT_GE(*lowest, -1.0f);
    EXPECT_LE(*highest, 1.0f);
    EXPECT_LT(*lowest, -0.6f);
    EXPECT_GT(*highest, 0.3f);

    // Tiny steps along a row cross many cell borders, where a seam would show.
    Noise noise(42);
    noise.setNoiseType(GetParam());
    noise.setFrequency(1.0f);
    float steepest = 0.0f;
    for (int i = 1; i <= 16000; ++i)
        steepest = std::max(steepest, std::abs(noise.getNoise(-8.0f + i * 1e-3f, 0.25f) -
                                               noise.getNoise(-8.0f + (i - 1) * 1e-3f, 0.25f)));
    EXPECT_LT(steepest, 0.01f);
}

INSTANTIATE_TEST_SUITE_P(Noise, EachNoiseType, ::testing::Values(NoiseType::Perlin, NoiseType::Cellular),
                         [](const auto& info) { return info.param == NoiseType::Perlin ? "Perlin" : "Cellular"; });
