// Enemies on the real levels: who they chase, how a touch from the side and a landing
// on their back play out, and how the practice dummies differ.

#include "LevelTestSupport.hpp"

#include "core/SoundEngine.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace fennik::test {
namespace {

// The encounters listen for the hit sound: OpenAL Soft's wave output, writing into
// nothing, set up before the game (and with it the sound engine) is first made.
class WaveOutput : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", "tests/levels/fixtures/wave-output.conf", 1);
    }
};
const auto* const waveOutput = ::testing::AddGlobalTestEnvironment(new WaveOutput);

// Whether the last step left `a` and `b` pressed into each other.
bool pressedTogether(scene::Scene& scene, const physics::Entity& a, const physics::Entity& b)
{
    for (int i = 0; i < scene.dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold& manifold = *scene.dispatcher->getManifoldByIndexInternal(i);
        const std::set<const void*> pair{manifold.getBody0(), manifold.getBody1()};
        if (pair == std::set<const void*>{a.body.get(), b.body.get()})
            for (int j = 0; j < manifold.getNumContacts(); ++j)
                if (manifold.getContactPoint(j).getDistance() < 0.0f)
                    return true;
    }
    return false;
}

TEST(EnemyEncounter, ASideContactCostsFiveHealthThrowsThePlayerBackAndSoundsTheHit)
{
    auto& harness = sharedGame();
    ASSERT_TRUE(core::SoundEngine::instance().hasDevice()) << "the hit sound needs the wave output";
    auto& scene = startOn(harness, "LevelOne").getScene();
    auto& player = *scene.player;
    auto& enemy = *scene.enemies[2];
    const glm::vec3 home = positionOf(enemy);

    // A step in front of the beetle's head, walking into it while it walks into the player.
    teleport(player, {home.x + 3.6f, 1.915f, home.z});
    player.sound = core::Sound();
    ContactLog contacts(scene);
    harness.input.press(GLFW_KEY_W);
    for (int tick = 0; tick < 30 && contacts.sideContactsWith(enemy) == 0; ++tick)
        simulate(harness);
    harness.input.release(GLFW_KEY_W);
    ASSERT_GT(contacts.sideContactsWith(enemy), 0) << "player and beetle never met";

    EXPECT_EQ(contacts.stompsOn(enemy), 0);
    EXPECT_FLOAT_EQ(player.health, 100.0f - 5.0f * static_cast<float>(contacts.sideContactsWith(enemy)));
    EXPECT_FLOAT_EQ(enemy.health, 100.0f) << "touching it does not hurt the beetle";
    EXPECT_FALSE(player.sound.empty()) << "the hit sound plays at the player";
    EXPECT_GT(player.body->getLinearVelocity().x(), 3.0f) << "thrown back, away from the beetle";
    const float metAt = positionOf(player).x;
    simulate(harness, 6);
    EXPECT_GT(positionOf(player).x, metAt + 1.0f);
    harness.tick(); // a whole frame: the music follows the level in it
    EXPECT_EQ(core::SoundEngine::instance().musicPlaying(), core::SoundEngine::musicFor("LevelOne"))
        << "the active level's piece plays";
}

// A jump forgets the floor it leaves, not the beetle it was pushed into in that step.
TEST(EnemyEncounter, AJumpStartedAgainstABeetlesSideStillTakesTheSideContact)
{
    auto& harness = sharedGame();
    auto& scene = startOn(harness, "LevelOne").getScene();
    auto& player = *scene.player;
    auto& enemy = *scene.enemies[2];
    const glm::vec3 home = positionOf(enemy);
    teleport(player, {home.x + 3.6f, 1.915f, home.z});
    harness.input.press(GLFW_KEY_W);
    for (int tick = 0; tick < 30 && !pressedTogether(scene, player, enemy); ++tick)
        simulate(harness);
    ASSERT_TRUE(pressedTogether(scene, player, enemy)) << "player and beetle never met";
    ASSERT_FALSE(player.jumping);

    ContactLog contacts(scene);
    harness.input.press(GLFW_KEY_SPACE);
    simulate(harness);
    harness.input.releaseAll();
    EXPECT_TRUE(player.jumping) << "the jump starts in that tick";
    EXPECT_GT(contacts.sideContactsWith(enemy), 0);
    EXPECT_LT(player.health, 100.0f) << "the side still hurts";
}

