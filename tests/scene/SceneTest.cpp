#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace fennik::scene {
namespace {

using physics::Entity;

bool inWorld(const Entity& entity)
{
    return entity.body->getBroadphaseHandle() != nullptr;
}

class SceneTest : public ::testing::Test {
protected:
    core::GameSettings settings = test::gameSettings(800, 600);
    test::LogCapture quiet; // sound calls may report a missing audio device
    Scene scene{nullptr, &settings, Scene::PhysicsOnly{}};
    std::shared_ptr<physics::Enemy> enemyAt(glm::vec3 position) { return scene.addEnemy(nullptr, 1.0f, position, false); }
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
    auto geometry = std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(0, -5, 0), false, Entity::levelGeometryType, true);
    auto scenery = std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(0, -3, 0), false, Entity::levelGeometryType, false);
    scene.entities = {geometry, scenery};
    scene.dynamicsWorld->addRigidBody(geometry->body.get());

    enemy->health = 0.0f;
    geometry->health = -5.0f;
    for (int i = 0; i < 20; ++i) {
        scene.update();
        scene.stepPhysics();
    }
    EXPECT_FALSE(inWorld(*enemy));
    EXPECT_FALSE(inWorld(*geometry));
    ASSERT_LT(player->getModelMatrix()[3].y, 45.0f);
    player->health = 40.0f;

    scene.reset();
    for (const Entity* back : {static_cast<Entity*>(player.get()), static_cast<Entity*>(enemy.get()), geometry.get()}) {
        EXPECT_TRUE(inWorld(*back));
        EXPECT_FLOAT_EQ(back->health, 100.0f);
    }
    EXPECT_FALSE(inWorld(*scenery));
    EXPECT_NEAR(player->position.y, 50.0f, 1e-5f);
}

// Contacts as a step leaves them, with hand-picked points, handed to the level.
class DispatchTest : public SceneTest {
protected:
    struct Contact {
        Entity* player;
        Entity* other;
        glm::vec3 normal;
        float distance;
    };
    std::vector<Contact> reported;
    std::shared_ptr<physics::Player> player = scene.createPlayer(nullptr, 11.0f, {0, 0, 0}, false);
    Entity rock{nullptr, 0.0f, {10, 0, 0}, false, Entity::enemyType, true};
    Entity stone{nullptr, 0.0f, {-10, 0, 0}, false, Entity::levelGeometryType, true};
    btDefaultMotionState bareState;
    btBoxShape bareShape{btVector3(1, 1, 1)};
    btRigidBody bare{0.0f, &bareState, &bareShape}; // a body that is no entity
    std::vector<btPersistentManifold*> manifolds;

    void SetUp() override
    {
        scene.collisionCallback = [this](Entity* first, Entity* second, btManifoldPoint& point, glm::vec3& normal) {
            reported.push_back({first, second, normal, point.getDistance()});
        };
    }
    void TearDown() override
    {
        for (btPersistentManifold* manifold : manifolds)
            scene.dispatcher->releaseManifold(manifold);
    }

    void contact(btRigidBody& first, btRigidBody& second, std::vector<float> distances, btVector3 normal)
    {
        btPersistentManifold* made = scene.dispatcher->getNewManifold(&first, &second);
        for (float distance : distances)
            made->addManifoldPoint(btManifoldPoint(btVector3(distance, 0, 0), btVector3(0, 0, 0), normal, distance));
        manifolds.push_back(made);
    }
};

TEST_F(DispatchTest, PlayerComesFirstWithTheNormalPointingAtIt)
{
    contact(*player->body, *rock.body, {-0.1f}, btVector3(0, 1, 0));
    contact(*rock.body, *player->body, {-0.2f}, btVector3(0, 0.6f, 0.8f));
    scene.dispatchCollisions();

    ASSERT_EQ(reported.size(), 2u);
    for (const Contact& c : reported) {
        EXPECT_EQ(c.player, player.get());
        EXPECT_EQ(c.other, &rock);
    }
    EXPECT_EQ(reported[0].normal, glm::vec3(0, 1, 0));
    EXPECT_EQ(reported[1].normal, glm::vec3(0, -0.6f, -0.8f));
}

