#pragma once

#include <memory>
#include <string>

namespace fennik::render {

// An image file decoded to 8-bit pixels, rows top first unless flipped: what a
// texture, a sky box face or the window icon is made from. Decoding touches no GL,
// so it runs (and is fuzzed) without a context.
class DecodedImage {
public:
    // The game's largest image is 1280 pixels wide. A file declaring more than this
    // on a side is refused before anything is reserved for it: a forged header of a
    // few bytes must not cost gigabytes and seconds of decoding.
    static constexpr int maxSide = 8192;

    // Decodes `path` (as given, "/" separated). `channels` 0 keeps the file's own
    // count, except that grey-and-alpha widens to RGBA, which the game has a GL
    // format for; 1 to 4 asks for exactly that many. `flipRows` puts the last row
    // first, as OpenGL's texture origin wants. Empty when the file cannot be
    // decoded or is refused; logs nothing, the caller knows what the file was for.
    static DecodedImage read(const std::string& path, int channels, bool flipRows);

    // Half the width and height (rounded down, at least 1), each pixel the mean of the
    // two by two it covers; empty for an empty image.
    DecodedImage halved() const;

    explicit operator bool() const { return pixels != nullptr; }
    const unsigned char* data() const { return pixels.get(); }

    int width = 0;
    int height = 0;
    int channels = 0;

private:
    struct Release {
        void operator()(unsigned char* data) const;
    };
    std::unique_ptr<unsigned char, Release> pixels;
};

} // namespace fennik::render
