#pragma once

#include <array>
#include <cstdint>

namespace fennik::core {

enum class NoiseType {
    Perlin,   // smooth gradient noise: particle drift, the menu camera's sway
    Cellular, // distance to the nearest scattered point: the health gauge's texture
};

// The game's 2D noise: Ken Perlin's improved gradient noise and Worley's cellular
// noise, both deterministic for a seed. Coordinates are scaled by the frequency
// before sampling, so a frequency of 0.01 gives one lattice cell per 100 units.
class Noise {
public:
    Noise();
    explicit Noise(int seed);

    void setSeed(int seed);
    void setFrequency(float frequency) { this->frequency = frequency; }
    void setNoiseType(NoiseType type) { this->type = type; }
    // Kept for the callers that set it; there are no fractal layers, so it changes nothing.
    void setFractalOctaves(int octaves) { fractalOctaves = octaves; }

    int seed() const { return currentSeed; }
    float getFrequency() const { return frequency; }
    NoiseType noiseType() const { return type; }
    int octaves() const { return fractalOctaves; }

    // Perlin lies in [-1, 1] and is 0 on every lattice point. Cellular is the
    // distance to the nearest feature point, mapped so that standing on a point
    // gives -1 and the farthest possible spot gives 1.
    float getNoise(float x, float y) const;

private:
    float perlin(float x, float y) const;
    float cellular(float x, float y) const;

    int currentSeed = 1337;
    float frequency = 0.01f;
    NoiseType type = NoiseType::Perlin;
    int fractalOctaves = 3;
    // Perlin's permutation, doubled so that lookups of a lookup need no wrap.
    std::array<std::uint8_t, 512> permutation{};

    // The feature points around the last cell sampled. Neighbouring samples nearly
    // always share a cell (a cell is 100 pixels of the gauge's texture), so this
    // spares most of the hashing. It makes one Noise unfit for use from two
    // threads at once; the game samples on the main thread only.
    struct FeatureCache {
        bool valid = false;
        int cellX = 0;
        int cellY = 0;
        std::array<float, 18> points{}; // x, y of the 3 x 3 cells, row by row
    };
    mutable FeatureCache features;
};

} // namespace fennik::core
