#pragma once

#include "core/Noise.hpp"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fennik::render {

// One slot of the particle pool. Alive while `life` > 0. `color` is kept on the
// 0..255 scale the instance bytes use.
struct Particle {
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};
    glm::vec4 color{1.0f};
    float life = -1.0f;
    float cameraDistance = -1.0f; // horizontal distance to the camera; -1 while dead
};

// Instance data as the particle program reads it: four bytes, normalised on the GPU.
struct ParticleColor {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

// The CPU side of the particles: a fixed pool that never grows, emission with the
// game's random source, the noisy drift, and the far-to-near ordering the draw
// needs. Kept apart from the OpenGL buffers so it runs (and is measured) without a
// context.
class ParticlePool {
public:
    static constexpr std::size_t poolSize = 100000;

    ParticlePool();

    // The slot the next particle goes to, searched from the process-wide
    // `lastUsedParticle` on. With every slot alive it overwrites slot 0.
    std::size_t findFreeParticle();

    // `count` particles around `origin` + `offset`, each axis offset by
    // ((random mod spread) - spread / 2) / divisor. A divisor of 0 counts as 1;
    // `color` is on the 0..1 scale, and (0, 0, 0, 0) asks for random colours. `impulse` is the source's last
    // movement impulse, which the particles inherit a fifth of.
    void emitAt(const glm::vec3& origin, const glm::vec3& impulse, unsigned count, int spread, float divisor,
                const glm::vec3& offset, const glm::vec4& color);

    // Ages and moves every live particle and writes the survivors, in pool order,
    // into the instance arrays; `liveCount` is how many.
    void update(float dt, const glm::vec3& cameraPosition);
    // The instance positions for a frame drawn `alpha` (0 to 1) of a tick after the
    // last update: each particle that far from where it was before the update towards
    // where the update left it (its size too). At 1, `instancePositions` itself.
    const std::vector<glm::vec4>& drawnPositions(float alpha);

    // Kills every particle, as when a level is entered afresh.
    void clear();

    // Puts the live particles first, farthest from the camera first, so that the
    // next `update` writes them far to near. Dead slots keep no order.
    void sortForDrawing();
    // Whether the pool has been ordered since the last update: frames drawn between
    // two ticks need it done once.
    bool orderedSinceUpdate() const { return ordered; }

    // The same order by sorting the whole pool, as the particles were first written;
    // kept to measure against.
    void sortWholePool();

    const std::vector<Particle>& particles() const { return pool; }
    std::vector<Particle>& particles() { return pool; }

    // One search index for every generator of the process: where one level's last
    // burst stopped is where the next emit anywhere starts looking.
    inline static std::size_t lastUsedParticle = 0;

    std::vector<glm::vec4> instancePositions; // centre and remaining life (the drawn size)
    std::vector<glm::vec4> previousPositions; // the same before the last update
    std::vector<ParticleColor> instanceColors;
    std::uint32_t liveCount = 0;

protected:
    core::Noise noise;
    std::vector<Particle> pool;

private:
    struct SortKey {
        float distance;
        std::uint32_t slot;
    };
    void sortKeysFarthestFirst();

    // Allocated once with the pool, like everything the particles use per frame.
    std::vector<SortKey> sortKeys;
    std::vector<SortKey> radixKeys;
    std::vector<glm::vec4> blended; // what drawnPositions hands out between ticks
    bool ordered = false;
};

} // namespace fennik::render
