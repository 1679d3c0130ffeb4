#pragma once

#include <cstdint>

namespace fennik::core {

// The game's one random source: a 32-bit linear congruential generator that starts
// at 1 and is only ever put back to where a replayed run started. Materials, particles and dust draw from it in a fixed
// order, so every run of the game looks the same.
class RandomSource {
public:
    static constexpr int maxValue = 0x7FFF;

    // A value from 0 to 32767.
    int next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

    std::uint32_t currentState() const { return state; }
    // Where a replay's run started.
    void setState(std::uint32_t value) { state = value; }

private:
    std::uint32_t state = 1;
};

// The process-wide source shared by the material reader and the particles.
RandomSource& processRandom();

} // namespace fennik::core
