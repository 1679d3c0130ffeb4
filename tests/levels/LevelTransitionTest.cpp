// Every way out of every playable level: the far ends with their exact edges, the
// falls, the deaths, the restarts and what they bring back, and which level wins
// when several rules fire in the same tick.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "levels/PlayableLevel.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace fennik::test {
namespace {

const std::map<std::string, glm::vec3> playerStarts = {
    {"TestLevel", {-3.471045f, 1.915f, 34.187042f}},
    {"TutorialLevel", {-3.471045f, 1.915f, 34.187042f}},
    {"LevelOne", {0.0f, 1.915f, 24.0f}},
    {"LevelTwo", {0.0f, 1.915f, 24.0f}},
    {"LevelBoss", {0.0f, 1.915f, 24.0f}},
};

void killEveryEnemy(levels::PlayableLevel& level)
{
    for (const auto& enemy : level.getScene().enemies)
        enemy->health = 0.0f;
}

void expectRestarted(levels::PlayableLevel& level)
{
    auto& player = *level.getScene().player;
    const glm::vec3 start = playerStarts.at(level.name);
    const glm::vec3 at = positionOf(player);
    EXPECT_NEAR(at.x, start.x, 1e-4f);
    EXPECT_NEAR(at.y, start.y, 1e-4f);
    EXPECT_NEAR(at.z, start.z, 1e-4f);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

// The far ends, at their exact edges. High in the air nothing pushes the player
// sideways, so the edge positions are exactly what the level reads after its step.
struct EdgeCase {
    const char* level;
    glm::vec3 at;
    bool enemiesDefeated;
    const char* expected;
};

TEST(LevelTransitions, FarEndsSwitchAtTheirEdgeAndNotBefore)
{
    const EdgeCase cases[] = {
        {"TestLevel", {-3.47f, 20.0f, -44.99f}, false, "TestLevel"},
        {"TestLevel", {-3.47f, 20.0f, -45.0f}, false, "TutorialLevel"},
        {"TutorialLevel", {-3.47f, 20.0f, 49.99f}, false, "TutorialLevel"},
        {"TutorialLevel", {-3.47f, 20.0f, 50.0f}, false, "TestLevel"},
        {"TutorialLevel", {2.0f, 20.0f, -59.99f}, false, "TutorialLevel"},
        {"TutorialLevel", {2.0f, 20.0f, -60.0f}, false, "LevelOne"},
        {"LevelOne", {2.0f, 20.0f, -60.0f}, false, "LevelOne"},
        {"LevelOne", {2.0f, 20.0f, -59.99f}, true, "LevelOne"},
        {"LevelOne", {2.0f, 20.0f, -60.0f}, true, "LevelTwo"},
        {"LevelTwo", {2.0f, 20.0f, -70.0f}, false, "LevelTwo"},
        {"LevelTwo", {2.0f, 20.0f, -69.99f}, true, "LevelTwo"},
        {"LevelTwo", {2.0f, 20.0f, -70.0f}, true, "LevelBoss"},
    };
    auto& harness = sharedGame();
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(std::string(c.level) + " at z " + std::to_string(c.at.z) +
                     (c.enemiesDefeated ? ", enemies defeated" : ""));
        auto& level = startOn<levels::PlayableLevel>(harness, c.level);
        if (c.enemiesDefeated)
            killEveryEnemy(level);
        place(*level.getScene().player, c.at);
        simulate(harness);
        EXPECT_EQ(harness.activeName(), c.expected);
        if (harness.activeName() != c.level) {
            EXPECT_FLOAT_EQ(positionOf(*level.getScene().player).z, c.at.z) << "the level left behind is not reset";
            expectRestarted(harness.level<levels::PlayableLevel>(c.expected));
        }
    }
}

TEST(LevelTransitions, LevelOneOpensOnlyOnceTheLastEnemyIsDefeated)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::PlayableLevel>(harness, "LevelOne");
    auto& enemies = level.getScene().enemies;
    ASSERT_EQ(enemies.size(), 3u);
    enemies[0]->health = 0.0f;
    enemies[2]->health = 0.0f;
    place(*level.getScene().player, {2.0f, 20.0f, -61.0f});
    simulate(harness, 3);
    EXPECT_EQ(harness.activeName(), "LevelOne") << "one beetle is still about";
    enemies[1]->health = -20.0f;
    simulate(harness);
    EXPECT_EQ(harness.activeName(), "LevelTwo");
}

