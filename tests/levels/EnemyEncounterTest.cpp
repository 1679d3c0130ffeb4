// Enemies on the real levels: who they chase, how a touch from the side and a
// landing on their back play out, and how the practice dummies differ.

#include "EncounterSupport.hpp"

#include "core/SoundEngine.hpp"
#include "levels/LevelOne.hpp"
#include "levels/TutorialLevel.hpp"
#include "physics/Enemy.hpp"
#include "physics/Player.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::test {
namespace {

TEST(EnemyEncounter, EnemiesChaseWithinTwentyUnitsOfGroundWhateverTheHeightAndWalkHomeBeyond)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::LevelOne>(harness, "LevelOne");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    // The beetle in the middle of the camp, home at (10, 1.9, -20).
    auto& enemy = *scene.enemies[2];
    const glm::vec3 home(10.0f, 1.9f, -20.0f);
    const glm::vec3 lured = home + glm::vec3(-4.0f, 0.0f, 3.0f);

    // 19.99 units away along +Z and far overhead: the height does not count.
    place(enemy, lured);
    place(player, {lured.x, 30.0f, lured.z + 19.99f});
    simulate(harness);
    EXPECT_EQ(enemy.moveDirection, glm::vec3(0, 0, 1)) << "it chases the player along Z";

    // Exactly 20 units away it gives up and heads home, along its longer leg first.
    place(enemy, lured);
    place(player, {lured.x, 30.0f, lured.z + 20.0f});
    simulate(harness);
    EXPECT_EQ(enemy.moveDirection, glm::vec3(1, 0, 0)) << "it walks home along X";

    // With the player gone for good it walks home over the camp's floor and stays.
    place(enemy, home + glm::vec3(-3.0f, 0.0f, 0.0f));
    place(player, {0.0f, 1.915f, 24.0f});
    simulate(harness, 90);
    const glm::vec3 back = positionOf(enemy);
    EXPECT_NEAR(back.x, home.x, 0.15f);
    EXPECT_NEAR(back.z, home.z, 0.15f);
    EXPECT_NEAR(back.y, home.y, 0.15f) << "it stays on its feet on the floor";
    simulate(harness, 30);
    EXPECT_EQ(enemy.moveDirection, glm::vec3(0.0f)) << "home, it stops pushing";
    EXPECT_LT(glm::distance(positionOf(enemy), back), 0.05f);
}

TEST(EnemyEncounter, ASideContactCostsFiveHealthPerContactThrowsThePlayerBackAndSoundsTheHit)
{
    auto& harness = sharedGame();
    ASSERT_TRUE(core::SoundEngine::instance().hasDevice()) << "the hit sound needs the wave output";
    auto& level = startOn<levels::LevelOne>(harness, "LevelOne");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& enemy = *scene.enemies[2];
    const glm::vec3 home = positionOf(enemy);

    // The player stands a step in front of the beetle's head (its +X end, whose
    // face is steep enough for a contact from the side) and walks into it, while
    // the beetle walks into the player.
    place(player, {home.x + 3.6f, 1.915f, home.z});
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

    // Knocked clear, the player comes down well away from where they met.
    const float metAt = positionOf(player).x;
    simulate(harness, 6);
    EXPECT_GT(positionOf(player).x, metAt + 1.0f);
    EXPECT_FLOAT_EQ(player.health, 100.0f - 5.0f * static_cast<float>(contacts.sideContactsWith(enemy)))
        << "every side contact, and nothing else, costs health";
}

