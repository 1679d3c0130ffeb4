#include "render/GLObject.hpp"
#include "render/NoiseTexture.hpp"
#include "render/Texture.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <vector>

namespace fennik::render {
namespace {

// A width of 3 makes the rows of one- and three-channel images not a multiple of four
// bytes; every byte of the pattern is distinct.
constexpr int imageWidth = 3, imageHeight = 2;

std::vector<unsigned char> pattern(int channels)
{
    std::vector<unsigned char> pixels(imageWidth * imageHeight * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(7 * i + 1);
    return pixels;
}

// The bound texture's internal format and its level 0 read back as `channels` bytes a pixel.
std::pair<GLint, std::vector<unsigned char>> boundTexture(GLenum format, int channels, int pixels = 6)
{
    GLint internal = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    std::vector<unsigned char> bytes(pixels * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    return {internal, bytes};
}

class Textures : public test::GLTest {
protected:
    std::string writePng(const std::string& name, int channels)
    {
        const auto path = (files / name).string();
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        stbi_write_png(path.c_str(), imageWidth, imageHeight, channels, pattern(channels).data(),
                       imageWidth * channels);
        return path;
    }
    test::TempDirectory files{"fennik_textures"};
};

// One owner per object: a move hands the name over and empties the source, giving an
// owner another object deletes the one it had, and the last owner deletes the object.
TEST_F(Textures, AnOwnerMovesItsObjectAndDeletesWhatItHoldsLast)
{
    GLuint first = 0;
    GLuint second = 0;
    {
        GLTexture texture;
        first = texture.id();
        glBindTexture(GL_TEXTURE_2D, first); // made real: a name alone is not yet a texture
        GLTexture moved(std::move(texture));
        EXPECT_FALSE(texture);
        EXPECT_EQ(moved.id(), first);
        GLTexture other;
        second = other.id();
        glBindTexture(GL_TEXTURE_2D, second);
        glBindTexture(GL_TEXTURE_2D, 0);
        moved = std::move(other);
        EXPECT_FALSE(glIsTexture(first)) << "the object it held";
        EXPECT_TRUE(glIsTexture(second));
    }
    EXPECT_FALSE(glIsTexture(second));
}

TEST_F(Textures, FormatFollowsTheChannelCountAndRowsArriveIntact)
{
    for (auto [channels, format] : {std::pair{1, GL_RED}, {3, GL_RGB}, {4, GL_RGBA}}) {
        const GLTexture image = loadTexture(writePng("image" + std::to_string(channels) + ".png", channels), false);
        EXPECT_EQ(boundTexture(format, channels), std::pair(static_cast<GLint>(format), pattern(channels)))
            << channels << " channels";
    }
    const GLTexture flipped = loadTexture(writePng("flip.png", 3), true);
    EXPECT_EQ(boundTexture(GL_RGB, 3).second[0], pattern(3)[imageWidth * 3]) << "flipped: the last row first";

    // Grey and alpha is widened to RGBA keeping both.
    const GLTexture greyAlpha = loadTexture(writePng("greyalpha.png", 2), false);
    const auto [internal, rgba] = boundTexture(GL_RGBA, 4);
    EXPECT_EQ(internal, GL_RGBA);
    EXPECT_EQ((std::vector<unsigned char>(rgba.begin(), rgba.begin() + 4)),
              (std::vector<unsigned char>{pattern(2)[0], pattern(2)[0], pattern(2)[0], pattern(2)[1]}));
}

TEST_F(Textures, ModelTexturesPreferTheModelFolderAndAMissingOneIsEmptyWithOneLine)
{
    writePng("models/both.png", 4); // next to the model: RGBA
    writePng("assets/both.png", 1); // in the data folder: red only
    writePng("assets/textures/only_here.png", 3);
    test::ScopedWorkingDirectory inside(files.path());

    test::LogCapture log;
    const GLTexture both = textureFromFile("both.png", "models");
    EXPECT_EQ(boundTexture(GL_RGBA, 4).first, GL_RGBA);
    const GLTexture onlyHere = textureFromFile("textures\\only_here.png", "models"); // paths written on Windows
    EXPECT_EQ(boundTexture(GL_RGB, 3).first, GL_RGB);
    EXPECT_EQ(log.text(), "");

    const GLTexture missing = textureFromFile("gone.png", "models");
    EXPECT_EQ(log.text(), "[ERROR]: Texture failed to load at path: gone.png\n");
    EXPECT_FALSE(glIsTexture(missing.id())) << "a name with nothing ever bound to it";
}

TEST_F(Textures, NoiseTextureIsDeterministicAndScrollsByWholePixels)
{
    // A value becomes v x 255 truncated toward zero, keeping the low eight bits: -0.003
    // gives 0, where rounding down would give -1 and wrap to 255.
    for (auto [value, expected] : {std::pair{-0.5f, 129}, {0.5f, 127}, {-1.0f, 1}, {1.0f, 255}, {-0.003f, 0},
                                   {-0.004f, 255}, {0.999f, 254}})
        EXPECT_EQ(NoiseTexture::toByte(value), expected) << "value " << value;

    constexpr unsigned size = 7; // rows of 21 bytes would shear under an alignment of 4
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    NoiseTexture noise(size);
    auto readBack = [&] {
        glBindTexture(GL_TEXTURE_2D, noise.texture());
        return boundTexture(GL_RGB, 3, size * size).second;
    };
    const auto origin = readBack();
    EXPECT_EQ(origin, noise.pixels());
    noise.generate(1.0f, 0.0f);
    const auto right = readBack();
    noise.generate(0.0f, 1.0f);
    const auto down = readBack();
    noise.generate(0.0f, 0.0f);
    EXPECT_EQ(readBack(), origin) << "the same offsets give the same image";

    // x runs along a row and y down the rows, one pixel for a step of one.
    for (unsigned y = 0; y + 1 < size; ++y)
        for (unsigned x = 0; x + 1 < size; ++x) {
            EXPECT_EQ(right[(y * size + x) * 3], origin[(y * size + x + 1) * 3]) << x << ", " << y;
            EXPECT_EQ(down[(y * size + x) * 3], origin[((y + 1) * size + x) * 3]) << x << ", " << y;
        }
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace
} // namespace fennik::render
