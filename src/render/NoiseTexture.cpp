#include "render/NoiseTexture.hpp"

namespace fennik::render {

NoiseTexture::NoiseTexture(unsigned size)
    : pixelBytes(static_cast<std::size_t>(size) * size * channels), noise(1337), side(size)
{
    noise.setNoiseType(core::NoiseType::Cellular);
    noise.setFractalOctaves(20);
    noise.setFrequency(0.01f);

    glBindTexture(GL_TEXTURE_2D, textureName.id());
    // Shown magnified only (the gauge's disc is larger than the image): no mipmaps.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (side > 0) {
        const auto extent = static_cast<GLsizei>(side);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, extent, extent, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    }
    generate(0.0f, 0.0f);
}

std::uint8_t NoiseTexture::toByte(float value)
{
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(value * 255.0f));
}

void NoiseTexture::generate(float offsetX, float offsetY)
{
    // One moved from has neither pixels nor a texture left to fill.
    if (!textureName)
        return;
    // Rows outside, so the bytes are written in the order they lie in memory.
    for (unsigned y = 0; y < side; ++y) {
        std::uint8_t* row = pixelBytes.data() + static_cast<std::size_t>(y) * side * channels;
        for (unsigned x = 0; x < side; ++x) {
            const std::uint8_t grey = toByte(noise.getNoise(static_cast<float>(x) + offsetX,
                                                            static_cast<float>(y) + offsetY));
            row[x * channels + 0] = grey;
            row[x * channels + 1] = grey;
            row[x * channels + 2] = grey;
        }
    }

    glBindTexture(GL_TEXTURE_2D, textureName.id());
    // RGB rows of odd widths are not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (side > 0) {
        const auto extent = static_cast<GLsizei>(side);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, extent, extent, GL_RGB, GL_UNSIGNED_BYTE, pixelBytes.data());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace fennik::render