TEST(EnemyEncounter, LandingOnAnEnemyHurtsItBouncesThePlayerAndFiveStompsDefeatIt)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::LevelOne>(harness, "LevelOne");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& enemy = *scene.enemies[2];
    ContactLog contacts(scene);
    enemy.sound = core::Sound();
    EXPECT_EQ(burstParticles(level), 0);

    // The first landing.
    ASSERT_GT(dropOnto(harness, player, enemy, contacts), 0) << "the player never landed on the beetle";
    EXPECT_FLOAT_EQ(enemy.health, 100.0f - 20.0f * static_cast<float>(contacts.stompsOn(enemy)));
    EXPECT_FLOAT_EQ(player.health, 100.0f) << "landing on an enemy does not hurt";
    EXPECT_FALSE(enemy.sound.empty()) << "the hit sounds at the beetle";
    EXPECT_GT(player.body->getLinearVelocity().y(), 5.0f) << "the player bounces off its back";
    const float landedAt = positionOf(player).y;
    simulate(harness, 4);
    EXPECT_GT(positionOf(player).y, landedAt + 1.0f);

    // Every stomp takes 20; the beetle is in the world until the one that empties it.
    while (enemy.health > 0.0f) {
        EXPECT_TRUE(inWorld(enemy));
        EXPECT_EQ(burstParticles(level), 0);
        ASSERT_GT(dropOnto(harness, player, enemy, contacts), 0) << "a drop missed the beetle";
        if (enemy.health > 0.0f) {
            EXPECT_FLOAT_EQ(enemy.health, 100.0f - 20.0f * static_cast<float>(contacts.stompsOn(enemy)));
        }
        ASSERT_LE(contacts.stompsOn(enemy), 6);
    }
    EXPECT_GE(contacts.stompsOn(enemy), 5);
    EXPECT_GE(burstParticles(level), 200) << "a burst of light marks the defeat";

    // Gone from the world: the player dropped where it stood falls through to the
    // floor, and nothing more is heard from it.
    simulate(harness);
    EXPECT_FALSE(inWorld(enemy));
    contacts.clear();
    const glm::vec3 grave = positionOf(enemy);
    place(player, {grave.x, 6.0f, grave.z});
    simulate(harness, 30);
    EXPECT_EQ(contacts.stompsOn(enemy) + contacts.sideContactsWith(enemy), 0);
    EXPECT_NEAR(positionOf(player).y, 1.915f, 0.1f) << "standing on the floor where the beetle was";
    EXPECT_FALSE(level.allEnemiesDead()) << "two beetles are still about";
}

TEST(EnemyEncounter, TutorialDummiesNeverHurtNeverMoveAndNeverDie)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::TutorialLevel>(harness, "TutorialLevel");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& dummy = *scene.enemies[0];
    ASSERT_NE(dynamic_cast<physics::DummyEnemy*>(&dummy), nullptr);

    // A contact from the side, as level one would count it, costs nothing here.
    btManifoldPoint point;
    glm::vec3 fromTheSide(0.0f, 0.1f, 0.995f);
    player.sound = core::Sound();
    scene.collisionCallback(&player, &dummy, point, fromTheSide);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_TRUE(player.sound.empty()) << "no hit sound for a harmless touch";
    EXPECT_FLOAT_EQ(dummy.health, 100.0f);

    // Walking into the dummy on the practice yard's floor meets its steep side: a side
    // contact, which the tutorial forgives. The player is never the one who gets hurt.
    ContactLog contacts(scene);
    place(player, {-14.0f, 1.915f, 29.0f + 3.2f});
    harness.input.press(GLFW_KEY_D);
    simulate(harness, 25);
    harness.input.release(GLFW_KEY_D);
    EXPECT_GT(contacts.sideContactsWith(dummy), 0) << "the player never met the dummy's side";
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_TRUE(player.sound.empty());
    EXPECT_EQ(dummy.moveDirection, glm::vec3(0.0f)) << "a dummy does not come after the player";

    // Landing on it again and again: it takes the stomps and sounds the hit, but
    // keeps its last sliver of health and its place in the world, without a burst.
    dummy.sound = core::Sound();
    while (contacts.stompsOn(dummy) < 7)
        ASSERT_GT(dropOnto(harness, player, dummy, contacts), 0) << "a drop missed the dummy";
    EXPECT_FLOAT_EQ(dummy.health, physics::DummyEnemy::lowestHealth);
    EXPECT_FALSE(dummy.sound.empty());
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(burstParticles(level), 0) << "no burst for a dummy";
    simulate(harness);
    EXPECT_TRUE(inWorld(dummy));
    EXPECT_EQ(dummy.moveDirection, glm::vec3(0.0f));
}

TEST(EnemyEncounter, LevelOneCountsTheSameSideContactTheTutorialForgives)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::LevelOne>(harness, "LevelOne");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& enemy = *scene.enemies[0];
    btManifoldPoint point;
    glm::vec3 fromTheSide(0.0f, 0.1f, 0.995f);
    scene.collisionCallback(&player, &enemy, point, fromTheSide);
    EXPECT_FLOAT_EQ(player.health, 95.0f);
    EXPECT_FLOAT_EQ(enemy.health, 100.0f);
    // 0.2 is already a landing.
    glm::vec3 fromAbove(0.0f, 0.2f, 0.98f);
    scene.collisionCallback(&player, &enemy, point, fromAbove);
    EXPECT_FLOAT_EQ(player.health, 95.0f);
    EXPECT_FLOAT_EQ(enemy.health, 80.0f);
}

} // namespace
} // namespace fennik::test
