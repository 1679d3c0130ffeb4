#include "core/Noise.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using fennik::core::Noise;
using fennik::core::NoiseType;

namespace {

Noise makeNoise(NoiseType type, int seed = 1337, float frequency = 1.0f)
{
    Noise noise(seed);
    noise.setNoiseType(type);
    noise.setFrequency(frequency);
    return noise;
}

std::vector<float> sampleGrid(const Noise& noise, float originX, float originY, float step, int count)
{
    std::vector<float> values;
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < count; ++column)
            values.push_back(noise.getNoise(originX + column * step, originY + row * step));
    return values;
}

class EachNoiseType : public ::testing::TestWithParam<NoiseType> {};

} // namespace

TEST_P(EachNoiseType, SameSeedGivesSameFieldAcrossInstancesAndReseedingAndOtherSeedsOthers)
{
    const Noise first = makeNoise(GetParam(), 1337, 0.01f);
    const auto expected = sampleGrid(first, -300.0f, 41.5f, 7.3f, 40);
    EXPECT_EQ(sampleGrid(makeNoise(GetParam(), 1337, 0.01f), -300.0f, 41.5f, 7.3f, 40), expected);

    // Sampled under another seed at the very same spot first: nothing of the old
    // field may linger after reseeding.
    Noise reseeded = makeNoise(GetParam(), 99, 0.01f);
    const float before = reseeded.getNoise(-300.0f, 41.5f);
    reseeded.setSeed(1337);
    EXPECT_NE(reseeded.getNoise(-300.0f, 41.5f), before);
    EXPECT_EQ(sampleGrid(reseeded, -300.0f, 41.5f, 7.3f, 40), expected);

    // Any other seed, negative ones too, changes most of the field.
    const auto reference = sampleGrid(makeNoise(GetParam(), 1337, 0.05f), 0.3f, 0.7f, 3.1f, 30);
    for (int seed : {0, 1, 1338, -1337}) {
        const auto other = sampleGrid(makeNoise(GetParam(), seed, 0.05f), 0.3f, 0.7f, 3.1f, 30);
        int differing = 0;
        for (std::size_t i = 0; i < reference.size(); ++i)
            differing += std::abs(reference[i] - other[i]) > 1e-3f ? 1 : 0;
        EXPECT_GT(differing, static_cast<int>(reference.size()) / 2) << "seed " << seed;
    }
}

TEST_P(EachNoiseType, StaysInsideMinusOneToOneAndUsesTheRange)
{
    const Noise noise = makeNoise(GetParam(), 7, 1.0f);
    // Negative coordinates included: the lattice wrap and floor must hold there too.
    const auto values = sampleGrid(noise, -60.17f, -60.31f, 0.173f, 700);
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    EXPECT_GE(*lowest, -1.0f);
    EXPECT_LE(*highest, 1.0f);
    EXPECT_LT(*lowest, -0.6f);
    EXPECT_GT(*highest, 0.3f);
}

TEST_P(EachNoiseType, SmallStepsGiveSmallChangesAlsoAcrossCellBorders)
{
    const Noise noise = makeNoise(GetParam(), 42, 1.0f);
    const float step = 1e-3f;
    float steepest = 0.0f;
    // Lines that cross many cell borders along x (at fixed y) and along y (at fixed x),
    // where a seam would show.
    const auto walk = [&](float fixed, bool alongX) {
        const auto at = [&](float t) { return alongX ? noise.getNoise(t, fixed) : noise.getNoise(fixed, t); };
        float previous = at(-8.0f);
        for (int i = 1; i <= 16000; ++i) {
            const float value = at(-8.0f + i * step);
            steepest = std::max(steepest, std::abs(value - previous));
            previous = value;
        }
    };
    for (float y : {-3.5f, -0.999f, 0.0f, 0.25f, 2.0f, 7.77f})
        walk(y, true);
    for (float x : {-2.5f, 0.0f, 3.3f})
        walk(x, false);
    EXPECT_LT(steepest, 0.01f);
    EXPECT_GT(steepest, 0.0f);
}

TEST_P(EachNoiseType, FrequencyScalesTheCoordinates)
{
    const Noise fine = makeNoise(GetParam(), 5, 0.01f);
    const Noise coarse = makeNoise(GetParam(), 5, 1.0f);
    for (float x : {-250.0f, 13.0f, 77.7f, 420.5f})
        for (float y : {-31.0f, 0.5f, 99.0f})
            EXPECT_NEAR(fine.getNoise(x, y), coarse.getNoise(x * 0.01f, y * 0.01f), 1e-5f) << x << ", " << y;
}

