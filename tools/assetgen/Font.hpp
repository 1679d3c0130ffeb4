#pragma once

#include <string>

#include "Canvas.hpp"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace fennik::assetgen {

// Lays out one line of text with FreeType into a coverage mask.
class Font {
public:
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool valid() const { return face != nullptr; }

    // The mask holds the line with `padding` empty pixels on every side; the baseline is
    // `baseline` pixels below the mask's top edge.
    struct Line {
        Mask mask;
        int baseline = 0;
        int padding = 0;
        int advance = 0;
    };
    Line render(const std::string& text, int pixelSize, int padding = 0, float tracking = 0.0f);
    int measure(const std::string& text, int pixelSize, float tracking = 0.0f);

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

} // namespace fennik::assetgen