TEST_F(DispatchTest, OnlyPenetratingPointsOfThePlayerWithAnEntityAreReported)
{
    contact(*player->body, *rock.body, {0.0f, -0.01f, 0.02f, -0.3f}, btVector3(1, 0, 0));
    contact(*rock.body, *stone.body, {-0.5f}, btVector3(0, 1, 0));
    contact(bare, *player->body, {-0.5f}, btVector3(0, 1, 0));
    scene.dispatchCollisions();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_FLOAT_EQ(reported[0].distance, -0.01f);
    EXPECT_FLOAT_EQ(reported[1].distance, -0.3f);
}

// A hero on the test arena, played tick by tick the way a level plays it. The contact
// callback clears the jump flag on ground contact, as the playable levels do. (The
// game's own Fennik on its own levels is played in the level scenarios.)
class ArenaScenario : public test::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        hero = std::make_unique<render::Model>("tests/scene/fixtures/hero.obj");
        arena = std::make_unique<render::Model>("tests/scene/fixtures/arena.obj");
        scene = std::make_unique<Scene>(nullptr, &settings, Scene::PhysicsOnly{});
        player = scene->createPlayer(hero->findMesh("Hero"), 11.0f, {0, 4, 0}, false);
        scene->createCamera();
        scene->addLevelGeometry(*arena, false);
        scene->collisionCallback = [this](Entity* who, Entity* other, btManifoldPoint& point, glm::vec3& normal) {
            EXPECT_EQ(who, player.get());
            EXPECT_LT(point.getDistance(), 0.0f);
            if (other->type != Entity::enemyType && normal.y > settings.slopeThreshold)
                player->jumping = false;
        };
    }

    // As a level runs a tick: input, the entity pass, one physics step.
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            scene->processInput();
            scene->update();
            scene->stepPhysics();
        }
    }
    float height()
    {
        player->getModelMatrix();
        return player->position.y;
    }
    float verticalSpeed() const { return player->body->getLinearVelocity().y(); }

    core::GameSettings settings = test::gameSettings(320, 240);
    core::ScriptedInput keys;
    core::ScopedInputSource scoped{keys};
    test::LogCapture quiet;
    // Declared before the Scene, so they outlive the bodies that use their shapes.
    std::unique_ptr<render::Model> hero;
    std::unique_ptr<render::Model> arena;
    std::unique_ptr<Scene> scene;
    std::shared_ptr<physics::Player> player;
};

TEST_F(ArenaScenario, HeroFallsAtTwiceGravityStandsAndJumpsOnceUntilLanding)
{
    tick();
    EXPECT_NEAR(verticalSpeed(), -2.0f * 9.81f / 30.0f, 1e-4f);

    // The capsule comes to rest with its centre its half height above the floor.
    tick(29);
    const float ground = height();
    EXPECT_NEAR(ground, 1.875f, 0.1f);
    EXPECT_NEAR(verticalSpeed(), 0.0f, 0.05f);

    // SPACE held: one jump, v^2 / (2 * 2g) high, however long it is held in the air.
    keys.press(GLFW_KEY_SPACE);
    tick();
    EXPECT_NEAR(verticalSpeed(), 90.0f / 11.0f - 2.0f * 9.81f / 30.0f, 0.05f);
    float highest = ground;
    float fastestRise = 0.0f;
    for (int i = 0; i < 8; ++i) {
        tick();
        fastestRise = std::max(fastestRise, verticalSpeed());
        highest = std::max(highest, height());
    }
    EXPECT_LT(fastestRise, 90.0f / 11.0f + 0.01f);
    keys.release(GLFW_KEY_SPACE);
    for (int i = 0; i < 60 && height() > ground + 0.05f; ++i) {
        tick();
        highest = std::max(highest, height());
    }
    EXPECT_NEAR(highest - ground, (8.18f * 8.18f) / (4.0f * 9.81f), 0.3f);
    tick(5);
    EXPECT_FALSE(player->jumping) << "landing lets the hero jump again";
}

} // namespace
} // namespace fennik::scene
