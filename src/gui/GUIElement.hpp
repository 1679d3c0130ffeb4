#pragma once

#include "gui/UiFrame.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <functional>

namespace fennik::gui {

class ShapeRenderer;

// The base of every on-screen control: a rectangle placed by an anchor and a centre
// offset and size in reference units (see UiFrame), tested against the cursor every
// frame where it is drawn that frame, running its callbacks. Callbacks usually capture
// the element or its owner, so elements stay where they were built: neither copied
// nor moved.
class GUIElement {
public:
    // `kind` is stored for the owner's bookkeeping and never read here.
    GUIElement(int kind, Anchor anchor, glm::vec2 centre, glm::vec2 size);
    virtual ~GUIElement() = default;

    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    // This frame's rectangle in window pixels, whole pixels so that the hit box and the
    // drawn picture share their edges.
    virtual void layout(const UiFrame& frame);

    // Every frame, before drawing: the layout, then the hit test against the rectangle
    // just placed (what this frame draws), then the callbacks.
    void update(const UiFrame& frame);

    // The update, then one rectangle in the shape renderer's current colour.
    virtual void draw(const glm::mat4& projection, const UiFrame& frame);

    int kind;
    Anchor anchor;
    glm::vec2 centre; // reference units from the anchor
    glm::vec2 size;   // reference units
    // This frame's rectangle: lower-left corner and size, in pixels.
    glm::vec3 position{0.0f};
    float width = 0.0f;
    float height = 0.0f;
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

protected:
    // The rectangle of `pixelSize` around the frame's point for the centre.
    void place(const UiFrame& frame, glm::vec2 pixelSize);
};

} // namespace fennik::gui
