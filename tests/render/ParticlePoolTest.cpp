#include "render/ParticlePool.hpp"

#include "core/Noise.hpp"
#include "core/Random.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

namespace fennik::render {
namespace {

// The pool is 4.8 MB: keep one per test on the heap, and start every test from
// slot 0 of the process-wide search index.
class ParticlePoolTest : public ::testing::Test {
protected:
    void SetUp() override { ParticlePool::lastUsedParticle = 0; }

    std::size_t liveSlots() const
    {
        const auto& all = pool->particles();
        return static_cast<std::size_t>(
            std::count_if(all.begin(), all.end(), [](const Particle& p) { return p.life > 0.0f; }));
    }

    std::unique_ptr<ParticlePool> pool = std::make_unique<ParticlePool>();
};

// What `emit` should draw from the random source, predicted on a copy of it.
struct ExpectedDraws {
    glm::vec3 scatter;
    glm::vec4 color;
    float life;
};

ExpectedDraws predict(core::RandomSource& random, int spread, float divisor, bool randomColor)
{
    ExpectedDraws draws{};
    for (int axis = 0; axis < 3; ++axis)
        draws.scatter[axis] = (static_cast<float>(random.next() % spread) - spread / 2.0f) / divisor;
    if (randomColor) {
        const int r1 = random.next(), r2 = random.next(), r3 = random.next(), r4 = random.next();
        draws.color = glm::vec4(r4 % 256, r3 % 256, r2 % 256, (r1 % 256) / 3);
    }
    draws.life = static_cast<float>(random.next() % 10 + 1) / 10.0f;
    return draws;
}

TEST_F(ParticlePoolTest, EmitDrawsOffsetsColourAndLifeInOrder)
{
    core::RandomSource replay = core::processRandom();
    const glm::vec3 origin{10.0f, 2.0f, -30.0f}, impulse{0.0f, 5.0f, -15.0f}, offset{1.0f, -1.8f, 0.0f};

    pool->emitAt(origin, impulse, 2, 3, 1.2f, offset, glm::vec4(0.0f));

    for (std::size_t slot : {0u, 1u}) {
        const ExpectedDraws expected = predict(replay, 3, 1.2f, true);
        const Particle& p = pool->particles()[slot];
        EXPECT_EQ(p.position, origin + expected.scatter + offset) << "slot " << slot;
        EXPECT_EQ(p.color, expected.color);
        EXPECT_LE(p.color.a, 85.0f);
        EXPECT_FLOAT_EQ(p.life, expected.life);
        EXPECT_EQ(p.velocity, expected.scatter * 20.0f + impulse * 0.2f);
    }
    EXPECT_EQ(core::processRandom().currentState(), replay.currentState()) << "no draw more, none less";
}

TEST_F(ParticlePoolTest, DivisorZeroActsAsOneAndSpreadBelowOneIsReportedNotACrash)
{
    core::RandomSource replay = core::processRandom();
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 1, 10, 0.0f, glm::vec3(0.0f, 1.5f, 0.0f), glm::vec4(1.0f));
    const ExpectedDraws expected = predict(replay, 10, 1.0f, false);
    EXPECT_EQ(pool->particles()[0].position, expected.scatter + glm::vec3(0.0f, 1.5f, 0.0f));
    EXPECT_TRUE(std::isfinite(pool->particles()[0].velocity.x));

