#include "physics/EntityFixedCamera.hpp"

#include "core/ScriptedInput.hpp"
#include "physics/Entity.hpp"

#include <glm/gtc/matrix_transform.hpp>
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
};

TEST_F(CameraTest, SettlesBehindAndAboveTheTargetLookingAlongMinusXAndDownByThePitch)
{
    EXPECT_EQ(camera.position, glm::vec3(0.0f)) << "starts at the origin";
    ticks(400);
    // 50 units along a 59-degree elevation (55 of pitch plus the 4-degree lift),
    // on the +X side at the default yaw of 270.
    EXPECT_NEAR(camera.position.x, 3.0f + 25.75f, 0.01f);
    EXPECT_NEAR(camera.position.y, 2.0f + 42.86f, 0.01f);
    EXPECT_NEAR(camera.position.z, -7.0f, 0.01f);
    EXPECT_FLOAT_EQ(camera.viewYaw, -90.0f);

    const glm::mat4 view = camera.getViewMatrix();
    EXPECT_EQ(view, camera.view);
    const glm::vec3 forward = glm::vec3(glm::inverse(view) * glm::vec4(0, 0, -1, 0));
    EXPECT_NEAR(forward.x, -std::cos(glm::radians(55.0f)), 1e-4f);
    EXPECT_NEAR(forward.y, -std::sin(glm::radians(55.0f)), 1e-4f);
    EXPECT_NEAR(forward.z, 0.0f, 1e-4f);

    // The target is drawn a little below the centre of the screen (the 4-degree lift).
    const glm::vec4 clip = camera.projection * view * glm::vec4(3, 2, -7, 1);
    EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-3f);
    EXPECT_LT(clip.y / clip.w, -0.05f);
}

TEST_F(CameraTest, CoversAboutNinetyPercentInTwentyTwoTicks)
{
    const glm::vec3 goal(3.0f + 50.0f * std::cos(glm::radians(59.0f)), 2.0f + 50.0f * std::sin(glm::radians(59.0f)),
                         -7.0f);
    ticks(21);
    const float afterTwentyOne = glm::length(camera.position) / glm::length(goal);
    ticks(1);
    const float afterTwentyTwo = glm::length(camera.position) / glm::length(goal);
    EXPECT_LT(afterTwentyOne, 0.9f);
    EXPECT_GE(afterTwentyTwo, 0.9f);
    EXPECT_NEAR(afterTwentyTwo, 1.0f - std::pow(0.9f, 22.0f), 1e-4f);
}

TEST_F(CameraTest, ProjectionTakesTheFieldOfViewInDegreesAndFollowsSetProjection)
{
    // Right-handed with depth from -1 to 1, as the scene's shaders expect.
    const auto expectPerspective = [this](float fovDegrees, float aspect, float nearZ, float farZ) {
        const glm::mat4 expected = glm::perspectiveRH_NO(glm::radians(fovDegrees), aspect, nearZ, farZ);
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row)
                EXPECT_NEAR(camera.projection[column][row], expected[column][row], 1e-5f) << column << ", " << row;
    };
    expectPerspective(45.0f, 16.0f / 9.0f, 0.1f, 500.0f);

    camera.setProjection(60.0f, 1.0f, 1.0f, 50.0f);
    EXPECT_FLOAT_EQ(camera.fov, 60.0f);
    EXPECT_FLOAT_EQ(camera.nearZ, 1.0f);
    EXPECT_FLOAT_EQ(camera.farZ, 50.0f);
    expectPerspective(60.0f, 1.0f, 1.0f, 50.0f);
}

TEST_F(CameraTest, DragTurnsThreeTenthsOfADegreePerPixel)
{
    input.moveCursor(100, 100);
    camera.onMouseButton(nullptr, 0, 1);
    ASSERT_TRUE(camera.mouseControl);
    input.moveCursor(110, 120); // right and down
    ticks(1);
    EXPECT_NEAR(camera.pitch, 55.0f + 20 * 0.3f, 1e-4f);
    EXPECT_NEAR(camera.yaw, 270.0f - 10 * 0.3f, 1e-4f);
}

TEST_F(CameraTest, PitchStaysBetweenZeroAndNinetyAndTheClampIsKept)
{
    input.moveCursor(100, 100);
    camera.onMouseButton(nullptr, 0, 1);
    input.moveCursor(100, -2000); // far up
    ticks(1);
    EXPECT_FLOAT_EQ(camera.pitch, 0.0f);
    input.moveCursor(100, -1990); // ten pixels back down act at once
    ticks(1);
    EXPECT_NEAR(camera.pitch, 3.0f, 1e-4f);
    input.moveCursor(100, 5000); // far down
    ticks(1);
    EXPECT_FLOAT_EQ(camera.pitch, 90.0f);
}

TEST_F(CameraTest, OnlyTheLeftButtonDrags)
{
    input.moveCursor(100, 100);
    camera.onMouseButton(nullptr, 1, 1);
    EXPECT_FALSE(camera.mouseControl);
    input.moveCursor(300, 300);
    ticks(1);
    EXPECT_FLOAT_EQ(camera.pitch, 55.0f);

    camera.onMouseButton(nullptr, 0, 1);
    camera.onMouseButton(nullptr, 1, 0); // a right release ends nothing
    EXPECT_TRUE(camera.mouseControl);
    camera.onMouseButton(nullptr, 0, 0);
    EXPECT_FALSE(camera.mouseControl);
    input.moveCursor(0, 0);
    ticks(1);
    EXPECT_FLOAT_EQ(camera.pitch, 55.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 270.0f);
}

TEST(CameraWithoutTarget, StaysWhereItIs)
{
    EntityFixedCamera camera(45.0f, 1.0f, 0.1f, 100.0f, nullptr, nullptr);
    camera.position = {1, 2, 3};
    camera.yaw = 200.0f;
    camera.update();
    EXPECT_EQ(camera.position, glm::vec3(1, 2, 3));
    EXPECT_FLOAT_EQ(camera.viewYaw, -20.0f);
}

} // namespace
} // namespace fennik::physics
