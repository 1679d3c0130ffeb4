#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "physics/Enemy.hpp"
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

const bool countingInstalled = [] {
    btAlignedAllocSetCustom(
        [](std::size_t size) {
            ++liveBulletBlocks;
            return std::malloc(size);
        },
        [](void* block) {
            if (block)
                --liveBulletBlocks;
            std::free(block);
        });
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
            scene.addEnemy(nullptr, 1.0f, {4, 1, 0}, true);
            scene.addEnemy(nullptr, 1.0f, {-4, 1, 0}, true)->health = 0.0f; // leaves the world
            for (int i = 0; i < 30; ++i) {
                scene.update();
                scene.stepPhysics();
            }
            EXPECT_GT(liveBulletBlocks, withModel);
        }
        EXPECT_EQ(liveBulletBlocks, withModel) << "only what the meshes own is left";
    }
    EXPECT_EQ(liveBulletBlocks, before);
}

} // namespace
} // namespace fennik::scene
