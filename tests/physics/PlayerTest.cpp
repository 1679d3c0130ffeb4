#include "physics/Player.hpp"

#include "core/ScriptedInput.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::physics {
namespace {

class PlayerTest : public ::testing::Test {
protected:
    core::ScriptedInput keys;
    core::ScopedInputSource scoped{keys};
    test::LogCapture quiet; // jump sounds may report a missing audio device
    Player player{nullptr, 11.0f, {0, 5, 0}, false};
};

TEST_F(PlayerTest, IsAnUprightCapsuleOfItsOwn)
{
    ASSERT_EQ(player.body->getCollisionShape()->getShapeType(), CAPSULE_SHAPE_PROXYTYPE);
    const auto* capsule = static_cast<const btCapsuleShape*>(player.body->getCollisionShape());
    EXPECT_FLOAT_EQ(capsule->getRadius(), 1.5f);
    EXPECT_FLOAT_EQ(capsule->getHalfHeight(), 0.375f);
    EXPECT_EQ(capsule->getUpAxis(), 1);
    EXPECT_EQ(player.body->getInvInertiaDiagLocal(), btVector3(0, 0, 0));
    EXPECT_EQ(player.body->getUserPointer(), &player);
    EXPECT_EQ(player.type, Entity::playerType);
    EXPECT_TRUE(player.solid);
    EXPECT_FLOAT_EQ(player.body->getInvMass(), 1.0f / 11.0f);
    EXPECT_EQ(player.body->getCenterOfMassPosition(), btVector3(0, 5, 0));
}

TEST_F(PlayerTest, KeysMoveAlongTheAxesInPriorityOrderMirroredWhenNotInverted)
{
    const struct {
        std::vector<int> held;
        glm::vec3 direction;
    } cases[] = {
        {{GLFW_KEY_W}, {-1, 0, 0}},
        {{GLFW_KEY_S}, {1, 0, 0}},
        {{GLFW_KEY_A}, {0, 0, 1}},
        {{GLFW_KEY_D}, {0, 0, -1}},
        {{GLFW_KEY_W, GLFW_KEY_D}, {-1, 0, 0}}, // no diagonals: W wins
        {{GLFW_KEY_S, GLFW_KEY_A}, {1, 0, 0}},
        {{GLFW_KEY_A, GLFW_KEY_D}, {0, 0, 1}},
        {{}, {0, 0, 0}},
    };
    for (bool inverted : {true, false}) {
        player.invertControls = inverted;
        for (const auto& c : cases) {
            keys.releaseAll();
            for (int key : c.held)
                keys.press(key);
            player.processInput(nullptr);
            EXPECT_EQ(player.moveDirection, inverted ? c.direction : -c.direction)
                << "first key " << (c.held.empty() ? 0 : c.held.front()) << (inverted ? "" : ", not inverted");
        }
    }
}

TEST_F(PlayerTest, JumpAddsAboutEightPointOneEightUpwardsOnceAndLeavesTheWalkAlone)
{
    keys.press(GLFW_KEY_SPACE);
    keys.press(GLFW_KEY_A);
    player.processInput(nullptr);
    EXPECT_EQ(player.moveDirection, glm::vec3(0, 0, 1));
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 90.0f / 11.0f, 1e-4f);
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 8.18f, 0.01f);
    EXPECT_NEAR(player.body->getWorldTransform().getOrigin().y(), 5.01f, 1e-5f);
    EXPECT_TRUE(player.jumping);

    // Holding SPACE does not jump again until the ground clears the flag.
    player.processInput(nullptr);
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 90.0f / 11.0f, 1e-4f);

    player.jumping = false;
    player.processInput(nullptr);
    EXPECT_NEAR(player.body->getLinearVelocity().y(), 2 * 90.0f / 11.0f, 1e-4f);
}

TEST_F(PlayerTest, ModelIsDrawnOnePointSevenBelowTheCentre)
{
    // (It turns to face its walk as every entity does; the entity cases show that.)
    EXPECT_NEAR(player.getModelMatrix()[3].y, 5.0f - 1.7f, 1e-5f);
    EXPECT_NEAR(player.position.y, 5.0f, 1e-5f);
}

} // namespace
} // namespace fennik::physics
