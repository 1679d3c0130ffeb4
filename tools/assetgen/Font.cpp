#include "Font.hpp"

#include <cmath>
#include <iostream>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace fennik::assetgen {

Font::Font(const std::string& path)
{
    if (FT_Init_FreeType(&library) != 0) {
        std::cerr << "assetgen: FreeType did not start\n";
        library = nullptr;
        return;
    }
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        std::cerr << "assetgen: cannot open font " << path << "\n";
        face = nullptr;
    }
}

Font::~Font()
{
    if (face) {
        FT_Done_Face(face);
    }
    if (library) {
        FT_Done_FreeType(library);
    }
}

int Font::measure(const std::string& text, int pixelSize, float tracking)
{
    if (!face) {
        return 0;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    float pen = 0.0f;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector delta;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta);
            pen += static_cast<float>(delta.x) / 64.0f;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) {
            pen += static_cast<float>(face->glyph->advance.x) / 64.0f + tracking;
        }
        previous = glyph;
    }
    return static_cast<int>(std::ceil(pen - tracking));
}

Font::Line Font::render(const std::string& text, int pixelSize, int padding, float tracking)
{
    Line line;
    line.padding = padding;
    if (!face) {
        line.mask = Mask(1 + 2 * padding, 1 + 2 * padding);
        return line;
    }
    int width = measure(text, pixelSize, tracking);
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int ascender = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    int descender = static_cast<int>(std::floor(face->size->metrics.descender / 64.0));
    line.mask = Mask(width + 2 * padding + 4, ascender - descender + 2 * padding);
    line.baseline = padding + ascender;
    line.advance = width;

    float pen = static_cast<float>(padding);
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector delta;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta);
            pen += static_cast<float>(delta.x) / 64.0f;
        }
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) {
            continue;
        }
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        int originX = static_cast<int>(std::lround(pen)) + slot->bitmap_left;
        int originY = line.baseline - slot->bitmap_top;
        for (unsigned int row = 0; row < bitmap.rows; ++row) {
            for (unsigned int col = 0; col < bitmap.width; ++col) {
                int x = originX + static_cast<int>(col);
                int y = originY + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= line.mask.width || y >= line.mask.height) {
                    continue;
                }
                float value = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
                float& dst = line.mask.ref(x, y);
                dst = std::max(dst, value);
            }
        }
        pen += static_cast<float>(slot->advance.x) / 64.0f + tracking;
    }
    return line;
}

} // namespace fennik::assetgen
