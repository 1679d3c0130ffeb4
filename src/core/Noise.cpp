#include "core/Noise.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace fennik::core {

namespace {

// Perlin's quintic ease: zero first and second derivatives at both ends, so the
// field has no creases along the lattice lines.
float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t)
{
    return a + t * (b - a);
}

// Four diagonal and four axis gradients. The diagonals alone would reach exactly
// 1 in the middle of a cell whose corners all point inwards; the axis ones keep
// the field from looking like a grid of diamonds.
float gradientDot(std::uint8_t hash, float dx, float dy)
{
    switch (hash & 7u) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx;
    case 5: return -dx;
    case 6: return dy;
    default: return -dy;
    }
}

// Murmur3's 32-bit finaliser: every input bit flips about half of the output bits.
std::uint32_t avalanche(std::uint32_t h)
{
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}

std::uint32_t cellHash(int seed, int cellX, int cellY)
{
    const std::uint32_t row = avalanche(static_cast<std::uint32_t>(cellY) * 0x9e3779b1u ^
                                        static_cast<std::uint32_t>(seed) * 0x7feb352du);
    return avalanche(static_cast<std::uint32_t>(cellX) * 0x846ca68bu ^ row);
}

// How far a feature point may stray from its cell's centre, as a share of the cell.
// Up to 0.657 the nearest point is always inside the 3 x 3 cells around the sample,
// so searching only those is exact and the field has no seams at cell borders.
constexpr float cellJitter = 0.65f;
// The farthest the nearest feature point can be: a sample in a cell corner with
// every surrounding point pushed to its far corner.
constexpr float farthestFeature = 1.41421356f * (1.0f + cellJitter) * 0.5f;

} // namespace

Noise::Noise()
{
    setSeed(currentSeed);
}

Noise::Noise(int seed)
{
    setSeed(seed);
}

void Noise::setSeed(int seed)
{
    currentSeed = seed;
    features.valid = false;
    // The shuffle is written out rather than left to std::shuffle, whose draws
    // differ between standard libraries; mt19937's sequence is fixed by the standard.
    std::array<std::uint8_t, 256> shuffled{};
    std::iota(shuffled.begin(), shuffled.end(), std::uint8_t{0});
    std::mt19937 engine(static_cast<std::uint32_t>(seed));
    for (std::uint32_t i = 255; i > 0; --i)
        std::swap(shuffled[i], shuffled[engine() % (i + 1)]);
    for (std::size_t i = 0; i < permutation.size(); ++i)
        permutation[i] = shuffled[i & 255u];
}

float Noise::getNoise(float x, float y) const
{
    x *= frequency;
    y *= frequency;
    return type == NoiseType::Cellular ? cellular(x, y) : perlin(x, y);
}

float Noise::perlin(float x, float y) const
{
    const float floorX = std::floor(x);
    const float floorY = std::floor(y);
    const float dx = x - floorX;
    const float dy = y - floorY;
    const int cellX = static_cast<int>(floorX) & 255;
    const int cellY = static_cast<int>(floorY) & 255;

    const int left = permutation[cellX];
    const int right = permutation[cellX + 1];
    const std::uint8_t bottomLeft = permutation[left + cellY];
    const std::uint8_t topLeft = permutation[left + cellY + 1];
    const std::uint8_t bottomRight = permutation[right + cellY];
    const std::uint8_t topRight = permutation[right + cellY + 1];

    const float u = fade(dx);
    const float v = fade(dy);
    const float bottom = lerp(gradientDot(bottomLeft, dx, dy), gradientDot(bottomRight, dx - 1.0f, dy), u);
    const float top = lerp(gradientDot(topLeft, dx, dy - 1.0f), gradientDot(topRight, dx - 1.0f, dy - 1.0f), u);
    return std::clamp(lerp(bottom, top, v), -1.0f, 1.0f);
}

float Noise::cellular(float x, float y) const
{
    const int cellX = static_cast<int>(std::floor(x));
    const int cellY = static_cast<int>(std::floor(y));

    if (!features.valid || features.cellX != cellX || features.cellY != cellY) {
        float* point = features.points.data();
        for (int offsetY = -1; offsetY <= 1; ++offsetY) {
            for (int offsetX = -1; offsetX <= 1; ++offsetX) {
                const int neighbourX = cellX + offsetX;
                const int neighbourY = cellY + offsetY;
                const std::uint32_t hash = cellHash(currentSeed, neighbourX, neighbourY);
                const float jitterX = static_cast<float>(hash & 0xffffu) / 65536.0f - 0.5f;
                const float jitterY = static_cast<float>(hash >> 16) / 65536.0f - 0.5f;
                *point++ = static_cast<float>(neighbourX) + 0.5f + jitterX * cellJitter;
                *point++ = static_cast<float>(neighbourY) + 0.5f + jitterY * cellJitter;
            }
        }
        features.cellX = cellX;
        features.cellY = cellY;
        features.valid = true;
    }

    float nearestSquared = farthestFeature * farthestFeature;
    for (std::size_t i = 0; i < features.points.size(); i += 2) {
        const float distanceX = features.points[i] - x;
        const float distanceY = features.points[i + 1] - y;
        nearestSquared = std::min(nearestSquared, distanceX * distanceX + distanceY * distanceY);
    }
    return std::sqrt(nearestSquared) * (2.0f / farthestFeature) - 1.0f;
}

} // namespace fennik::core
