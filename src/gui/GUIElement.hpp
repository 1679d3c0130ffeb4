#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <functional>

namespace fennik::gui {

class ShapeRenderer;

// The base of every on-screen control: a rectangle in window pixels (origin bottom
// left, y up) that follows the window size, tests the cursor against itself every
// frame and runs its callbacks. Callbacks usually capture the element or its owner,
// so elements stay where they were built: neither copied nor moved.
class GUIElement {
public:
    // `kind` is stored for the owner's bookkeeping and never read here. The window
    // size at construction becomes the reference the element scales from.
    GUIElement(int kind, const glm::vec3& position, float width, float height);
    virtual ~GUIElement() = default;

    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    // Every frame, before drawing: the hit test against last frame's rectangle, the
    // callbacks, then the move to follow the current window size.
    virtual void update();

    // One rectangle in the shape renderer's current colour.
    virtual void draw(const glm::mat4& projection);

    int kind;
    float width;
    float height;
    glm::vec3 position;
    glm::vec2 basePosition;
    float referenceWidth = 0.0f;
    float referenceHeight = 0.0f;
    int hoverState = 1; // 1 while the cursor is outside, 0 while inside
    // In a menu's keyboard or pad focus (see MenuFocus): looks hovered wherever the cursor is.
    bool focused = false;

    // Each may be empty. They run every frame, not on changes: onIdle while the
    // cursor is outside, onHover while inside, onClick while inside with the left
    // button held.
    std::function<void()> onIdle;
    std::function<void()> onHover;
    std::function<void()> onClick;

    ShapeRenderer* shapes; // the process-wide renderer, not owned
};

} // namespace fennik::gui
