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
    lastTick = previousTick = {position, pitch, viewYaw};
    prepareDraw(1.0f);
}

void EntityFixedCamera::restoreView()
{
    distance = defaultDistance;
    yaw = defaultYaw;
    pitch = defaultPitch;
    focalRange = defaultFocalRange;
    mouseControl = false;
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
        const float sign = invertDrag ? -1.0f : 1.0f;
        pitch -= sign * (lastCursorY - y) * dragFactor;
        yaw += sign * (lastCursorX - x) * dragFactor;
        // The clamped pitch is stored, so a drag back takes effect at once.
        pitch = std::clamp(pitch, 0.0f, 90.0f);
        lastCursorX = x;
        lastCursorY = y;
    }

    if (target)
        position = goal() * smoothing + position * (1.0f - smoothing);
    else
        goal();
    previousTick = lastTick;
    lastTick = {position, pitch, viewYaw};
}

glm::vec3 EntityFixedCamera::goal()
{
    if (!target) {
        viewYaw = 180.0f - yaw;
        return position;
    }
    const float elevation = glm::radians(pitch + liftDegrees);
    const float horizontal = std::cos(elevation) * distance;
    const float vertical = std::sin(elevation) * distance;
    const float totalYaw = yaw + glm::degrees(glm::eulerAngles(target->orientation).y);
    const float turn = glm::radians(totalYaw);
    target->getModelMatrix();
    const glm::vec3 p = target->position;
    viewYaw = 180.0f - totalYaw;
    return {p.x - std::sin(turn) * horizontal, p.y + vertical, p.z - std::cos(turn) * horizontal};
}

void EntityFixedCamera::settle()
{
    position = goal();
    lastTick = previousTick = {position, pitch, viewYaw};
    prepareDraw(1.0f);
}

glm::mat4 EntityFixedCamera::viewFrom(const TickState& state)
{
    glm::mat4 result(1.0f);
    result = glm::rotate(result, glm::radians(state.pitch), glm::vec3(1.0f, 0.0f, 0.0f));
    result = glm::rotate(result, glm::radians(state.viewYaw), glm::vec3(0.0f, 1.0f, 0.0f));
    return glm::translate(result, -state.position);
}

glm::mat4 EntityFixedCamera::getViewMatrix()
{
    view = viewFrom({position, pitch, viewYaw});
    return view;
}

void EntityFixedCamera::prepareDraw(float alpha)
{
    if (alpha <= 0.0f) {
        eye = previousTick.position;
        view = viewFrom(previousTick);
    } else if (alpha >= 1.0f) {
        eye = lastTick.position;
        view = viewFrom(lastTick);
    } else {
        eye = glm::mix(previousTick.position, lastTick.position, alpha);
        view = viewFrom({eye, glm::mix(previousTick.pitch, lastTick.pitch, alpha),
                         glm::mix(previousTick.viewYaw, lastTick.viewYaw, alpha)});
    }
}

} // namespace fennik::physics