TEST_P(EachNoiseType, DoesNotTileAtShortPeriods)
{
    // A hash that only looks at a few bits of the cell would repeat the field
    // every few cells and show as a visible grid on the gauge and in the drift.
    const Noise noise = makeNoise(GetParam(), 3, 1.0f);
    const auto reference = sampleGrid(noise, 0.37f, 0.61f, 0.5f, 16);
    for (int period : {1, 2, 4, 8, 16, 32, 64, 128}) {
        const auto shiftedX = sampleGrid(noise, 0.37f + period, 0.61f, 0.5f, 16);
        const auto shiftedY = sampleGrid(noise, 0.37f, 0.61f + period, 0.5f, 16);
        EXPECT_NE(reference, shiftedX) << "repeats every " << period << " cells in x";
        EXPECT_NE(reference, shiftedY) << "repeats every " << period << " cells in y";
    }
}

INSTANTIATE_TEST_SUITE_P(Noise, EachNoiseType, ::testing::Values(NoiseType::Perlin, NoiseType::Cellular),
                         [](const auto& info) { return info.param == NoiseType::Perlin ? "Perlin" : "Cellular"; });

TEST(PerlinNoise, IsZeroOnEveryLatticePointAfterFrequency)
{
    const Noise noise = makeNoise(NoiseType::Perlin, 1337, 0.1f);
    for (int x = -50; x <= 50; x += 10)
        for (int y = -50; y <= 50; y += 10)
            EXPECT_FLOAT_EQ(noise.getNoise(static_cast<float>(x), static_cast<float>(y)), 0.0f) << x << ", " << y;
    // Between lattice points the field is not flat.
    EXPECT_NE(noise.getNoise(5.0f, 5.0f), 0.0f);
}

TEST(CellularNoise, ReachesMinusOneAtTheFeaturePointOfEveryCell)
{
    const Noise noise = makeNoise(NoiseType::Cellular, 1337, 1.0f);
    for (int cellX = -3; cellX < 3; ++cellX) {
        for (int cellY = -3; cellY < 3; ++cellY) {
            float lowest = 1.0f;
            for (int i = 0; i < 100; ++i)
                for (int j = 0; j < 100; ++j)
                    lowest = std::min(lowest, noise.getNoise(cellX + (i + 0.5f) / 100.0f, cellY + (j + 0.5f) / 100.0f));
            // The nearest grid sample lies within 0.0071 of the point.
            EXPECT_LT(lowest, -0.985f) << "cell " << cellX << ", " << cellY;
        }
    }
}

TEST(CellularNoise, HasNoSeamsAtCellBorders)
{
    // Only the 3 x 3 cells around a sample are searched. Were a feature point allowed
    // to stray far enough that the nearest one lay outside them, the field would jump
    // where the searched cells change: at the borders. Such spots are rare, so
    // many border crossings are checked.
    for (int seed : {42, 7, 1337}) {
        const Noise noise = makeNoise(NoiseType::Cellular, seed, 1.0f);
        int seams = 0;
        for (int border = -50; border <= 50; ++border) {
            for (int i = 0; i < 400; ++i) {
                const float along = -50.0f + i * 0.25f + 0.013f;
                const float edge = static_cast<float>(border);
                seams += std::abs(noise.getNoise(edge - 1e-4f, along) - noise.getNoise(edge + 1e-4f, along)) > 0.01f;
                seams += std::abs(noise.getNoise(along, edge - 1e-4f) - noise.getNoise(along, edge + 1e-4f)) > 0.01f;
            }
        }
        EXPECT_EQ(seams, 0) << "seed " << seed;
    }
}

TEST(CellularNoise, KeepsItsOctaveSettingWithoutChangingTheField)
{
    Noise layered = makeNoise(NoiseType::Cellular, 1337, 0.01f);
    layered.setFractalOctaves(20);
    EXPECT_EQ(layered.octaves(), 20);
    const Noise plain = makeNoise(NoiseType::Cellular, 1337, 0.01f);
    EXPECT_EQ(sampleGrid(layered, 0.0f, 0.0f, 9.0f, 20), sampleGrid(plain, 0.0f, 0.0f, 9.0f, 20));
}
