#include "physics/Player.hpp"

#include "core/ScriptedInput.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

namespace fennik::physics {
namespace {

class PlayerTest : public ::testing::Test {
protected:
    core::ScriptedInput keys;
    core::ScopedInputSource scoped{keys};
    test::LogCapture quiet; // jump and hit sounds may report a missing audio device
    Player player{nullptr, 11.0f, {0, 5, 0}, false};
};

TEST_F(PlayerTest, OneKeyAtATimeMovesAlongAnAxisMirroredWhenNotInverted)
{
    const struct {
        std::vector<int> held;
        glm::vec3 direction;
    } cases[] = {
        {{GLFW_KEY_W}, {-1, 0, 0}}, {{GLFW_KEY_S}, {1, 0, 0}},           {{GLFW_KEY_A}, {0, 0, 1}},
        {{GLFW_KEY_D}, {0, 0, -1}}, {{GLFW_KEY_W, GLFW_KEY_D}, {-1, 0, 0}}, {{}, {0, 0, 0}},
    };
    for (bool inverted : {true, false}) {
        player.invertControls = inverted;
        for (const auto& c : cases) {
            keys.releaseAll();
            for (int key : c.held)
                keys.press(key);
            player.processInput(nullptr, {});
            EXPECT_EQ(player.moveDirection, inverted ? c.direction : -c.direction)
                << "first key " << (c.held.empty() ? 0 : c.held.front()) << (inverted ? "" : ", not inverted");
        }
    }
}

TEST_F(PlayerTest, JumpGivesAboutEightPointOneEightUpwardsOnceUntilTheGroundClearsTheFlag)
{
    keys.press(GLFW_KEY_SPACE);
    player.processInput(nullptr, {});
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 8.18f, 0.01f);
    EXPECT_TRUE(player.jumping);

    player.processInput(nullptr, {}); // SPACE still held, in mid-air
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 90.0f / 11.0f, 1e-4f);

    player.jumping = false;
    player.processInput(nullptr, {});
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 2 * 90.0f / 11.0f, 1e-4f);
}

TEST_F(PlayerTest, WalkingImpulsesStopAtTheSpeedLimitCountedOnAllThreeAxes)
{
    player.moveDirection = {0, 0, -1};
    player.applyMovement();
    EXPECT_NEAR(player.body->getLinearVelocity().z(), -15.0f / 11.0f, 1e-5f) << "the impulse is shared by the mass";

    player.body->setLinearVelocity(btVector3(0, -22.0f, 0)); // falling fast
    player.applyMovement();
    EXPECT_EQ(player.body->getLinearVelocity(), btVector3(0, -22.0f, 0));
    EXPECT_EQ(player.facing, glm::vec3(0, 0, -1)) << "the facing still follows the input";

    // The model turns to the last walk and keeps it when the keys are let go.
    player.moveDirection = glm::vec3(0.0f);
    player.applyMovement();
    const glm::vec3 drawnForward(player.getModelMatrix() * glm::vec4(1, 0, 0, 0));
    EXPECT_NEAR(drawnForward.z, -1.0f, 1e-5f);
}

// Between two ticks the figure is drawn on the line between the two places, turned by
// slerp, feet below the capsule; exactly as a tick left it at 0 and 1; after a snap, where it is.
TEST_F(PlayerTest, AFrameBetweenTicksBlendsPlaceAndTurnAndASnapLeavesNothingToBlend)
{
    const glm::mat4 previous = player.getModelMatrix();
    player.motionState->setWorldTransform(btTransform(btQuaternion(btVector3(0, 1, 0), 1.5707964f), btVector3(4, 5, -2)));
    player.recordTick();
    EXPECT_EQ(player.drawnModelMatrix(0.0f), previous);
    EXPECT_EQ(player.drawnModelMatrix(1.0f), player.getModelMatrix());
    const glm::mat4 half = player.drawnModelMatrix(0.5f);
    EXPECT_LT(glm::distance(glm::vec3(half * glm::vec4(1, 0, 0, 0)), glm::vec3(0.70710677f, 0, -0.70710677f)), 1e-5f);
    EXPECT_LT(glm::distance(glm::vec3(half[3]), glm::vec3(2, 5 - 1.7f, -1)), 1e-5f);
    player.snapTicks();
    EXPECT_EQ(player.drawnModelMatrix(0.5f), player.getModelMatrix());
}

} // namespace
} // namespace fennik::physics