// Where each level sends a player whose health has run out.
TEST(LevelTransitions, DeathLeadsToEachLevelsOwnTarget)
{
    const std::pair<const char*, const char*> cases[] = {
        {"TestLevel", "StartMenu"}, {"TutorialLevel", "StartMenu"}, {"LevelOne", "LevelOne"},
        {"LevelTwo", "LevelTwo"},   {"LevelBoss", "LevelBoss"},
    };
    auto& harness = sharedGame();
    for (const auto& [name, target] : cases) {
        SCOPED_TRACE(name);
        auto& level = startOn<levels::PlayableLevel>(harness, name);
        auto& player = *level.getScene().player;
        place(player, playerStarts.at(name) + glm::vec3(0.0f, 0.0f, -4.0f));
        player.health = 0.0f;
        simulate(harness);
        EXPECT_EQ(harness.activeName(), target);
        if (std::string(target) == name)
            expectRestarted(level);
    }
}

TEST(LevelTransitions, FallingBelowTheFloorRestartsWhereTheLevelSaysSo)
{
    auto& harness = sharedGame();
    // Below y = 0 over a chasm (tutorial, level two) or beside the hall (boss room):
    // restarted at the end of that tick.
    const std::pair<const char*, glm::vec3> restarting[] = {
        {"TutorialLevel", {-3.47f, -0.5f, 5.5f}},
        {"LevelTwo", {0.0f, -0.5f, 14.5f}},
        {"LevelBoss", {30.0f, -0.5f, 0.0f}},
    };
    for (const auto& [name, at] : restarting) {
        SCOPED_TRACE(name);
        auto& level = startOn<levels::PlayableLevel>(harness, name);
        place(*level.getScene().player, at);
        simulate(harness);
        EXPECT_EQ(harness.activeName(), name);
        expectRestarted(level);
    }

    // The test level and level one have no such rule: the player falls on.
    for (const char* name : {"TestLevel", "LevelOne"}) {
        SCOPED_TRACE(name);
        auto& level = startOn<levels::PlayableLevel>(harness, name);
        place(*level.getScene().player, {30.0f, -0.5f, 0.0f});
        simulate(harness, 10);
        EXPECT_EQ(harness.activeName(), name);
        EXPECT_LT(positionOf(*level.getScene().player).y, -1.0f);
        EXPECT_FLOAT_EQ(level.getScene().player->health, 100.0f) << "no harm above y = -15";
    }
}

TEST(LevelTransitions, FarBelowTheLevelEveryTickHurtsUntilTheDeathRuleTakesOver)
{
    auto& harness = sharedGame();
    for (const auto& [name, target] : {std::pair{"TestLevel", "StartMenu"}, std::pair{"LevelOne", "LevelOne"}}) {
        SCOPED_TRACE(name);
        auto& level = startOn<levels::PlayableLevel>(harness, name);
        auto& player = *level.getScene().player;
        place(player, {30.0f, -20.0f, 0.0f});
        for (int tick = 1; tick < 20; ++tick) {
            simulate(harness);
            ASSERT_EQ(harness.activeName(), name);
            ASSERT_FLOAT_EQ(player.health, 100.0f - 5.0f * static_cast<float>(tick)) << "tick " << tick;
        }
        simulate(harness);
        EXPECT_EQ(harness.activeName(), target) << "the twentieth tick empties the gauge";
        if (std::string(target) == name)
            expectRestarted(level);
    }
}

