#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <glm/glm.hpp>

namespace fennik::assetgen {

// Small deterministic random stream (PCG-style) so every asset comes out the same on
// every run; each asset seeds its own stream so editing one leaves the others alone.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state(seed * 6364136223846793005ull + 1442695040888963407ull) { next(); }

    std::uint32_t next()
    {
        std::uint64_t old = state;
        state = old * 6364136223846793005ull + 1442695040888963407ull;
        auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
        auto rot = static_cast<std::uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }
    // Uniform in [0, 1).
    float unit() { return static_cast<float>(next() >> 8) / 16777216.0f; }
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }
    int integer(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1)); }

private:
    std::uint64_t state;
};

// Hermite step from 0 at a to 1 at b, as in GLSL.
inline float smoothstep(float a, float b, float x)
{
    float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

namespace noise {

inline std::uint32_t hash(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x27d4eb2du;
    h ^= static_cast<std::uint32_t>(x) * 0x85ebca6bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xc2b2ae35u;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<std::uint32_t>(z) * 0x165667b1u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

inline float hashUnit(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    return static_cast<float>(hash(x, y, z, seed) >> 8) / 16777216.0f;
}

inline int wrap(int v, int period)
{
    if (period <= 0) {
        return v;
    }
    int r = v % period;
    return r < 0 ? r + period : r;
}

inline float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

// Value noise in [0, 1]; with period > 0 it repeats every `period` units (tileable textures).
inline float value2(float x, float y, int periodX, int periodY, std::uint32_t seed)
{
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    float fx = fade(x - static_cast<float>(ix));
    float fy = fade(y - static_cast<float>(iy));
    auto at = [&](int dx, int dy) { return hashUnit(wrap(ix + dx, periodX), wrap(iy + dy, periodY), 0, seed); };
    float a = at(0, 0) + (at(1, 0) - at(0, 0)) * fx;
    float b = at(0, 1) + (at(1, 1) - at(0, 1)) * fx;
    return a + (b - a) * fy;
}

inline float value2(float x, float y, int period, std::uint32_t seed)
{
    return value2(x, y, period, period, seed);
}

// Fractal sum of value noise; periods count noise cells along x and y (0: no repeat), so
// a stretched pattern like wood grain can still tile.
inline float fbm2xy(float x, float y, int octaves, int periodX, int periodY, std::uint32_t seed, float gain = 0.5f)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += value2(x, y, periodX, periodY, seed + static_cast<std::uint32_t>(o) * 101u) * amplitude;
        total += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

inline float fbm2(float x, float y, int octaves, int period, std::uint32_t seed, float gain = 0.5f)
{
    return fbm2xy(x, y, octaves, period, period, seed, gain);
}

inline float value3(glm::vec3 p, std::uint32_t seed)
{
    glm::ivec3 i(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)), static_cast<int>(std::floor(p.z)));
    glm::vec3 f = p - glm::vec3(i);
    f = glm::vec3(fade(f.x), fade(f.y), fade(f.z));
    auto at = [&](int dx, int dy, int dz) { return hashUnit(i.x + dx, i.y + dy, i.z + dz, seed); };
    float x00 = at(0, 0, 0) + (at(1, 0, 0) - at(0, 0, 0)) * f.x;
    float x10 = at(0, 1, 0) + (at(1, 1, 0) - at(0, 1, 0)) * f.x;
    float x01 = at(0, 0, 1) + (at(1, 0, 1) - at(0, 0, 1)) * f.x;
    float x11 = at(0, 1, 1) + (at(1, 1, 1) - at(0, 1, 1)) * f.x;
    float y0 = x00 + (x10 - x00) * f.y;
    float y1 = x01 + (x11 - x01) * f.y;
    return y0 + (y1 - y0) * f.z;
}

inline float fbm3(glm::vec3 p, int octaves, std::uint32_t seed, float gain = 0.5f)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += value3(p, seed + static_cast<std::uint32_t>(o) * 101u) * amplitude;
        total += amplitude;
        amplitude *= gain;
        p *= 2.03f;
    }
    return sum / total;
}

// Distances to the nearest and second-nearest jittered feature point (cells of size 1),
// plus the id of the nearest cell; periodic with `period` cells when period > 0.
struct Cells {
    float nearest;
    float second;
    std::uint32_t id;
    glm::vec2 centre;
};

inline Cells cellular2(float x, float y, int period, std::uint32_t seed, float jitter = 0.9f)
{
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    Cells result{1e9f, 1e9f, 0u, glm::vec2(0.0f)};
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            int cx = ix + dx;
            int cy = iy + dy;
            int wx = wrap(cx, period);
            int wy = wrap(cy, period);
            float jx = 0.5f + (hashUnit(wx, wy, 1, seed) - 0.5f) * jitter;
            float jy = 0.5f + (hashUnit(wx, wy, 2, seed) - 0.5f) * jitter;
            glm::vec2 feature(static_cast<float>(cx) + jx, static_cast<float>(cy) + jy);
            float d = glm::length(feature - glm::vec2(x, y));
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
                result.id = hash(wx, wy, 3, seed);
                result.centre = feature;
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}

} // namespace noise
} // namespace fennik::assetgen
