#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/TestSettings.hpp"

#include <LinearMath/btAlignedAllocator.h>

#include <atomic>
#include <cstdlib>

namespace fennik::scene {
namespace {

// Every Bullet object (bodies, motion states, shapes, triangle meshes, the world's
// own arrays) is allocated through Bullet's aligned allocator. Counting what passes
// through it shows whether a Scene gives back everything it took.
std::atomic<long> liveBulletBlocks{0};

void* countedAlloc(std::size_t size)
{
    ++liveBulletBlocks;
    return std::malloc(size);
}

void countedFree(void* block)
{
    if (block)
        --liveBulletBlocks;
    std::free(block);
}

const bool countingInstalled = [] {
    btAlignedAllocSetCustom(countedAlloc, countedFree);
    return true;
}();

class SceneRelease : public test::GLTest {};

TEST_F(SceneRelease, SceneGivesBackBodiesMotionStatesAndTheWorld)
{
    ASSERT_TRUE(countingInstalled);
    core::GameSettings settings = test::gameSettings(640, 480);
    test::LogCapture quiet;
    const long before = liveBulletBlocks;
    {
        render::Model arena("tests/scene/fixtures/arena.obj");
        const long withModel = liveBulletBlocks;
        EXPECT_GT(withModel, before) << "the meshes' shapes and triangle meshes";
        {
            Scene scene(nullptr, &settings, Scene::PhysicsOnly{});
            scene.addLevelGeometry(arena, false);
            scene.createPlayer(arena.findMesh("crate_solid"), 11.0f, {0, 5, 0}, false);
            scene.createPlayer(nullptr, 11.0f, {0, 5, 0}, false); // the first one goes at once
            scene.createCamera();
            auto enemy = std::make_shared<physics::Enemy>(nullptr, 1.0f, glm::vec3(4, 1, 0), true);
            scene.enemies.push_back(enemy);
            scene.dynamicsWorld->addRigidBody(enemy->body.get());
            auto dead = std::make_shared<physics::Enemy>(nullptr, 1.0f, glm::vec3(-4, 1, 0), true);
            dead->health = 0.0f;
            scene.enemies.push_back(dead);
            scene.dynamicsWorld->addRigidBody(dead->body.get());
            for (int i = 0; i < 30; ++i) {
                scene.update();
                scene.stepPhysics();
            }
            EXPECT_GT(liveBulletBlocks, withModel);
        }
        // Only what the meshes own is left.
        EXPECT_EQ(liveBulletBlocks, withModel);
    }
    EXPECT_EQ(liveBulletBlocks, before);
}

} // namespace
} // namespace fennik::scene
