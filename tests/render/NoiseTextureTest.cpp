#include "render/NoiseTexture.hpp"

#include "core/Noise.hpp"
#include "support/GLTestContext.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

using fennik::render::NoiseTexture;

namespace {

// What the GPU holds in level 0, read back row by row without padding.
std::vector<std::uint8_t> readBack(const NoiseTexture& noise)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(noise.size()) * noise.size() * 3);
    glBindTexture(GL_TEXTURE_2D, noise.texture());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

std::uint8_t red(const std::vector<std::uint8_t>& pixels, unsigned size, unsigned x, unsigned y)
{
    return pixels[(static_cast<std::size_t>(size) * y + x) * 3];
}

class NoiseTextureTest : public fennik::test::GLTest {};

} // namespace

TEST(NoiseTextureByte, TruncatesTowardZeroAndWrapsNegativeValues)
{
    const std::pair<float, int> cases[] = {
        {-0.5f, 129}, {0.5f, 127}, {-1.0f, 1}, {1.0f, 255}, {0.0f, 0},
        // -0.765 truncates to 0, where rounding down would give -1 and wrap to 255.
        {-0.003f, 0},
        {-0.004f, 255}, // -1.02 -> -1
        {0.999f, 254},  // 254.7 -> 254
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(NoiseTexture::toByte(value), expected) << "value " << value;
}

TEST_F(NoiseTextureTest, SameOffsetsGiveTheSameImageOnTheGPU)
{
    NoiseTexture noise(64);
    const auto first = readBack(noise);
    EXPECT_EQ(first, noise.pixels());

    noise.generate(25.0f, -130.5f);
    const auto elsewhere = readBack(noise);
    EXPECT_NE(elsewhere, first);

    noise.generate(0.0f, 0.0f);
    EXPECT_EQ(readBack(noise), first);
}

TEST_F(NoiseTextureTest, IsGreyAndHoldsTheCellularNoiseOfItsSettings)
{
    constexpr unsigned size = 48;
    NoiseTexture texture(size);
    texture.generate(310.0f, -75.0f);
    const auto pixels = readBack(texture);

    fennik::core::Noise reference(1337);
    reference.setNoiseType(fennik::core::NoiseType::Cellular);
    reference.setFrequency(0.01f);
    for (unsigned y = 0; y < size; ++y) {
        for (unsigned x = 0; x < size; ++x) {
            const std::size_t at = (static_cast<std::size_t>(size) * y + x) * 3;
            ASSERT_EQ(pixels[at], pixels[at + 1]) << x << ", " << y;
            ASSERT_EQ(pixels[at], pixels[at + 2]) << x << ", " << y;
            ASSERT_EQ(pixels[at], NoiseTexture::toByte(reference.getNoise(x + 310.0f, y - 75.0f))) << x << ", " << y;
        }
    }
}

TEST_F(NoiseTextureTest, OffsetsMoveTheImageAlongItsRowsAndColumns)
{
    // x runs along a row and y down the rows: a step of one in an offset moves the
    // picture by exactly one pixel in that direction, as the gauge's scrolling needs.
    constexpr unsigned size = 32;
    NoiseTexture texture(size);
    texture.generate(0.0f, 0.0f);
    const auto origin = readBack(texture);
    texture.generate(1.0f, 0.0f);
    const auto right = readBack(texture);
    texture.generate(0.0f, 1.0f);
    const auto down = readBack(texture);

    for (unsigned y = 0; y + 1 < size; ++y) {
        for (unsigned x = 0; x + 1 < size; ++x) {
            ASSERT_EQ(red(right, size, x, y), red(origin, size, x + 1, y)) << x << ", " << y;
            ASSERT_EQ(red(down, size, x, y), red(origin, size, x, y + 1)) << x << ", " << y;
        }
    }
}

TEST_F(NoiseTextureTest, OddSizesUploadWithoutRowPadding)
{
    // Rows of 7 RGB pixels are 21 bytes: read with the default alignment of 4 they
    // would shear.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    NoiseTexture noise(7);
    noise.generate(140.0f, 60.0f);
    EXPECT_EQ(readBack(noise), noise.pixels());
}

TEST_F(NoiseTextureTest, LeavesNoTextureBoundAndUnpackAlignmentOne)
{
    GLuint other = 0;
    glGenTextures(1, &other);
    std::optional<NoiseTexture> noise;
    // Both the first upload and every later one.
    for (const auto& upload : {std::function<void()>([&] { noise.emplace(16u); }),
                               std::function<void()>([&] { noise->generate(3.0f, 4.0f); })}) {
        glBindTexture(GL_TEXTURE_2D, other);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        upload();
        GLint bound = -1, alignment = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(bound, 0);
        EXPECT_EQ(alignment, 1);
    }
    glDeleteTextures(1, &other);
}

TEST_F(NoiseTextureTest, IsMipmappedDownToOnePixelAsItsFilterNeeds)
{
    // A mipmapping filter without the levels would leave the texture incomplete: black.
    NoiseTexture noise(64);
    glBindTexture(GL_TEXTURE_2D, noise.texture());
    GLint smallest = 0, minFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &smallest);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(smallest, 1);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(NoiseTextureTest, OwnsItsTextureNameThroughMoves)
{
    std::optional<NoiseTexture> original(std::in_place, 8u);
    const GLuint name = original->texture();
    ASSERT_TRUE(glIsTexture(name));

    NoiseTexture moved(std::move(*original));
    EXPECT_EQ(original->texture(), 0u);
    original.reset();
    EXPECT_TRUE(glIsTexture(name)) << "the moved-from texture deleted the name it gave away";
    EXPECT_EQ(moved.texture(), name);
    {
        NoiseTexture assigned(4);
        const GLuint replaced = assigned.texture();
        assigned = std::move(moved);
        EXPECT_FALSE(glIsTexture(replaced)) << "the texture it held before leaked";
        EXPECT_EQ(assigned.texture(), name);
        EXPECT_EQ(readBack(assigned), assigned.pixels());
    }
    EXPECT_FALSE(glIsTexture(name));
}
