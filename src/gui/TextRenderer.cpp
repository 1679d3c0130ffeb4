#include "gui/TextRenderer.hpp"

#include "core/DataDirectory.hpp"
#include "core/Log.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace fennik::gui {

namespace {

std::map<char, Character> rasteriseGlyphs(FT_Face face)
{
    std::map<char, Character> glyphs;
    // Glyph bitmaps are tightly packed single bytes. The alignment is left at 1 for
    // the rest of the process; every later upload in the game is content with it.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    for (int code = 0; code < 128; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) {
            // The misspelt tag is the line log readers already search for.
            log::error("ERROR::FREETYTPE: Failed to load Glyph");
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;

        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(slot->bitmap.width),
                     static_cast<GLsizei>(slot->bitmap.rows), 0, GL_RED, GL_UNSIGNED_BYTE, slot->bitmap.buffer);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

        glyphs[static_cast<char>(code)] = Character{
            texture,
            {static_cast<int>(slot->bitmap.width), static_cast<int>(slot->bitmap.rows)},
            {slot->bitmap_left, slot->bitmap_top},
            static_cast<std::uint32_t>(slot->advance.x),
        };
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return glyphs;
}

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

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) {
        log::error("ERROR::FREETYPE: Could not init FreeType Library");
    } else {
        FT_Face face = nullptr;
        if (FT_New_Face(library, fontPath.c_str(), 0, &face)) {
            log::error("ERROR::FREETYPE: Failed to load font ", fontPath);
        } else {
            FT_Set_Pixel_Sizes(face, 0, pixelSize);
            glyphs = rasteriseGlyphs(face);
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
    }

    log::info("Font Loading done!");
}

TextRenderer::~TextRenderer()
{
    for (const auto& [code, character] : glyphs)
        if (character.textureId != 0)
            glDeleteTextures(1, &character.textureId);
}

} // namespace fennik::gui
