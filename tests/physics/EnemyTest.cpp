#include "physics/Enemy.hpp"

#include "core/GameSettings.hpp"
#include "scene/Scene.hpp"

#include "support/Teleport.hpp"
#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace fennik::physics {
namespace {

// A physics-only scene with a wide static floor whose top is at y = 0. The floor
// is no entity (no user pointer), so no contact with it reaches game code.
class EnemyWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = std::make_unique<scene::Scene>(nullptr, &settings, scene::Scene::PhysicsOnly{});
        floorMotion = std::make_unique<btDefaultMotionState>(
            btTransform(btQuaternion::getIdentity(), btVector3(0, -1, 0)));
        floor = std::make_unique<btRigidBody>(
            btRigidBody::btRigidBodyConstructionInfo(0.0f, floorMotion.get(), &floorShape));
        floor->setFriction(1.0f);
        scene->dynamicsWorld->addRigidBody(floor.get());
    }
    void TearDown() override
    {
        scene->dynamicsWorld->removeRigidBody(floor.get());
        scene.reset();
    }

    // Runs the enemy's own behaviour tick by tick, without a player.
    void tick(Enemy& enemy, glm::vec3 target, bool returnHome, int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            enemy.act(target, returnHome);
            scene->stepPhysics();
        }
    }

    core::GameSettings settings = test::gameSettings();
    std::unique_ptr<scene::Scene> scene;
    btBoxShape floorShape{btVector3(200, 1, 200)};
    std::unique_ptr<btDefaultMotionState> floorMotion;
    std::unique_ptr<btRigidBody> floor;
};

TEST(EnemyWalk, OnlyTheDominantAxisCountsAndATieGoesToZ)
{
    struct Case {
        float dx, dz;
        glm::vec3 expected;
    };
    const Case cases[] = {
        {5.0f, 1.0f, {1, 0, 0}},   {-5.0f, 1.0f, {-1, 0, 0}}, {1.0f, 5.0f, {0, 0, 1}},
        {1.0f, -5.0f, {0, 0, -1}}, {3.0f, 3.0f, {0, 0, 1}},   {3.0f, -3.0f, {0, 0, -1}},
        {0.0f, 0.0f, {0, 0, 0}},   {0.0f, 0.5f, {0, 0, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Enemy::walkDirection(c.dx, c.dz), c.expected) << c.dx << ", " << c.dz;
}

TEST(EnemyWalk, HomeKeepsItsSignOutsideTheDeadZone)
{
    EXPECT_EQ(Enemy::homeDelta(0.05f), 0.0f);
    EXPECT_EQ(Enemy::homeDelta(-0.099f), 0.0f);
    EXPECT_EQ(Enemy::homeDelta(-3.5f), -3.5f);
    EXPECT_EQ(Enemy::homeDelta(0.1f), 0.1f);
}

TEST_F(EnemyWorld, ChasesAlongOneAxisAndTurnsTowardsIt)
{
    auto enemy = scene->addEnemy(nullptr, 20.0f, {0.0f, 0.25f, 0.0f}, false);
    // Heavy on a rough floor, an enemy gains speed slowly: two seconds of chase.
    tick(*enemy, {0.0f, 0.0f, -15.0f}, false, 60);
    enemy->getModelMatrix();
    EXPECT_LT(enemy->position.z, -1.0f);
    EXPECT_NEAR(enemy->position.x, 0.0f, 0.01f);
    EXPECT_EQ(enemy->facing, glm::vec3(0, 0, -1));

    // Standing right below the target (dx = dz = 0) it stops pushing and keeps its facing.
    enemy->getModelMatrix();
    enemy->act({enemy->position.x, 30.0f, enemy->position.z}, false);
    EXPECT_EQ(enemy->moveDirection, glm::vec3(0.0f));
    EXPECT_EQ(enemy->facing, glm::vec3(0, 0, -1));
}

// A home that lies towards -X or -Z must be reached as surely as one towards +X or +Z.
TEST_F(EnemyWorld, WalksHomeFromEveryDirectionAndStops)
{
    const glm::vec3 home{0.0f, 0.25f, 0.0f};
    for (glm::vec3 away : {glm::vec3(6, 0, 0), glm::vec3(-6, 0, 0), glm::vec3(0, 0, 6), glm::vec3(0, 0, -6)}) {
        auto enemy = scene->addEnemy(nullptr, 20.0f, home, false);
        test::teleport(*enemy, home + away);
        tick(*enemy, glm::vec3(100.0f), true, 150);
        enemy->getModelMatrix();
        EXPECT_NEAR(enemy->position.x, home.x, 0.6f) << "from " << away.x << ", " << away.z;
        EXPECT_NEAR(enemy->position.z, home.z, 0.6f) << "from " << away.x << ", " << away.z;
        // Settled: inside the dead zone it stops pushing instead of rocking about.
        tick(*enemy, glm::vec3(100.0f), true, 60);
        enemy->getModelMatrix();
        EXPECT_LT(glm::length(glm::vec2(enemy->position.x - home.x, enemy->position.z - home.z)), 0.6f);
        scene->dynamicsWorld->removeRigidBody(enemy->body.get());
        scene->enemies.pop_back();
    }
}

TEST_F(EnemyWorld, AllEnemiesDeadCountsTheDeadAndAnEmptyListIsAllDead)
{
    EXPECT_TRUE(scene->allEnemiesDead());
    auto first = scene->addEnemy(nullptr, 20.0f, {0, 1, 0}, false);
    auto second = scene->addEnemy(nullptr, 20.0f, {4, 1, 0}, false);
    first->health = 0.0f;
    EXPECT_FALSE(scene->allEnemiesDead());
    second->health = -20.0f;
    EXPECT_TRUE(scene->allEnemiesDead());
}

} // namespace
} // namespace fennik::physics
