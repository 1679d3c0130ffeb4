#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "physics/Enemy.hpp"
#include "physics/Player.hpp"

#include "support/LogCapture.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace fennik::scene {
namespace {

using physics::Entity;

bool inWorld(const Entity& entity) { return entity.body->getBroadphaseHandle() != nullptr; }

// A physics-only scene, played tick by tick as a level plays it: input, the entity
// pass (which hands the last step's contacts to the level), one physics step.
class SceneTest : public ::testing::Test {
protected:
    core::GameSettings settings = test::gameSettings(800, 600);
    core::ScriptedInput keys;
    core::ScopedInputSource scoped{keys};
    test::LogCapture quiet; // sound calls may report a missing audio device
    Scene scene{nullptr, &settings, Scene::PhysicsOnly{}};

    std::shared_ptr<physics::Enemy> enemyAt(glm::vec3 position)
    {
        return scene.addEnemy(nullptr, 1.0f, position, false);
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            scene.processInput();
            scene.update();
            scene.stepPhysics();
        }
    }
};

TEST_F(SceneTest, EnemiesChaseBelowTwentyUnitsOfGroundDistanceAndGoHomeFromTwenty)
{
    // The level scenarios play the rule along one axis; the distance must take both
    // ground axes (a 3-4-5 triangle) and leave the height out.
    scene.createPlayer(nullptr, 0.0f, {0, 0, 0}, false);
    auto atTwenty = enemyAt({12, 0, 16});
    auto justInside = enemyAt({0, 0, -19.99f});
    auto farBelow = enemyAt({19.9f, -30, 0});
    scene.update();
    EXPECT_EQ(atTwenty->moveDirection, glm::vec3(0.0f)) << "at home already, it stays";
    EXPECT_EQ(justInside->moveDirection, glm::vec3(0, 0, 1));
    EXPECT_EQ(farBelow->moveDirection, glm::vec3(-1, 0, 0)) << "height does not count";
}

TEST_F(SceneTest, TheDeadLeaveTheWorldAndTheRestartBringsEveryoneBackButScenery)
{
    auto player = scene.createPlayer(nullptr, 11.0f, {1, 50, 2}, false);
    auto enemy = enemyAt({3, 0, 0});
    auto geometry =
        std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(0, -5, 0), false, Entity::levelGeometryType, true);
    auto scenery =
        std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(0, -3, 0), false, Entity::levelGeometryType, false);
    scene.entities = {geometry, scenery};
    scene.dynamicsWorld->addRigidBody(geometry->body.get());
    enemy->health = 0.0f;
    geometry->health = -5.0f;
    tick(20);
    EXPECT_FALSE(inWorld(*enemy));
    EXPECT_FALSE(inWorld(*geometry));
    player->health = 40.0f;

    scene.reset();
    for (const Entity* back : {static_cast<Entity*>(player.get()), static_cast<Entity*>(enemy.get()), geometry.get()}) {
        EXPECT_TRUE(inWorld(*back));
        EXPECT_FLOAT_EQ(back->health, 100.0f);
    }
    EXPECT_FALSE(inWorld(*scenery));
    EXPECT_NEAR(player->position.y, 50.0f, 1e-5f) << "back from its fall at once";
}

