#include "gui/TextRenderer.hpp"

#include "core/DataDirectory.hpp"
#include "core/Log.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace fennik::gui {

namespace {

// A glyph's bitmap before it goes into the atlas.
struct Bitmap {
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;
};

} // namespace

TextRenderer& TextRenderer::instance()
{
    // Deliberately never deleted: the font outlives the windows and the context.
    static TextRenderer* const font = new TextRenderer(core::fontPath(), gamePixelSize);
    return *font;
}

TextRenderer::TextRenderer(std::string path, std::uint32_t size)
    : fontPath(std::move(path)),
      pixelSize(size),
      shader(std::make_unique<render::Shader>("textShader.vert", "textShader.frag"))
{
    log::info("Loading Font: ", fontPath);
    const std::uint8_t nothing = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const render::GLTexture& atlas : atlases) {
        glBindTexture(GL_TEXTURE_2D, atlas.id());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, 1, 1, 0, GL_RED, GL_UNSIGNED_BYTE, &nothing);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    if (FT_Init_FreeType(&library)) {
        log::error("ERROR::FREETYPE: Could not init FreeType Library");
        library = nullptr;
    } else if (FT_New_Face(library, fontPath.c_str(), 0, &face)) {
        log::error("ERROR::FREETYPE: Failed to load font ", fontPath);
        face = nullptr;
    }
    if (face) {
        const GlyphSet& own = sized(static_cast<float>(pixelSize));
        for (int code = 0; code < 128; ++code)
            glyphs[static_cast<char>(code)] = own.glyphs[static_cast<std::size_t>(code)];
    }
    log::info("Font Loading done!");
}

TextRenderer::~TextRenderer()
{
    if (face)
        FT_Done_Face(face);
    if (library)
        FT_Done_FreeType(library);
}

const Character& TextRenderer::glyph(char code)
{
    return glyphs[code];
}

const GlyphSet& TextRenderer::sized(float pixels)
{
    const auto wanted =
        static_cast<std::uint32_t>(std::clamp(std::lround(pixels), 1L, static_cast<long>(largestPixelSize)));
    ++uses;
    std::size_t oldest = 0;
    for (std::size_t index = 0; index < sets.size(); ++index) {
        if (sets[index].pixelSize == wanted) {
            sets[index].lastUse = uses;
            return sets[index];
        }
        if (sets[index].lastUse < sets[oldest].lastUse)
            oldest = index;
    }
    rasterise(sets[oldest], atlases[oldest].id(), wanted);
    sets[oldest].lastUse = uses;
    return sets[oldest];
}

void TextRenderer::rasterise(GlyphSet& set, GLuint atlas, std::uint32_t pixels)
{
    set = GlyphSet{};
    set.pixelSize = pixels;
    if (!face)
        return;
    ++rasterised;
    FT_Set_Pixel_Sizes(face, 0, pixels);

    std::array<Bitmap, 128> bitmaps;
    for (int code = 0; code < 128; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) {
            // The misspelt tag is the line log readers already search for.
            log::error("ERROR::FREETYTPE: Failed to load Glyph");
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        Bitmap& bitmap = bitmaps[static_cast<std::size_t>(code)];
        bitmap.width = static_cast<int>(slot->bitmap.width);
        bitmap.rows = static_cast<int>(slot->bitmap.rows);
        for (int row = 0; row < bitmap.rows; ++row) {
            const std::uint8_t* line = slot->bitmap.buffer + row * slot->bitmap.pitch;
            bitmap.coverage.insert(bitmap.coverage.end(), line, line + bitmap.width);
        }
        Character& character = set.glyphs[static_cast<std::size_t>(code)];
        character.textureId = atlas;
        character.size = {bitmap.width, bitmap.rows};
        character.bearing = {slot->bitmap_left, slot->bitmap_top};
        character.advance = static_cast<std::uint32_t>(slot->advance.x);
    }

    // Shelves of glyphs, one pixel apart so linear filtering never reads a neighbour.
    const int atlasWidth = static_cast<int>(pixels) * 12 + 2;
    int penX = 1, penY = 1, shelf = 0;
    std::vector<glm::ivec2> corners(128);
    for (std::size_t code = 0; code < bitmaps.size(); ++code) {
        if (penX + bitmaps[code].width + 1 > atlasWidth) {
            penX = 1;
            penY += shelf + 1;
            shelf = 0;
        }
        corners[code] = {penX, penY};
        penX += bitmaps[code].width + 1;
        shelf = std::max(shelf, bitmaps[code].rows);
    }
    const int atlasHeight = penY + shelf + 1;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(atlasWidth) * static_cast<std::size_t>(atlasHeight), 0);
    for (std::size_t code = 0; code < bitmaps.size(); ++code) {
        const Bitmap& bitmap = bitmaps[code];
        for (int row = 0; row < bitmap.rows; ++row)
            std::copy_n(bitmap.coverage.begin() + row * bitmap.width, bitmap.width,
                        image.begin() + (corners[code].y + row) * atlasWidth + corners[code].x);
        const glm::vec2 from = glm::vec2(corners[code]) / glm::vec2(atlasWidth, atlasHeight);
        const glm::vec2 to = glm::vec2(corners[code] + glm::ivec2(bitmap.width, bitmap.rows)) /
                             glm::vec2(atlasWidth, atlasHeight);
        set.glyphs[code].uv = {from.x, from.y, to.x, to.y};
    }

    // Glyph rows are tightly packed single bytes. The alignment is left at 1 for the
    // rest of the process; every later upload in the game is content with it.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, atlasWidth, atlasHeight, 0, GL_RED, GL_UNSIGNED_BYTE, image.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace fennik::gui
