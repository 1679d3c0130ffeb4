#include "render/ParticlePool.hpp"

#include "core/Log.hpp"
#include "core/Random.hpp"

#include <glm/common.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

namespace fennik::render {

namespace {

bool farther(const Particle& a, const Particle& b) { return a.cameraDistance > b.cameraDistance; }

// Colours are stored on the byte scale and truncated. Clamped first so a slightly
// negative alpha reads as 0.
std::uint8_t colorByte(float component)
{
    return static_cast<std::uint8_t>(std::clamp(component, 0.0f, 255.0f));
}

} // namespace

ParticlePool::ParticlePool()
    : noise(1337), pool(poolSize)
{
    // The per-draw arrays grow with the most particles ever alive at once, not with
    // the pool: most levels never have more than a few hundred.
    noise.setNoiseType(core::NoiseType::Perlin);
    noise.setFrequency(0.1f);
    noise.setFractalOctaves(20);
}

void ParticlePool::clear()
{
    std::fill(pool.begin(), pool.end(), Particle{});
    instancePositions.clear();
    previousPositions.clear();
    instanceColors.clear();
    liveCount = 0;
}

std::size_t ParticlePool::findFreeParticle()
{
    for (std::size_t i = lastUsedParticle; i < poolSize; ++i) {
        if (pool[i].life <= 0.0f) {
            lastUsedParticle = i;
            return i;
        }
    }
    for (std::size_t i = 0; i < std::min(lastUsedParticle, poolSize); ++i) {
        if (pool[i].life <= 0.0f) {
            lastUsedParticle = i;
            return i;
        }
    }
    lastUsedParticle = 0;
    return 0;
}

void ParticlePool::emitAt(const glm::vec3& origin, const glm::vec3& impulse, unsigned count, int spread,
                          float divisor, const glm::vec3& offset, const glm::vec4& color)
{
    if (spread < 1) {
        log::warn("Particle spread must be at least 1, got ", spread, "; using 1");
        spread = 1;
    }
    if (divisor == 0.0f)
        divisor = 1.0f;
    const float halfSpread = static_cast<float>(spread) / 2.0f;
    const bool randomColor = color == glm::vec4(0.0f);
    auto& random = core::processRandom();

    for (unsigned n = 0; n < count; ++n) {
        Particle& particle = pool[findFreeParticle()];

        // The order of the draws is part of how the game looks: x, y, z, colour, life.
        glm::vec3 scatter;
        for (int axis = 0; axis < 3; ++axis)
            scatter[axis] = (static_cast<float>(random.next() % spread) - halfSpread) / divisor;

        particle.position = origin + scatter + offset;
        if (randomColor) {
            const int r1 = random.next(), r2 = random.next(), r3 = random.next(), r4 = random.next();
            particle.color = glm::vec4(r4 % 256, r3 % 256, r2 % 256, (r1 % 256) / 3);
        } else {
            // Given on the 0..1 scale of every other colour in the game.
            particle.color = color * 255.0f;
        }
        particle.life = static_cast<float>(random.next() % 10 + 1) / 10.0f;
        particle.velocity = scatter * 20.0f + impulse * 0.2f;
    }
}

void ParticlePool::update(float dt, const glm::vec3& cameraPosition)
{
    ordered = false;
    liveCount = 0;
    instancePositions.clear();
    previousPositions.clear();
    instanceColors.clear();
    for (Particle& particle : pool) {
        if (particle.life <= 0.0f)
            continue;
        const glm::vec4 before(particle.position, particle.life);
        particle.life -= dt;
        if (particle.life <= 0.0f) {
            particle.cameraDistance = -1.0f;
            continue;
        }
        const float drift = noise.getNoise(particle.position.x, particle.position.y);
        particle.position -= particle.velocity * dt * drift;
        particle.color.a -= dt;
        const float dx = cameraPosition.x - particle.position.x;
        const float dz = cameraPosition.z - particle.position.z;
        particle.cameraDistance = std::sqrt(dx * dx + dz * dz);

        instancePositions.emplace_back(particle.position, particle.life);
        previousPositions.push_back(before);
        instanceColors.push_back({colorByte(particle.color.r), colorByte(particle.color.g),
                                  colorByte(particle.color.b), colorByte(particle.color.a)});
        ++liveCount;
    }
}

const std::vector<glm::vec4>& ParticlePool::drawnPositions(float alpha)
{
    if (alpha >= 1.0f)
        return instancePositions;
    blended.resize(instancePositions.size());
    for (std::size_t i = 0; i < blended.size(); ++i)
        blended[i] = glm::mix(previousPositions[i], instancePositions[i], alpha);
    return blended;
}

void ParticlePool::sortForDrawing()
{
    ordered = true;
    // Only slots that were alive at the last update carry a distance (dead ones
    // hold -1), and in a typical frame they are a few hundred of 100000: gather
    // them at the front and order just those.
    const auto firstDead = std::partition(pool.begin(), pool.end(),
                                          [](const Particle& p) { return p.cameraDistance >= 0.0f; });
    const auto live = static_cast<std::size_t>(firstDead - pool.begin());

    // Sorting 48-byte records moves a lot of memory: sort small (distance, slot)
    // keys instead and move each record once.
    sortKeys.resize(live);
    for (std::size_t i = 0; i < live; ++i)
        sortKeys[i] = {pool[i].cameraDistance, static_cast<std::uint32_t>(i)};
    sortKeysFarthestFirst();

    // Slot i takes the record from sortKeys[i].slot. Follow each cycle of that
    // permutation in place, so no second pool is needed; a placed slot is marked.
    constexpr std::uint32_t placed = std::numeric_limits<std::uint32_t>::max();
    for (std::size_t start = 0; start < live; ++start) {
        if (sortKeys[start].slot == placed)
            continue;
        const Particle first = pool[start];
        std::size_t slot = start;
        for (;;) {
            const std::uint32_t from = std::exchange(sortKeys[slot].slot, placed);
            if (from == start) {
                pool[slot] = first;
                break;
            }
            pool[slot] = pool[from];
            slot = from;
        }
    }
}

void ParticlePool::sortKeysFarthestFirst()
{
    // A comparison sort wins for a few hundred keys; a big burst takes a radix sort.
    constexpr std::size_t radixThreshold = 1024;
    if (sortKeys.size() < radixThreshold) {
        std::sort(sortKeys.begin(), sortKeys.end(),
                  [](const SortKey& a, const SortKey& b) { return a.distance > b.distance; });
        return;
    }

    // Distances are never negative here, and non-negative floats order like their
    // bit patterns read as unsigned integers; inverting the bits puts the farthest
    // first. Three stable passes of 11 bits cover all 32.
    constexpr int bitsPerPass = 11;
    constexpr std::uint32_t bucketMask = (1u << bitsPerPass) - 1u;
    auto radix = [](const SortKey& key, int shift) {
        return (~std::bit_cast<std::uint32_t>(key.distance) >> shift) & bucketMask;
    };
    radixKeys.resize(sortKeys.size());
    for (int shift = 0; shift < 32; shift += bitsPerPass) {
        std::array<std::uint32_t, bucketMask + 1> start{};
        for (const SortKey& key : sortKeys)
            ++start[radix(key, shift)];
        std::uint32_t total = 0;
        for (std::uint32_t& bucket : start)
            total += std::exchange(bucket, total);
        for (const SortKey& key : sortKeys)
            radixKeys[start[radix(key, shift)]++] = key;
        sortKeys.swap(radixKeys);
    }
}

void ParticlePool::sortWholePool()
{
    std::sort(pool.begin(), pool.end(), farther);
}

} // namespace fennik::render
