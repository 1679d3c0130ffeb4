#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

struct GLFWwindow;

namespace fennik::physics {

class Entity;

// The game's one camera. It hangs behind and above its target at a set yaw, pitch
// and distance and follows it with exponential smoothing; it does not turn with the
// target and does not look for walls in between. Yaw and pitch change only while
// the left mouse button drags in the levels' free-camera mode; the levels also set
// distance, yaw and pitch directly.
class EntityFixedCamera {
public:
    // `target` (not owned) may be null; `window` is where the cursor is read.
    EntityFixedCamera(float fov, float aspect, float nearZ, float farZ, Entity* target, GLFWwindow* window);

    // Once per tick, after the player's impulse and before the physics step.
    void update();
    // Puts the camera at its resting place behind the target at once, with nothing to
    // ease or blend from: for the first frame in a level, a restart, a view reset.
    void settle();
    // Distance, angles and focal range as a new camera has them, no drag going on.
    // Takes effect at the next `settle` or over the following ticks.
    void restoreView();
    // The view at the last tick; stores it in `view` as well.
    glm::mat4 getViewMatrix();
    // For a frame drawn `alpha` (0 to 1) of the way from the previous tick to the last
    // one: blends the eye and the angles of the two ticks into `view` and `eye`.
    void prepareDraw(float alpha);
    // Right-handed perspective with clip-space depth -1 to 1.
    void setProjection(float fov, float aspect, float nearZ, float farZ);
    // Only the left button counts: a press starts a drag, a release ends it.
    void onMouseButton(GLFWwindow* window, int button, int action);

    Entity* target = nullptr;
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    glm::vec3 position{0.0f};
    float lastCursorX = 0.0f;
    float lastCursorY = 0.0f;
    static constexpr float defaultDistance = 50.0f;
    static constexpr float defaultYaw = 270.0f;
    static constexpr float defaultPitch = 55.0f;
    static constexpr float defaultFocalRange = 700.0f;

    float distance = defaultDistance;
    float yaw = defaultYaw; // degrees; 270 puts the camera on the target's +X side
    float viewYaw = 0.0f;
    float pitch = defaultPitch; // degrees
    float nearZ = 0.0f;
    float farZ = 0.0f;
    GLFWwindow* window = nullptr;
    // Each tick the camera moves this share of the way to its goal.
    float smoothing = 0.1f;
    bool mouseControl = false;
    bool invertDrag = false; // a drag turns the view the other way
    float focalRange = defaultFocalRange;
    float fov = 0.0f; // degrees, vertical
    float aspect = 1.0f;
    glm::vec3 eye{0.0f}; // where the camera is drawn from this frame

private:
    struct TickState {
        glm::vec3 position{0.0f};
        float pitch = 0.0f;
        float viewYaw = 0.0f;
    };
    // Where the smoothing heads: behind and above the target. Sets viewYaw.
    glm::vec3 goal();
    static glm::mat4 viewFrom(const TickState& state);

    TickState previousTick;
    TickState lastTick;
};

} // namespace fennik::physics