// The playthrough counts the five stomps a beetle takes; here the first and the last.
TEST(EnemyEncounter, AStompHurtsTheBeetleBouncesThePlayerAndTheLastLeavesABurstOfLight)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, "LevelOne");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& enemy = *scene.enemies[2];
    ContactLog contacts(scene);
    enemy.sound = core::Sound();

    ASSERT_GT(dropOnto(harness, player, enemy, contacts), 0) << "the player never landed on the beetle";
    EXPECT_FLOAT_EQ(enemy.health, 100.0f - 20.0f * static_cast<float>(contacts.stompsOn(enemy)));
    EXPECT_FLOAT_EQ(player.health, 100.0f) << "landing on an enemy does not hurt";
    EXPECT_FALSE(enemy.sound.empty()) << "the hit sounds at the beetle";
    EXPECT_GT(player.body->getLinearVelocity().y(), 5.0f) << "the player bounces off its back";
    EXPECT_EQ(burstParticles(level), 0);

    enemy.health = 20.0f;
    ASSERT_GT(dropOnto(harness, player, enemy, contacts), 0) << "the last drop missed the beetle";
    EXPECT_GE(burstParticles(level), 200) << "a burst of light marks the defeat";

    simulate(harness);
    EXPECT_FALSE(inWorld(enemy)) << "gone from the world";
}

TEST(EnemyEncounter, TutorialDummiesNeverHurtNeverMoveAndNeverDie)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, "TutorialLevel");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& dummy = *scene.enemies[0];

    // Walking into the dummy meets its steep side: a side contact the tutorial forgives.
    ContactLog contacts(scene);
    player.sound = core::Sound();
    teleport(player, positionOf(dummy) + glm::vec3(0.0f, 0.0f, 3.2f));
    harness.input.press(GLFW_KEY_D);
    simulate(harness, 25);
    EXPECT_GT(contacts.sideContactsWith(dummy), 0) << "the player never met the dummy's side";
    EXPECT_TRUE(player.sound.empty()) << "no hit sound for a harmless touch";
    const int sideContacts = contacts.sideContactsWith(dummy);
    harness.input.press(GLFW_KEY_SPACE);
    simulate(harness);
    harness.input.releaseAll();
    EXPECT_TRUE(player.jumping && contacts.sideContactsWith(dummy) > sideContacts) << "a jump keeps side contacts";
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(dummy.moveDirection, glm::vec3(0.0f)) << "a dummy does not come after the player";

    // Landed on again and again, it keeps its last sliver of health and its place.
    dummy.sound = core::Sound();
    while (contacts.stompsOn(dummy) < 7)
        ASSERT_GT(dropOnto(harness, player, dummy, contacts), 0) << "a drop missed the dummy";
    EXPECT_FLOAT_EQ(dummy.health, physics::DummyEnemy::lowestHealth);
    EXPECT_FALSE(dummy.sound.empty());
    EXPECT_EQ(burstParticles(level), 0) << "no burst for a dummy";
    simulate(harness);
    EXPECT_TRUE(inWorld(dummy));
}

// Airborne, the player sees where the jump ends: a soft shadow on the first surface
// straight below, the dummy's back included, smaller and fainter from higher up.
TEST(EnemyEncounter, AJumpShowsItsLandingOnTheDummysBackOrTheGround)
{
    auto& harness = sharedGame();
    auto& scene = startOn(harness, "TutorialLevel").getScene();
    auto& player = *scene.player;
    EXPECT_FALSE(scene.landingMarker()) << "none while standing";
    const glm::vec3 dummy = positionOf(*scene.enemies[0]);
    const auto markerFrom = [&](glm::vec3 at) {
        teleport(player, at);
        simulate(harness, 2); // both ticks a frame is drawn between are up there
        player.jumping = true;
        return scene.landingMarker();
    };
    const auto onBack = markerFrom(dummy + glm::vec3(0.0f, 6.0f, 0.0f));
    ASSERT_TRUE(onBack);
    scene.camera->settle();
    drawFrame(harness, "landing_marker_on_dummy");
    const auto beside = markerFrom(dummy + glm::vec3(6.0f, 6.0f, 0.0f));
    const auto higher = markerFrom(dummy + glm::vec3(6.0f, 14.0f, 0.0f));
    ASSERT_TRUE(beside && higher);
    EXPECT_GT(onBack->point.y, beside->point.y + 0.5f) << "on the dummy, not the floor";
    EXPECT_NEAR(higher->point.y, beside->point.y, 0.05f);
    EXPECT_LT(higher->radius, beside->radius);
    EXPECT_LT(higher->strength, beside->strength);
    EXPECT_FALSE(markerFrom(dummy + glm::vec3(6.0f, 60.0f, 0.0f))) << "nothing within reach";
    startOn(harness, "TutorialLevel");
}

} // namespace
} // namespace fennik::test