    test::LogCapture log;
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 3, 0, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    EXPECT_TRUE(log.contains("[WARN]: "));
    EXPECT_EQ(liveSlots(), 4u);
}

TEST_F(ParticlePoolTest, GivenColourIsKeptAndUploadedAsTruncatedBytes)
{
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 1, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 1, 3, 1.0f, glm::vec3(0.0f), glm::vec4(200.7f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(pool->particles()[0].color, glm::vec4(1.0f)) << "(1, 1, 1, 1) is a colour, not a request for random";
    for (std::size_t i = 0; i < 2; ++i)
        pool->particles()[i].life = 5.0f;

    pool->update(0.01f, glm::vec3(0.0f));

    ASSERT_EQ(pool->liveCount, 2u);
    const ParticleColor white = pool->instanceColors[0];
    EXPECT_EQ(white.r, 1);
    EXPECT_EQ(white.g, 1);
    EXPECT_EQ(white.b, 1);
    EXPECT_EQ(white.a, 0) << "alpha 1 - dt truncates to 0";
    const ParticleColor red = pool->instanceColors[1];
    EXPECT_EQ(red.r, 200);
    EXPECT_EQ(red.a, 0) << "a slightly negative alpha is 0, not 255";
}

TEST_F(ParticlePoolTest, ParticleDiesWhenItsLifeRunsOut)
{
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 2, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    pool->particles()[0].life = 0.1f;
    pool->particles()[1].life = 0.3f;

    pool->update(0.1f, glm::vec3(0.0f));
    EXPECT_EQ(pool->liveCount, 1u) << "life 0.1 and dt 0.1: dead and not drawn this frame";
    EXPECT_FLOAT_EQ(pool->particles()[0].cameraDistance, -1.0f);
    EXPECT_FLOAT_EQ(pool->instancePositions[0].w, pool->particles()[1].life) << "only the survivor is written";

    pool->update(0.5f, glm::vec3(0.0f));
    EXPECT_EQ(pool->liveCount, 0u) << "nothing left after everyone died";
    EXPECT_EQ(liveSlots(), 0u);
}

TEST_F(ParticlePoolTest, FreeSlotSearchStartsAtTheLastOneAndWraps)
{
    auto& all = pool->particles();
    for (auto& p : all)
        p.life = 1.0f;
    all[10].life = 0.0f;
    all[99990].life = -0.5f;

    ParticlePool::lastUsedParticle = 500;
    EXPECT_EQ(pool->findFreeParticle(), 99990u);
    all[99990].life = 1.0f;
    EXPECT_EQ(pool->findFreeParticle(), 10u) << "wraps to the start";
    EXPECT_EQ(ParticlePool::lastUsedParticle, 10u);
}

TEST_F(ParticlePoolTest, FullPoolOverwritesSlotZeroOnly)
{
    auto& all = pool->particles();
    for (auto& p : all) {
        p.life = 1.0f;
        p.position = glm::vec3(7.0f);
    }
    ParticlePool::lastUsedParticle = 1234;

    pool->emitAt(glm::vec3(-50.0f), glm::vec3(0.0f), 5, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));

    EXPECT_NE(all[0].position, glm::vec3(7.0f));
    EXPECT_LT(all[0].position.x, -40.0f);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const Particle& p) { return p.position != glm::vec3(7.0f); }),
              1);
    EXPECT_EQ(ParticlePool::lastUsedParticle, 0u);
}

TEST_F(ParticlePoolTest, SearchIndexIsSharedByEveryPool)
{
    auto other = std::make_unique<ParticlePool>();
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 3, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    EXPECT_EQ(ParticlePool::lastUsedParticle, 2u);

    // The other pool is empty, but its search starts where this one stopped.
    other->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 1, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    EXPECT_GT(other->particles()[2].life, 0.0f);
    EXPECT_LE(other->particles()[0].life, 0.0f);
}

TEST_F(ParticlePoolTest, UpdateDriftsByNoiseAndMeasuresHorizontalDistance)
{
    Particle& p = pool->particles()[0];
    p.position = {3.3f, 1.7f, -4.0f};
    p.velocity = {20.0f, -10.0f, 5.0f};
    p.color = {10.0f, 20.0f, 30.0f, 40.0f};
    p.life = 1.0f;

    core::Noise noise(1337);
    noise.setNoiseType(core::NoiseType::Perlin);
    noise.setFrequency(0.1f);
    const float n = noise.getNoise(3.3f, 1.7f);
    ASSERT_NE(n, 0.0f) << "pick a point off the lattice";

    pool->update(0.05f, glm::vec3(0.3f, 50.0f, 0.0f));

    const glm::vec3 moved = glm::vec3(3.3f, 1.7f, -4.0f) - glm::vec3(20.0f, -10.0f, 5.0f) * 0.05f * n;
    EXPECT_NEAR(p.position.x, moved.x, 1e-5f);
    EXPECT_NEAR(p.position.y, moved.y, 1e-5f);
    EXPECT_NEAR(p.position.z, moved.z, 1e-5f);
    EXPECT_FLOAT_EQ(p.color.a, 40.0f - 0.05f);
    EXPECT_NEAR(p.cameraDistance, std::hypot(moved.x - 0.3f, moved.z), 1e-4f) << "height does not count";
    EXPECT_EQ(pool->instancePositions[0], glm::vec4(p.position, p.life));
}

