#include "render/ParticlePool.hpp"

#include "core/Random.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace fennik::render {
namespace {

// The pool is 4.8 MB: one per test on the heap, each starting its search at slot 0.
class ParticlePoolTest : public ::testing::Test {
protected:
    void SetUp() override { ParticlePool::lastUsedParticle = 0; }
    std::unique_ptr<ParticlePool> pool = std::make_unique<ParticlePool>();
};

TEST_F(ParticlePoolTest, EmitTakesEightDrawsEachAndTreatsASpreadBelowOneAsOne)
{
    core::RandomSource replay = core::processRandom();
    test::LogCapture log;
    pool->emitAt(glm::vec3(2.0f), glm::vec3(0.0f), 3, 0, 1.0f, glm::vec3(0.0f), glm::vec4(0.0f));
    EXPECT_TRUE(log.contains("[WARN]: "));
    EXPECT_EQ(pool->particles()[2].position, glm::vec3(1.5f)) << "a spread of 1 puts them half a unit off";
    for (int draw = 0; draw < 3 * 8; ++draw) // x, y, z, four colour bytes, life
        replay.next();
    EXPECT_EQ(core::processRandom().currentState(), replay.currentState()) << "the look depends on the order";
}

TEST_F(ParticlePoolTest, AgeingKillsOnTimeAndOnlyTheLivingAreWritten)
{
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), 2, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f, 0.5f, 1.0f, 0.0f));
    pool->particles()[0].life = 0.1f;
    pool->particles()[1].life = 0.3f;

    pool->update(0.1f, glm::vec3(0.0f));
    ASSERT_EQ(pool->liveCount, 1u) << "life 0.1 and dt 0.1: dead and not drawn this frame";
    EXPECT_FLOAT_EQ(pool->particles()[0].cameraDistance, -1.0f) << "the dead are not sorted with the living";
    EXPECT_FLOAT_EQ(pool->particles()[1].life, 0.2f);
    EXPECT_EQ(pool->instancePositions[0], glm::vec4(pool->particles()[1].position, pool->particles()[1].life));
    // A colour given on the 0..1 scale reaches the bytes in full (white is 255, not 1);
    // bytes are truncated, and a slightly negative alpha is 0, not 255.
    const ParticleColor colour = pool->instanceColors[0];
    EXPECT_EQ((std::array<int, 3>{colour.r, colour.g, colour.a}), (std::array<int, 3>{255, 127, 0}));

    pool->update(0.5f, glm::vec3(0.0f));
    EXPECT_EQ(pool->liveCount, 0u);
}

TEST_F(ParticlePoolTest, FreeSlotSearchWrapsAndAFullPoolOverwritesSlotZero)
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
    all[10].life = 1.0f;
    EXPECT_EQ(pool->findFreeParticle(), 0u);
    EXPECT_EQ(ParticlePool::lastUsedParticle, 0u);
}

// A few hundred live particles are ordered one way, a big burst another: both must
// come out farthest first, with every live particle kept once.
class DrawOrder : public ParticlePoolTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(DrawOrder, IsFarToNearAndKeepsEveryLiveParticle)
{
    pool->emitAt(glm::vec3(0.0f), glm::vec3(0.0f), GetParam(), 200, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    for (std::size_t i = 0; i < GetParam(); ++i) {
        pool->particles()[i].velocity = glm::vec3(0.0f); // standing still: one update's order holds for the next
        pool->particles()[i].life = i % 7 ? 1.0f : -1.0f; // dead slots between them
    }
    const glm::vec3 camera{0.0f, 40.0f, 60.0f};
    pool->update(1e-4f, camera);
    const std::vector<glm::vec4> before(pool->instancePositions.begin(),
                                        pool->instancePositions.begin() + pool->liveCount);
    pool->sortForDrawing();
    pool->update(1e-4f, camera);
    const auto samePlace = [](glm::vec4 a, glm::vec4 b) { return glm::vec3(a) == glm::vec3(b); };
    EXPECT_TRUE(std::is_permutation(before.begin(), before.end(), pool->instancePositions.begin(),
                                    pool->instancePositions.begin() + pool->liveCount, samePlace));

    float previous = INFINITY;
    for (std::uint32_t i = 0; i < pool->liveCount; ++i) {
        const glm::vec4 p = pool->instancePositions[i];
        const float distance = std::hypot(camera.x - p.x, camera.z - p.z); // height does not count
        ASSERT_LE(distance, previous + 1e-3f) << "instance " << i;
        previous = distance;
    }
}

INSTANTIATE_TEST_SUITE_P(LiveCounts, DrawOrder, ::testing::Values(300u, 5000u));

} // namespace
} // namespace fennik::render
