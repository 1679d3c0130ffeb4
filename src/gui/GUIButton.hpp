#pragma once

#include "gui/GUIElement.hpp"
#include "gui/Text.hpp"
#include "render/GL.hpp"

#include <glm/vec4.hpp>

#include <string>

namespace fennik::gui {

// A textured button with a caption in the game's font, centred on its anchor's point
// plus `centre`. The button grows to fit a caption wider or taller than itself. Owners
// set `texture`, the callbacks, and the caption's `text` and `color`.
class GUIButton : public GUIElement {
public:
    // `textScale` is the caption's size at 800 x 800 as Text's older scale (see
    // UiFrame::captionPixels). Needs a current context.
    GUIButton(Anchor anchor, glm::vec2 centre, const std::string& caption, float textScale, glm::vec2 size);

    // The rectangle grown to fit the caption and at least `minimumWidth`, and the
    // caption's place on it.
    void layout(const UiFrame& frame) override;
    // The width this frame's caption needs at `frame`, in pixels, before `minimumWidth`.
    float naturalWidth(const UiFrame& frame);

    // Update (layout and hit test), the textured rectangle, then the caption centred on it.
    void draw(const glm::mat4& projection, const UiFrame& frame) override;

    GLuint texture = 0; // not owned
    static constexpr float margin = 10.0f; // reference units around a caption that grows the button
    Text label;
    float textScale;
    float minimumWidth = 0.0f; // pixels; buttons of one menu share their width
    glm::vec2 labelPosition{0.0f};
    float labelPixels = 0.0f;
    // Fully transparent: the texture alone decides how the button looks.
    const glm::vec4 backgroundColor{0.0f};
};

} // namespace fennik::gui
