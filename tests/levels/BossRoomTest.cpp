// The boss room: the scarab king's stomps, Kobbin, and what a restart keeps and clears.

#include "LevelTestSupport.hpp"

#include "levels/LevelBoss.hpp"
#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::test {
namespace {

using levels::LevelBoss;

TEST(BossRoom, EachStompTakesATenthAndTheLastBringsKobbinOnceUntilTheRoomRestarts)
{
    auto& harness = sharedGame();
    auto& level = startOn<LevelBoss>(harness, "LevelBoss");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& boss = *scene.enemies.at(0);

    ContactLog contacts(scene);
    ASSERT_GT(dropOnto(harness, player, boss, contacts), 0) << "the player never landed on the boss";
    EXPECT_FLOAT_EQ(boss.health, 100.0f - 10.0f * static_cast<float>(contacts.stompsOn(boss)));
    simulate(harness, 20);
    drawFrame(harness, "boss_fight");
    // The playthrough counts all ten stomps; here the fight skips to the last one.
    ASSERT_EQ(scene.interactables.size(), 1u);
    EXPECT_FALSE(inWorld(*scene.interactables[0])) << "no end figure while the boss stands";
    boss.health = 10.0f;
    ASSERT_GT(dropOnto(harness, player, boss, contacts), 0) << "the last drop missed the boss";

    // In the tick of the last stomp the player is set down in front of the boss's place,
    // at rest, and Kobbin stands where the boss stood, in a burst of light.
    EXPECT_LT(glm::distance(positionOf(player), LevelBoss::playerAfterFight), 1e-4f);
    EXPECT_FLOAT_EQ(player.body->getLinearVelocity().length(), 0.0f);
    ASSERT_EQ(scene.interactables.size(), 1u);
    auto& kobbin = *scene.interactables.front();
    EXPECT_LT(glm::distance(positionOf(kobbin), LevelBoss::bossPosition), 1e-4f);
    EXPECT_GE(burstParticles(level), 2000 + 200) << "Kobbin's burst and the boss's";

    // No second figure comes, and the player waits where set down.
    simulate(harness, 30);
    EXPECT_EQ(scene.interactables.size(), 1u);
    EXPECT_FALSE(inWorld(boss));
    EXPECT_NEAR(positionOf(player).z, LevelBoss::playerAfterFight.z, 0.5f);

    // Closing Kobbin's note ends the game (the playthrough does that). Coming back starts
    // the fight over, the boss whole and Kobbin gone: every visit starts the same way.
    harness.setLevel("StartMenu");
    harness.setLevel("LevelBoss");
    EXPECT_FALSE(level.endFigureSpawned());
    EXPECT_FLOAT_EQ(boss.health, 100.0f);
    EXPECT_TRUE(inWorld(boss));
    ASSERT_EQ(scene.interactables.size(), 1u);
    EXPECT_FALSE(inWorld(kobbin));
    teleport(player, {-4.0f, 1.915f, -35.0f});
    simulate(harness, 2);
    EXPECT_FALSE(kobbin.inRange);
}

TEST(BossRoom, AFallInTheTickTheBossFallsRestartsTheFightBeforeKobbinCanAppear)
{
    auto& harness = sharedGame();
    auto& level = startOn<LevelBoss>(harness, "LevelBoss");
    auto& scene = level.getScene();
    const std::size_t figures = scene.interactables.size();

    scene.enemies.at(0)->health = 0.0f;
    teleport(*scene.player, {30.0f, -1.0f, 0.0f}); // beyond the hall's east wall, below its floor
    simulate(harness);
    EXPECT_EQ(harness.activeName(), "LevelBoss");
    EXPECT_FALSE(level.endFigureSpawned());
    EXPECT_EQ(scene.interactables.size(), figures);
    EXPECT_FLOAT_EQ(scene.enemies[0]->health, 100.0f);
}

} // namespace
} // namespace fennik::test
