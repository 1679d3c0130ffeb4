#pragma once

#include "render/GL.hpp"
#include "render/Shader.hpp"

#include <glm/vec2.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace fennik::gui {

// One rasterised glyph of the font.
struct Character {
    GLuint textureId = 0;           // the bitmap's coverage in the red channel
    glm::ivec2 size{0};             // bitmap width and rows in pixels
    glm::ivec2 bearing{0};          // left and top of the bitmap, from the pen
    std::uint32_t advance = 0;      // in 1/64 pixel, as FreeType gives it
};

// The game's font: every glyph from code 0 to 127 rasterised once into a texture of
// its own, and the program that draws them. A font that cannot be loaded is logged
// and leaves the glyph map empty; text then draws nothing, and the game goes on.
class TextRenderer {
public:
    static constexpr std::uint32_t gamePixelSize = 32;

    // The process-wide font, built on first use (a context must be current then).
    // The game keeps it, its glyph textures and its program for the whole process:
    // it is never destroyed, so nothing of it makes GL calls after the windowing
    // library has terminated.
    static TextRenderer& instance();

    // Needs a current context. Also for fonts of one's own (tests): those release
    // their glyph textures and program when destroyed.
    TextRenderer(std::string fontPath, std::uint32_t pixelSize);
    ~TextRenderer();

    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // The glyph of `code`. A code the font has no glyph for (128 to 255, or any code
    // after a failed load) gets an empty one, which draws nothing and moves no pen.
    const Character& glyph(char code) { return glyphs[code]; }

    std::string fontPath;
    std::uint32_t pixelSize;
    std::map<char, Character> glyphs;
    std::unique_ptr<render::Shader> shader;
};

} // namespace fennik::gui
