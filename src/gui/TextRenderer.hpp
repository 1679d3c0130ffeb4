#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"
#include "render/Shader.hpp"

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace fennik::gui {

// One rasterised glyph of the font.
struct Character {
    GLuint textureId = 0;           // the atlas holding its coverage in the red channel
    glm::ivec2 size{0};             // bitmap width and rows in pixels
    glm::ivec2 bearing{0};          // left and top of the bitmap, from the pen
    std::uint32_t advance = 0;      // in 1/64 pixel, as FreeType gives it
    glm::vec4 uv{0.0f};             // left, top, right, bottom of the bitmap in the atlas
};

// Every glyph from code 0 to 127 rasterised at one pixel size into one atlas.
struct GlyphSet {
    std::uint32_t pixelSize = 0;
    std::array<Character, 128> glyphs{};
    std::uint64_t lastUse = 0;
};

// The game's font and the program that draws it. Text is rasterised at the size it is
// drawn, never magnified: each size asked for gets its own glyph set, and a few sizes
// are kept (a fixed pool of atlas textures, the least recently used one drawn anew).
// A font that cannot be loaded is logged and leaves every glyph empty; text then
// draws nothing, and the game goes on.
class TextRenderer {
public:
    static constexpr std::uint32_t gamePixelSize = 32;
    // A menu page, the prompts and a caption or two use a handful of sizes at once.
    static constexpr std::size_t keptSizes = 8;
    static constexpr std::uint32_t largestPixelSize = 400;

    // The process-wide font, built on first use (a context must be current then).
    // The game keeps it, its atlases and its program for the whole process: it is
    // never destroyed, so nothing of it makes GL calls after the windowing library
    // has terminated.
    static TextRenderer& instance();

    // Needs a current context. Also for fonts of one's own (tests): those release
    // their atlases and program when destroyed.
    TextRenderer(std::string fontPath, std::uint32_t pixelSize);
    ~TextRenderer();

    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // The glyph of `code` at the font's own pixel size. A code the font has no glyph
    // for (128 to 255, or any code after a failed load) gets an empty one, which draws
    // nothing and moves no pen.
    const Character& glyph(char code);

    // The glyphs at `pixels` (rounded, at least 1), rasterised now if no kept set has
    // that size. Valid until the next call with another size.
    const GlyphSet& sized(float pixels);
    // How many glyph sets have been rasterised so far (each size change costs one).
    std::uint64_t rasterisations() const { return rasterised; }

    std::string fontPath;
    std::uint32_t pixelSize;
    std::map<char, Character> glyphs; // at pixelSize, for measuring
    std::unique_ptr<render::Shader> shader;

private:
    void rasterise(GlyphSet& set, GLuint atlas, std::uint32_t pixels);

    FT_LibraryRec_* library = nullptr;
    FT_FaceRec_* face = nullptr;
    std::array<GlyphSet, keptSizes> sets{};
    // The whole pool is made with the font: a later size fills a texture that already exists.
    std::array<render::GLTexture, keptSizes> atlases;
    std::uint64_t uses = 0;
    std::uint64_t rasterised = 0;
};

} // namespace fennik::gui
