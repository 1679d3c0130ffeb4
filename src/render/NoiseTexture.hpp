#pragma once

#include "core/Noise.hpp"
#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <cstdint>
#include <vector>

namespace fennik::render {

// A square grey texture of cellular noise that can be regenerated at moving
// offsets; the health gauge scrolls one across its bar every frame.
//
// The game keeps each noise texture for the whole process, so it normally goes at
// shutdown: destroy it only while a context that shares the texture is current.
class NoiseTexture {
public:
    static constexpr unsigned channels = 3;

    // Generates the first image at offsets (0, 0).
    explicit NoiseTexture(unsigned size);

    NoiseTexture(NoiseTexture&&) noexcept = default;
    NoiseTexture& operator=(NoiseTexture&&) noexcept = default;

    // Samples the noise at (x + offsetX, y + offsetY) for every pixel and uploads the
    // image into the texture's storage. Leaves no texture bound to GL_TEXTURE_2D and the
    // unpack alignment at 1.
    void generate(float offsetX, float offsetY);

    GLuint texture() const { return textureName.id(); }
    unsigned size() const { return side; }
    // Row-major RGB, the last image generated.
    const std::vector<std::uint8_t>& pixels() const { return pixelBytes; }

    // A noise value as a grey level: v x 255 truncated toward zero, keeping only
    // the low eight bits. Negative values wrap instead of clamping (-0.5 gives 129):
    // each cell brightens from its dark centre almost to white and drops to black
    // where the value crosses zero, which gives the gauge its hard-edged rings.
    static std::uint8_t toByte(float value);

private:
    std::vector<std::uint8_t> pixelBytes;
    core::Noise noise;
    GLTexture textureName;
    unsigned side = 0;
};

} // namespace fennik::render