TEST(LevelTransitions, WhenRulesFireTogetherTheLastOneWins)
{
    auto& harness = sharedGame();
    // Dead beyond the tutorial's start: the menu first, then the test level.
    {
        auto& level = startOn<levels::PlayableLevel>(harness, "TutorialLevel");
        auto& player = *level.getScene().player;
        place(player, {-3.47f, 20.0f, 50.0f});
        player.health = 0.0f;
        simulate(harness);
        EXPECT_EQ(harness.activeName(), "TestLevel");
    }
    // Dead beyond the tutorial's far end: level one.
    {
        auto& level = startOn<levels::PlayableLevel>(harness, "TutorialLevel");
        auto& player = *level.getScene().player;
        place(player, {2.0f, 20.0f, -60.0f});
        player.health = 0.0f;
        simulate(harness);
        EXPECT_EQ(harness.activeName(), "LevelOne");
    }
    // Dead and falling in the tutorial: the fall's restart comes last, so the
    // tutorial starts over instead of the menu.
    {
        auto& level = startOn<levels::PlayableLevel>(harness, "TutorialLevel");
        auto& player = *level.getScene().player;
        place(player, {-3.47f, -0.5f, 5.5f});
        player.health = 0.0f;
        simulate(harness);
        EXPECT_EQ(harness.activeName(), "TutorialLevel");
        expectRestarted(level);
    }
}

TEST(LevelTransitions, ARestartRevivesEveryEnemyAtItsStartButLeavesNotesAndViewsAlone)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::PlayableLevel>(harness, "LevelOne");
    auto& scene = level.getScene();
    std::vector<glm::vec3> homes;
    for (const auto& enemy : scene.enemies)
        homes.push_back(positionOf(*enemy));

    // One beetle lured away, two defeated and out of the world; the note open; the
    // view turned.
    place(*scene.enemies[0], homes[0] + glm::vec3(-5.0f, 0.0f, 4.0f));
    scene.enemies[1]->health = 0.0f;
    scene.enemies[2]->health = -20.0f;
    scene.interactables.at(0)->active = true;
    scene.camera->focalRange = 350.0f;
    simulate(harness);
    ASSERT_FALSE(inWorld(*scene.enemies[1]));
    ASSERT_FALSE(inWorld(*scene.enemies[2]));

    scene.player->health = 0.0f;
    simulate(harness);
    EXPECT_EQ(harness.activeName(), "LevelOne");
    expectRestarted(level);
    for (std::size_t i = 0; i < scene.enemies.size(); ++i) {
        SCOPED_TRACE("enemy " + std::to_string(i));
        auto& enemy = *scene.enemies[i];
        EXPECT_FLOAT_EQ(enemy.health, 100.0f);
        EXPECT_TRUE(inWorld(enemy));
        EXPECT_LT(glm::distance(positionOf(enemy), homes[i]), 0.1f);
    }
    EXPECT_FALSE(level.allEnemiesDead());
    EXPECT_TRUE(scene.interactables[0]->active) << "a restart does not close an open note";
    EXPECT_FLOAT_EQ(scene.camera->focalRange, 350.0f) << "a restart keeps the view";

    scene.interactables[0]->active = false;
    scene.camera->focalRange = 700.0f;
}

TEST(LevelTransitions, ALevelPicksUpAWindowSizeThatChangedWhileItWasAway)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    const int width = settings.windowWidth;
    const int height = settings.windowHeight;
    startOn<levels::PlayableLevel>(harness, "TestLevel");
    harness.setLevel("StartMenu");

    // The window changes while the test level is inactive: only the menu hears of it.
    settings.windowWidth = 640;
    settings.windowHeight = 480;
    harness.active().onResize(640, 480);
    auto& level = startOn<levels::PlayableLevel>(harness, "TestLevel");
    EXPECT_FLOAT_EQ(level.getScene().camera->aspect, 640.0f / 480.0f);

    settings.windowWidth = width;
    settings.windowHeight = height;
    level.onResize(width, height);
    simulate(harness);
    EXPECT_FLOAT_EQ(level.getScene().camera->aspect, static_cast<float>(width) / static_cast<float>(height));
}

} // namespace
} // namespace fennik::test