// The player dropped onto a static box; the level's callback clears the jump flag on
// ground contact, as the playable levels do.
TEST_F(SceneTest, PlayerFallsAtTwiceGravityRestsAtItsHalfHeightAndJumpsOnceUntilLanding)
{
    auto player = scene.createPlayer(nullptr, 11.0f, {0, 4, 0}, false);
    Entity box{nullptr, 0.0f, {0, 0, 0}, false, Entity::levelGeometryType, true}; // top at 0.25
    scene.dynamicsWorld->addRigidBody(box.body.get());
    scene.collisionCallback = [&](Entity*, Entity*, btManifoldPoint&, glm::vec3& normal) {
        if (normal.y > settings.slopeThreshold)
            player->jumping = false;
    };
    const auto height = [&] { return player->getModelMatrix()[3].y + 1.7f; };
    const auto rise = [&] { return player->body->getLinearVelocity().y(); };

    tick(30);
    const float ground = height();
    EXPECT_NEAR(ground, 0.25f + 1.875f, 0.05f);
    EXPECT_NEAR(rise(), 0.0f, 0.05f);

    // SPACE held: one jump, v^2 / (2 * 2g) high, however long it is held in the air.
    keys.press(GLFW_KEY_SPACE);
    tick();
    EXPECT_NEAR(rise(), 90.0f / 11.0f - 2.0f * 9.81f / 30.0f, 0.05f);
    float highest = ground, fastestRise = 0.0f;
    for (int i = 0; i < 8; ++i, tick()) {
        fastestRise = std::max(fastestRise, rise());
        highest = std::max(highest, height());
    }
    EXPECT_LT(fastestRise, 90.0f / 11.0f + 0.01f);
    keys.release(GLFW_KEY_SPACE);
    for (int i = 0; i < 60 && height() > ground + 0.05f; ++i, tick())
        highest = std::max(highest, height());
    EXPECT_NEAR(highest - ground, (8.18f * 8.18f) / (4.0f * 9.81f), 0.3f);
    tick(5);
    EXPECT_FALSE(player->jumping) << "landing lets the player jump again";
    scene.dynamicsWorld->removeRigidBody(box.body.get());
}

// Contacts as a step leaves them, with hand-picked points.
TEST_F(SceneTest, PenetratingPointsOfThePlayerWithAnEntityComeWithThePlayerFirstAndTheNormalTowardsIt)
{
    auto player = scene.createPlayer(nullptr, 11.0f, {0, 0, 0}, false);
    Entity rock{nullptr, 0.0f, {10, 0, 0}, false, Entity::enemyType, true};
    Entity stone{nullptr, 0.0f, {-10, 0, 0}, false, Entity::levelGeometryType, true};
    btDefaultMotionState bareState;
    btBoxShape bareShape{btVector3(1, 1, 1)};
    btRigidBody bare{0.0f, &bareState, &bareShape}; // a body that is no entity
    std::vector<btPersistentManifold*> manifolds;
    const auto contact = [&](btRigidBody& first, btRigidBody& second, std::vector<float> distances, btVector3 normal) {
        manifolds.push_back(scene.dispatcher->getNewManifold(&first, &second));
        for (float distance : distances)
            manifolds.back()->addManifoldPoint(btManifoldPoint(btVector3(distance, 0, 0), {}, normal, distance));
    };
    contact(*player->body, *rock.body, {0.0f, -0.1f, 0.02f, -0.3f}, btVector3(0, 1, 0));
    contact(*rock.body, *player->body, {-0.2f}, btVector3(0, 0.6f, 0.8f));
    contact(*rock.body, *stone.body, {-0.5f}, btVector3(0, 1, 0));
    contact(bare, *player->body, {-0.5f}, btVector3(0, 1, 0));
    std::vector<std::tuple<Entity*, Entity*, float, glm::vec3>> reported;
    scene.collisionCallback = [&](Entity* first, Entity* second, btManifoldPoint& point, glm::vec3& normal) {
        reported.emplace_back(first, second, point.getDistance(), normal);
    };
    scene.dispatchCollisions();
    for (btPersistentManifold* manifold : manifolds)
        scene.dispatcher->releaseManifold(manifold);
    EXPECT_EQ(reported, (decltype(reported){{player.get(), &rock, -0.1f, {0, 1, 0}},
                                            {player.get(), &rock, -0.3f, {0, 1, 0}},
                                            {player.get(), &rock, -0.2f, {0, -0.6f, -0.8f}}}));
}

} // namespace
} // namespace fennik::scene