// A cloud of live particles scattered around the camera, some slots dead between them.
void scatterAround(ParticlePool& pool, std::size_t live)
{
    pool.emitAt(glm::vec3(0.0f), glm::vec3(0.0f), static_cast<unsigned>(live), 200, 1.0f, glm::vec3(0.0f),
                glm::vec4(0.0f));
    for (std::size_t i = 0; i < live; i += 7)
        pool.particles()[i].life = -1.0f;
}

TEST_F(ParticlePoolTest, DrawOrderIsFarToNear)
{
    scatterAround(*pool, 3000);
    // Standing still, so the order measured by one update is exact for the next.
    for (auto& p : pool->particles())
        p.velocity = glm::vec3(0.0f);
    const glm::vec3 camera{0.0f, 40.0f, 60.0f};
    pool->update(1e-4f, camera);
    pool->sortForDrawing();
    pool->update(1e-4f, camera);

    ASSERT_GT(pool->liveCount, 2000u);
    float previous = INFINITY;
    for (std::uint32_t i = 0; i < pool->liveCount; ++i) {
        const glm::vec4 p = pool->instancePositions[i];
        const float distance = std::hypot(camera.x - p.x, camera.z - p.z);
        EXPECT_LE(distance, previous + 1e-3f) << "instance " << i;
        previous = distance;
    }
}

// A few hundred live particles take one way through the ordering, a big burst another.
class LiveFirstSort : public ParticlePoolTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LiveFirstSort, MatchesTheWholePoolSort)
{
    scatterAround(*pool, GetParam());
    pool->update(0.05f, glm::vec3(20.0f, 0.0f, -10.0f));
    auto whole = std::make_unique<ParticlePool>(*pool);

    pool->sortForDrawing();
    whole->sortWholePool();

    const auto& mine = pool->particles();
    const auto& reference = whole->particles();
    for (std::size_t i = 0; i < ParticlePool::poolSize; ++i)
        ASSERT_FLOAT_EQ(mine[i].cameraDistance, reference[i].cameraDistance) << "slot " << i;

    // Ties may come out either way in both sorts; apart from them, the same particles
    // stand in the same slots.
    std::vector<glm::vec3> mineLive, referenceLive;
    for (std::size_t i = 0; i < ParticlePool::poolSize && mine[i].cameraDistance >= 0.0f; ++i) {
        const bool unique = (i == 0 || mine[i - 1].cameraDistance != mine[i].cameraDistance) &&
                            (i + 1 == ParticlePool::poolSize || mine[i + 1].cameraDistance != mine[i].cameraDistance);
        if (unique) {
            EXPECT_EQ(mine[i].position, reference[i].position) << "slot " << i;
        }
        mineLive.push_back(mine[i].position);
        referenceLive.push_back(reference[i].position);
    }
    auto byCoordinates = [](const glm::vec3& a, const glm::vec3& b) {
        return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
    };
    std::sort(mineLive.begin(), mineLive.end(), byCoordinates);
    std::sort(referenceLive.begin(), referenceLive.end(), byCoordinates);
    EXPECT_EQ(mineLive, referenceLive);
    EXPECT_EQ(mineLive.size(), pool->liveCount);
}

INSTANTIATE_TEST_SUITE_P(LiveCounts, LiveFirstSort, ::testing::Values(300u, 5000u, 100000u));

} // namespace
} // namespace fennik::render
