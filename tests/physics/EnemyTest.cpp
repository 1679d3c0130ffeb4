#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "scene/Scene.hpp"

#include "support/LogCapture.hpp"
#include "support/Teleport.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::physics {
namespace {

TEST(EnemyWalk, OnlyTheLongerAxisCountsAndATieGoesToZ)
{
    const struct {
        float dx, dz;
        glm::vec3 expected;
    } cases[] = {
        {5.0f, 1.0f, {1, 0, 0}}, {-5.0f, 1.0f, {-1, 0, 0}}, {1.0f, 5.0f, {0, 0, 1}},
        {1.0f, -5.0f, {0, 0, -1}}, {3.0f, -3.0f, {0, 0, -1}}, {0.0f, 0.0f, {0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Enemy::walkDirection(c.dx, c.dz), c.expected) << c.dx << ", " << c.dz;
}

// A home that lies towards -X or -Z must be reached as surely as one towards +X or +Z.
TEST(EnemyWalk, WalksHomeFromEveryDirectionAndStaysThere)
{
    core::GameSettings settings = test::gameSettings();
    scene::Scene scene(nullptr, &settings, scene::Scene::PhysicsOnly{});
    // A wide static floor with its top at y = 0; no entity, so no contact reaches game code.
    btBoxShape floorShape(btVector3(200, 1, 200));
    btDefaultMotionState floorMotion(btTransform(btQuaternion::getIdentity(), btVector3(0, -1, 0)));
    btRigidBody floor(0.0f, &floorMotion, &floorShape);
    floor.setFriction(1.0f);
    scene.dynamicsWorld->addRigidBody(&floor);

    const glm::vec3 home{0.0f, 0.25f, 0.0f};
    for (glm::vec3 away : {glm::vec3(6, 0, 0), glm::vec3(-6, 0, 0), glm::vec3(0, 0, 6), glm::vec3(0, 0, -6)}) {
        auto enemy = scene.addEnemy(nullptr, 20.0f, home, false);
        test::teleport(*enemy, home + away);
        for (int i = 0; i < 210; ++i) {
            enemy->act(glm::vec3(100.0f), true);
            scene.stepPhysics();
        }
        enemy->getModelMatrix();
        EXPECT_LT(glm::length(glm::vec2(enemy->position.x - home.x, enemy->position.z - home.z)), 0.6f)
            << "from " << away.x << ", " << away.z;
        scene.dynamicsWorld->removeRigidBody(enemy->body.get()); // out of the next one's way
        scene.enemies.pop_back();
    }
    scene.dynamicsWorld->removeRigidBody(&floor);
}

TEST(Interaction, RIsHeardOnlyWithinTheRangeWhichIsInclusiveAndThreeDimensional)
{
    core::ScriptedInput input;
    core::ScopedInputSource scoped{input};
    test::LogCapture quiet;
    Interactable note(nullptr, 0.0f, {0, 0, 0}, false, 10.0f, "first");
    input.setTime(5.0);
    input.press(GLFW_KEY_R);

    note.act({6.0f, 8.01f, 0.0f}, false); // just out of reach, and height counts
    note.processInput(nullptr, {});
    EXPECT_FALSE(note.inRange);
    EXPECT_FALSE(note.active);

    note.act({6.0f, 8.0f, 0.0f}, false); // exactly 10 away
    note.processInput(nullptr, {});
    EXPECT_TRUE(note.inRange);
    EXPECT_TRUE(note.active);
}

} // namespace
} // namespace fennik::physics
