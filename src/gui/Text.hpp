#pragma once

#include "render/GL.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <string>
#include <vector>

namespace fennik::gui {

class TextRenderer;

// A string drawn in the game's font as one textured quad per byte. Owns its vertex
// array and buffer. Set `text` and `color` freely between draws.
class Text {
public:
    // One glyph's quad: six vertices of (x, y, z, u, v), two triangles, in the
    // string's own space before the model matrix.
    struct GlyphQuad {
        GLuint texture = 0;
        std::array<float, 30> vertices{};
    };

    Text(TextRenderer* font, std::string text);
    ~Text();

    Text(Text&& other) noexcept;
    Text& operator=(Text&& other) noexcept;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // The laid-out width at `scale`, before the model matrix scales it again.
    float getWidth(float scale);

    // The quads `draw` sends, in string order. Centred text starts its pen at half
    // the laid-out width to the left of the origin.
    std::vector<GlyphQuad> layOut(float scale, bool centered);

    // `rotation` holds degrees about x, y and z. The scale enters twice: the quads
    // are laid out in scale x pixels and the model matrix scales them once more, so
    // the text's size on screen grows with the square of `scale`. Leaves depth
    // testing on, blending and face culling off, and no program current.
    void draw(const glm::vec3& position, float scale, const glm::vec3& rotation, const glm::mat4& projection,
              bool centered);

    TextRenderer* font;
    std::string text;
    glm::vec3 color{1.0f};
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    glm::mat4 model{1.0f};

private:
    void release();
};

} // namespace fennik::gui
