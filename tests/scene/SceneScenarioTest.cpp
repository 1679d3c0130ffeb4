#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"

#include "PlayTicks.hpp"
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
using physics::Player;

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
        scene->collisionCallback = [this](Entity* who, Entity* other, btManifoldPoint&, glm::vec3& normal) {
            if (other->type != Entity::enemyType && normal.y > settings.slopeThreshold)
                static_cast<Player*>(who)->jumping = false;
        };
    }

    void tick(int count = 1) { playTicks(*scene, count); }

    glm::vec3 centre()
    {
        player->getModelMatrix();
        return player->position;
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
    std::shared_ptr<Player> player;
};

TEST_F(ArenaScenario, HeroStandsWalksForwardAndJumps)
{
    // Standing: the capsule comes to rest with its centre its half height above the floor.
    tick(30);
    EXPECT_NEAR(centre().y, 1.875f, 0.1f);
    EXPECT_NEAR(verticalSpeed(), 0.0f, 0.05f);
    EXPECT_FALSE(player->jumping);

    // Walking: W held for 30 ticks moves towards -X (into the screen) and turns the hero.
    const glm::vec3 start = centre();
    keys.press(GLFW_KEY_W);
    float previousX = start.x;
    for (int i = 0; i < 30; ++i) {
        tick();
        const float x = centre().x;
        EXPECT_LE(x, previousX) << "tick " << i;
        previousX = x;
    }
    const glm::vec3 walked = centre();
    EXPECT_LT(walked.x, start.x - 10.0f);
    EXPECT_NEAR(walked.z, start.z, 0.01f);
    EXPECT_NEAR(walked.y, 1.875f, 0.1f);
    EXPECT_EQ(player->facing, glm::vec3(-1, 0, 0));
    const glm::vec3 drawnForward(player->getModelMatrix() * glm::vec4(1, 0, 0, 0));
    EXPECT_NEAR(drawnForward.x, -1.0f, 1e-5f);
    // Impulses stop at 22, so the walk never runs away.
    EXPECT_LT(player->body->getLinearVelocity().length(), 25.0f);
    // The camera trails on the +X side, above.
    EXPECT_GT(scene->camera->position.x, walked.x + 10.0f);
    EXPECT_GT(scene->camera->position.y, walked.y + 20.0f);

    keys.release(GLFW_KEY_W);
    tick(45);
    EXPECT_NEAR(player->body->getLinearVelocity().x(), 0.0f, 0.1f) << "friction stops the hero";

    // Jumping: one tap of SPACE.
    const float ground = centre().y;
    keys.press(GLFW_KEY_SPACE);
    tick();
    keys.release(GLFW_KEY_SPACE);
    EXPECT_NEAR(verticalSpeed(), 90.0f / 11.0f - 2.0f * 9.81f / 30.0f, 0.05f);
    float highest = ground;
    int airborneTicks = 0;
    for (; airborneTicks < 60 && (airborneTicks < 3 || centre().y > ground + 0.05f); ++airborneTicks) {
        tick();
        highest = std::max(highest, centre().y);
    }
    // v^2 / (2 * 2g): about 1.7 units up, with twice the gravity.
    EXPECT_NEAR(highest - ground, (8.18f * 8.18f) / (4.0f * 9.81f), 0.3f);
    EXPECT_LT(airborneTicks, 60);
    tick(5);
    EXPECT_FALSE(player->jumping) << "landing lets the hero jump again";
    EXPECT_NEAR(centre().y, ground, 0.05f);
}

TEST_F(ArenaScenario, HoldingSpaceJumpsOnlyOnceUntilLanding)
{
    tick(30);
    keys.press(GLFW_KEY_SPACE);
    float fastestRise = 0.0f;
    for (int i = 0; i < 8; ++i) {
        tick();
        fastestRise = std::max(fastestRise, verticalSpeed());
    }
    EXPECT_LT(fastestRise, 90.0f / 11.0f + 0.01f);
}

TEST_F(ArenaScenario, SameInputGivesTheSameGameEveryTime)
{
    const auto play = [this] {
        keys.releaseAll();
        scene->reset();
        player->facing = glm::vec3(0.0f);
        std::vector<glm::vec3> path;
        tick(10);
        keys.press(GLFW_KEY_A);
        for (int i = 0; i < 20; ++i) {
            tick();
            path.push_back(centre());
        }
        keys.press(GLFW_KEY_SPACE);
        for (int i = 0; i < 20; ++i) {
            tick();
            path.push_back(centre());
        }
        return path;
    };
    const std::vector<glm::vec3> first = play();
    const std::vector<glm::vec3> second = play();
    EXPECT_EQ(first, second);
    EXPECT_GT(first.back().z, 5.0f) << "A walks towards +Z";
}

} // namespace
} // namespace fennik::scene
