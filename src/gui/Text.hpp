#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <string>
#include <vector>

namespace fennik::gui {

class TextRenderer;

// A string drawn in the game's font as one textured quad per byte, from glyphs
// rasterised at the size it is drawn. Owns its vertex array and buffer. Set `text` and
// `color` freely between draws.
class Text {
public:
    // One glyph's quad: six vertices of (x, y, z, u, v), two triangles, in the
    // string's own space before the model matrix.
    struct GlyphQuad {
        GLuint texture = 0;
        std::array<float, 30> vertices{};
    };

    Text(TextRenderer* font, std::string text);

    Text(Text&&) noexcept = default;
    Text& operator=(Text&&) noexcept = default;

    // The font's pixel size that the older `scale` of a caption stands for: the size on
    // screen grows with the square of the scale, 32 pixels at 1.
    static float pixelsOf(float scale);

    // The width on screen at `pixels` (the font's pixel size).
    float width(float pixels);
    // The width at `scale` divided by the scale once more, as it was always measured.
    float getWidth(float scale);

    // The quads `draw` sends at `pixels`, in string order, in pixels from the pen's
    // start on the baseline. Centred text starts half its width left of the origin.
    std::vector<GlyphQuad> layOut(float pixels, bool centered);

    // At `pixels` (the font's pixel size), the baseline's start (or middle, centred) at
    // `position`. Leaves depth testing on, blending and face culling off, and no
    // program current.
    void draw(const glm::vec2& position, float pixels, const glm::mat4& projection, bool centered);
    // The same at `pixelsOf(scale)`; `rotation` holds degrees about x, y and z.
    void draw(const glm::vec3& position, float scale, const glm::vec3& rotation, const glm::mat4& projection,
              bool centered);

    TextRenderer* font;
    std::string text;
    glm::vec3 color{1.0f};
    glm::mat4 model{1.0f};

private:
    // The quads at `pixels` through `model`.
    void render(float pixels, const glm::mat4& projection, bool centered);

    render::GLVertexArray vertexArray;
    render::GLBuffer vertexBuffer;
};

} // namespace fennik::gui
