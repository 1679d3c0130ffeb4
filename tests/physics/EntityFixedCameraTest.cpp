#include "physics/EntityFixedCamera.hpp"

#include "core/ScriptedInput.hpp"
#include "physics/Entity.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace fennik::physics {
namespace {

class CameraTest : public ::testing::Test {
protected:
    core::ScriptedInput input;
    core::ScopedInputSource scoped{input};
    // A static target: its body never moves, so the goal stays put.
    Entity target{nullptr, 0.0f, {3, 2, -7}, false, Entity::playerType, true};
    EntityFixedCamera camera{45.0f, 16.0f / 9.0f, 0.1f, 500.0f, &target, nullptr};

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            camera.update();
    }
    void drag(int fromX, int fromY, int toX, int toY)
    {
        input.moveCursor(fromX, fromY);
        camera.onMouseButton(nullptr, 0, 1);
        input.moveCursor(toX, toY);
        ticks(1);
    }
};

TEST_F(CameraTest, GlidesNinetyPercentOfTheWayInTwentyTwoTicksAndSettlesBehindAndAbove)
{
    // 50 units along a 59-degree elevation (55 of pitch plus the 4-degree lift), on
    // the +X side at the default yaw of 270.
    const glm::vec3 goal(3.0f + 25.75f, 2.0f + 42.86f, -7.0f);
    ticks(21);
    EXPECT_LT(glm::length(camera.position) / glm::length(goal), 0.9f);
    ticks(1);
    EXPECT_NEAR(glm::length(camera.position) / glm::length(goal), 1.0f - std::pow(0.9f, 22.0f), 1e-3f);

    ticks(400);
    EXPECT_LT(glm::distance(camera.position, goal), 0.02f);
    // Looking along -X and down by the pitch.
    const glm::vec3 forward(glm::inverse(camera.getViewMatrix()) * glm::vec4(0, 0, -1, 0));
    EXPECT_LT(glm::distance(forward, glm::vec3(-std::cos(glm::radians(55.0f)), -std::sin(glm::radians(55.0f)), 0.0f)),
              1e-4f);
}

TEST_F(CameraTest, LeftDragTurnsThreeTenthsOfADegreePerPixel)
{
    input.moveCursor(100, 100);
    camera.onMouseButton(nullptr, 1, 1); // the right button drags nothing
    input.moveCursor(300, 300);
    ticks(1);
    EXPECT_FLOAT_EQ(camera.pitch, 55.0f);

    drag(100, 100, 110, 120); // right and down
    EXPECT_NEAR(camera.pitch, 55.0f + 20 * 0.3f, 1e-4f);
    EXPECT_NEAR(camera.yaw, 270.0f - 10 * 0.3f, 1e-4f);
    camera.invertDrag = true; // the player's choice: the same drag turns back
    drag(100, 100, 110, 120);
    EXPECT_NEAR(camera.pitch, 55.0f, 1e-4f);
    EXPECT_NEAR(camera.yaw, 270.0f, 1e-4f);
}

TEST_F(CameraTest, PitchStaysBetweenZeroAndNinetyAndTheClampIsKept)
{
    drag(100, 100, 100, -2000); // far up
    EXPECT_FLOAT_EQ(camera.pitch, 0.0f);
    input.moveCursor(100, -1990); // ten pixels back down act at once
    ticks(1);
    EXPECT_NEAR(camera.pitch, 3.0f, 1e-4f);
    input.moveCursor(100, 5000); // far down
    ticks(1);
    EXPECT_FLOAT_EQ(camera.pitch, 90.0f);
}

} // namespace
} // namespace fennik::physics
