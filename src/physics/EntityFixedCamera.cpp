#define GLM_ENABLE_EXPERIMENTAL
#include "physics/EntityFixedCamera.hpp"

#include "core/Input.hpp"
#include "physics/Entity.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/trigonometric.hpp>

#include <algorithm>
#include <cmath>

namespace fennik::physics {

namespace {

// Degrees of turn per pixel of drag.
constexpr float dragFactor = 0.3f;
// The camera sits this much higher on its circle than the view is tilted, so the
// target is drawn a little below the centre of the screen.
constexpr float liftDegrees = 4.0f;

} // namespace

EntityFixedCamera::EntityFixedCamera(float fov, float aspect, float nearZ, float farZ, Entity* target,
                                     GLFWwindow* window)
    : target(target), window(window)
{
    setProjection(fov, aspect, nearZ, farZ);
}

void EntityFixedCamera::setProjection(float fov, float aspect, float nearZ, float farZ)
{
    this->fov = fov;
    this->aspect = aspect;
    this->nearZ = nearZ;
    this->farZ = farZ;
    projection = glm::perspectiveRH_NO(glm::radians(fov), aspect, nearZ, farZ);
}

void EntityFixedCamera::onMouseButton(GLFWwindow* window, int button, int action)
{
    if (button != 0)
        return;
    if (action == 1) {
        const glm::dvec2 cursor = core::input().cursorPosition(window);
        lastCursorX = static_cast<float>(cursor.x);
        lastCursorY = static_cast<float>(cursor.y);
        mouseControl = true;
    } else if (action == 0) {
        mouseControl = false;
    }
}

void EntityFixedCamera::update()
{
    if (mouseControl) {
        const glm::dvec2 cursor = core::input().cursorPosition(window);
        const auto x = static_cast<float>(cursor.x);
        const auto y = static_cast<float>(cursor.y);
        pitch -= (lastCursorY - y) * dragFactor;
        yaw += (lastCursorX - x) * dragFactor;
        // The clamped pitch is stored, so a drag back takes effect at once.
        pitch = std::clamp(pitch, 0.0f, 90.0f);
        lastCursorX = x;
        lastCursorY = y;
    }

    const float elevation = glm::radians(pitch + liftDegrees);
    const float horizontal = std::cos(elevation) * distance;
    const float vertical = std::sin(elevation) * distance;

    if (!target) {
        viewYaw = 180.0f - yaw;
        return;
    }

    const float totalYaw = yaw + glm::degrees(glm::eulerAngles(target->orientation).y);
    const float turn = glm::radians(totalYaw);
    target->getModelMatrix();
    const glm::vec3 p = target->position;
    const glm::vec3 goal(p.x - std::sin(turn) * horizontal, p.y + vertical, p.z - std::cos(turn) * horizontal);
    position = goal * smoothing + position * (1.0f - smoothing);
    viewYaw = 180.0f - totalYaw;
}

glm::mat4 EntityFixedCamera::getViewMatrix()
{
    glm::mat4 result(1.0f);
    result = glm::rotate(result, glm::radians(pitch), glm::vec3(1.0f, 0.0f, 0.0f));
    result = glm::rotate(result, glm::radians(viewYaw), glm::vec3(0.0f, 1.0f, 0.0f));
    result = glm::translate(result, -position);
    view = result;
    return view;
}

} // namespace fennik::physics
