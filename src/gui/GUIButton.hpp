#pragma once

#include "gui/GUIElement.hpp"
#include "gui/Text.hpp"
#include "render/GL.hpp"

#include <glm/vec4.hpp>

#include <cstdint>
#include <string>

namespace fennik::gui {

// A textured button with a caption in the game's font. The button grows to fit a
// caption wider or taller than itself. Owners set `texture`, the callbacks, and the
// caption's `text` and `color`.
class GUIButton : public GUIElement {
public:
    // With `centered` (what every caller passes) (x, y) is the button's centre,
    // otherwise its lower-left corner. Needs a current context.
    GUIButton(float x, float y, const std::string& caption, float textScale, float width, float height,
              bool centered);

    // Update, layout, the textured rectangle, then the caption centred on it.
    void draw(const glm::mat4& projection) override;

    // Places the rectangle and the caption for this frame; grows the button once if
    // the caption does not fit.
    void layout();

    GLuint texture = 0; // not owned
    std::uint32_t margin = 10;
    Text label;
    float textScale;
    glm::vec3 labelPosition{0.0f};
    bool centered;
    // Fully transparent: the texture alone decides how the button looks.
    const glm::vec4 backgroundColor{0.0f};
};

} // namespace fennik::gui
