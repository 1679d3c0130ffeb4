// The boss room: ten stomps for the scarab king, then Kobbin and the way back to
// the start menu; and what a restart keeps and what it clears.

#include "EncounterSupport.hpp"

#include "levels/LevelBoss.hpp"
#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::test {
namespace {

void expectAt(physics::Entity& entity, glm::vec3 expected, float tolerance)
{
    const glm::vec3 at = positionOf(entity);
    EXPECT_NEAR(at.x, expected.x, tolerance);
    EXPECT_NEAR(at.y, expected.y, tolerance);
    EXPECT_NEAR(at.z, expected.z, tolerance);
}

TEST(BossRoom, TenStompsDefeatTheBossThenKobbinAppearsOnceAndClosingHisNoteEndsTheGame)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::LevelBoss>(harness, "LevelBoss");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& boss = *scene.enemies.at(0);
    ASSERT_NE(dynamic_cast<physics::BossEnemy*>(&boss), nullptr);
    ASSERT_TRUE(scene.interactables.empty()) << "no end figure before the fight";

    ContactLog contacts(scene);
    while (boss.health > 0.0f) {
        EXPECT_TRUE(inWorld(boss));
        EXPECT_TRUE(scene.interactables.empty()) << "no end figure while the boss stands";
        ASSERT_GT(dropOnto(harness, player, boss, contacts), 0) << "a drop missed the boss";
        if (boss.health > 0.0f) {
            EXPECT_FLOAT_EQ(boss.health, 100.0f - 10.0f * static_cast<float>(contacts.stompsOn(boss)));
        }
        ASSERT_LE(contacts.stompsOn(boss), 12);
    }
    EXPECT_GE(contacts.stompsOn(boss), 10);

    // In the tick of the last stomp: the player is set down 15 units in front of the
    // boss's place, all motion stopped, and Kobbin stands where the boss stood, in
    // a burst of light.
    EXPECT_TRUE(level.endFigureSpawned());
    expectAt(player, levels::LevelBoss::playerAfterFight, 1e-4f);
    EXPECT_FLOAT_EQ(player.body->getLinearVelocity().length(), 0.0f);
    ASSERT_EQ(scene.interactables.size(), 1u);
    auto& kobbin = *scene.interactables.front();
    EXPECT_NE(dynamic_cast<physics::EndInteractable*>(&kobbin), nullptr);
    expectAt(kobbin, levels::LevelBoss::bossPosition, 1e-4f);
    EXPECT_GE(burstParticles(level), 2000 + 200) << "Kobbin's burst and the boss's";

    // The boss stays dead and no second figure comes.
    simulate(harness, 30);
    EXPECT_EQ(scene.interactables.size(), 1u);
    EXPECT_FALSE(inWorld(boss));
    EXPECT_NEAR(positionOf(player).z, levels::LevelBoss::playerAfterFight.z, 0.5f) << "the player waits there";

    // Kobbin is within reach from there: the prompt, then his note, then the menu.
    EXPECT_TRUE(kobbin.inRange);
    harness.input.press(GLFW_KEY_R);
    simulate(harness);
    harness.input.release(GLFW_KEY_R);
    EXPECT_TRUE(kobbin.active);
    const Picture ending = drawFrame(harness, "leveltests_end_note");
    EXPECT_LT(cardDifference(ending, ending.width / 2 - ending.width / 5, ending.height / 2 - ending.height / 5,
                             2 * ending.width / 5, 2 * ending.height / 5, "assets/textures/end_texture.png"),
              20.0);
    simulate(harness, 31);
    EXPECT_EQ(harness.activeName(), "LevelBoss");
    harness.input.press(GLFW_KEY_R);
    simulate(harness);
    harness.input.release(GLFW_KEY_R);
    EXPECT_EQ(harness.activeName(), "StartMenu");
    EXPECT_FALSE(kobbin.active);

    // Coming back starts the fight over: the boss whole at its place, the end
    // cleared. Kobbin stays in the room, put back at his place (where the boss now
    // stands too, so the two shove each other apart), and still talks.
    harness.setLevel("LevelBoss");
    EXPECT_FALSE(level.endFigureSpawned());
    EXPECT_FLOAT_EQ(boss.health, 100.0f);
    EXPECT_TRUE(inWorld(boss));
    expectAt(boss, levels::LevelBoss::bossPosition, 1e-4f);
    ASSERT_EQ(scene.interactables.size(), 1u);
    expectAt(kobbin, levels::LevelBoss::bossPosition, 1e-4f);
    place(player, {-4.0f, 1.915f, -35.0f});
    simulate(harness, 2);
    EXPECT_TRUE(kobbin.inRange);
}

TEST(BossRoom, AFallInTheTickTheBossFallsRestartsTheFightBeforeKobbinCanAppear)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::LevelBoss>(harness, "LevelBoss");
    auto& scene = level.getScene();
    auto& boss = *scene.enemies.at(0);
    const std::size_t figures = scene.interactables.size();

    boss.health = 0.0f;
    place(*scene.player, {30.0f, -1.0f, 0.0f}); // beyond the hall's east wall, below its floor
    simulate(harness);
    EXPECT_EQ(harness.activeName(), "LevelBoss");
    EXPECT_FALSE(level.endFigureSpawned());
    EXPECT_EQ(scene.interactables.size(), figures);
    EXPECT_FLOAT_EQ(boss.health, 100.0f);
    EXPECT_TRUE(inWorld(boss));
    expectAt(*scene.player, {0.0f, 1.915f, 24.0f}, 1e-4f);
}

} // namespace
} // namespace fennik::test
