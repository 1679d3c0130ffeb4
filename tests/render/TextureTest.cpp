#include "render/Cubemap.hpp"
#include "render/Texture.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <vector>

using fennik::test::GLTest;
using fennik::test::LogCapture;
using fennik::test::ScopedWorkingDirectory;
using fennik::test::TempDirectory;
namespace render = fennik::render;

namespace {

// A width of 3 makes the rows of one- and three-channel images not a multiple of four bytes.
constexpr int imageWidth = 3;
constexpr int imageHeight = 2;

// Pixel (x, y) of channel c holds 10 * (y * width + x) + c, so every byte is distinct.
std::vector<unsigned char> pattern(int channels)
{
    std::vector<unsigned char> pixels(imageWidth * imageHeight * channels);
    for (int i = 0; i < imageWidth * imageHeight; ++i)
        for (int c = 0; c < channels; ++c)
            pixels[i * channels + c] = static_cast<unsigned char>(10 * i + c + 1);
    return pixels;
}

std::string writePng(const TempDirectory& directory, const std::string& name, int channels)
{
    const auto path = (directory / name).string();
    const auto pixels = pattern(channels);
    stbi_write_png(path.c_str(), imageWidth, imageHeight, channels, pixels.data(), imageWidth * channels);
    return path;
}

GLint boundInternalFormat()
{
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
}

std::vector<unsigned char> readBoundTexture(GLenum format, int channels)
{
    std::vector<unsigned char> pixels(imageWidth * imageHeight * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

class Textures : public GLTest {
protected:
    TempDirectory files{"fennik_textures"};
};

} // namespace

TEST_F(Textures, FormatFollowsTheChannelCountAndRowsArriveIntact)
{
    struct Case {
        int channels;
        GLenum format;
    };
    for (Case c : {Case{1, GL_RED}, Case{3, GL_RGB}, Case{4, GL_RGBA}}) {
        const auto path = writePng(files, "image" + std::to_string(c.channels) + ".png", c.channels);
        const GLuint texture = render::loadTexture(path, false);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        ASSERT_EQ(static_cast<GLuint>(bound), texture);
        EXPECT_EQ(boundInternalFormat(), static_cast<GLint>(c.format)) << c.channels << " channels";
        EXPECT_EQ(readBoundTexture(c.format, c.channels), pattern(c.channels)) << c.channels << " channels";
        GLint minFilter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    }
}

TEST_F(Textures, GreyAndAlphaImagesBecomeRgbaKeepingBoth)
{
    const auto path = writePng(files, "greyalpha.png", 2);
    render::loadTexture(path, false);
    EXPECT_EQ(boundInternalFormat(), GL_RGBA);
    const auto pixels = readBoundTexture(GL_RGBA, 4);
    const auto source = pattern(2);
    EXPECT_EQ(pixels[0], source[0]); // grey into red
    EXPECT_EQ(pixels[2], source[0]); // and blue
    EXPECT_EQ(pixels[3], source[1]); // alpha kept
}

TEST_F(Textures, FlipPutsTheLastRowFirst)
{
    const auto path = writePng(files, "flip.png", 3);
    render::loadTexture(path, true);
    const auto pixels = readBoundTexture(GL_RGB, 3);
    const auto source = pattern(3);
    EXPECT_EQ(pixels[0], source[imageWidth * 3]);
}

TEST_F(Textures, MissingOrUndecodableFilesGiveAnEmptyTextureSilently)
{
    const auto notAnImage = files.write("notes.png", "this is not a picture");
    LogCapture log;
    for (const auto& path : {std::string("assets/textures/no_such_file.png"), notAnImage.string()}) {
        const GLuint texture = render::loadTexture(path, true);
        EXPECT_NE(texture, 0u);
        EXPECT_FALSE(glIsTexture(texture)) << "nothing was ever bound to " << path;
    }
    EXPECT_EQ(log.text(), "");
}

TEST_F(Textures, BackslashPathsNameTheSameFile)
{
    std::filesystem::create_directories(files / "sub");
    writePng(files, "sub/slashed.png", 3);
    ScopedWorkingDirectory inside(files.path());
    render::loadTexture("sub\\slashed.png", false);
    EXPECT_EQ(boundInternalFormat(), GL_RGB);
}

TEST_F(Textures, ModelTexturesPreferTheModelFolderThenTheWorkingDirectory)
{
    std::filesystem::create_directories(files / "models");
    std::filesystem::create_directories(files / "textures");
    writePng(files, "models/both.png", 4);   // next to the model: RGBA
    writePng(files, "both.png", 1);          // relative to the working directory: red only
    writePng(files, "textures/only_here.png", 3);
    ScopedWorkingDirectory inside(files.path());

    LogCapture log;
    render::textureFromFile("both.png", "models");
    EXPECT_EQ(boundInternalFormat(), GL_RGBA);
    render::textureFromFile("textures/only_here.png", "models");
    EXPECT_EQ(boundInternalFormat(), GL_RGB);
    EXPECT_EQ(log.text(), "");

    const GLuint missing = render::textureFromFile("gone.png", "models");
    EXPECT_EQ(log.text(), "[ERROR]: Texture failed to load at path: gone.png\n");
    EXPECT_FALSE(glIsTexture(missing));
}

TEST_F(Textures, SkyBoxWithAMissingFaceNamesItAndLoadsTheOtherFive)
{
    std::filesystem::create_directories(files / "assets/textures/skybox");
    const std::vector<std::string> faces = {"right.jpg", "left.jpg", "top.jpg", "bottom.jpg", "front.jpg", "back.jpg"};
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (faces[i] == "top.jpg")
            continue;
        std::vector<unsigned char> pixels(4 * 4 * 3, static_cast<unsigned char>(40 * i));
        const auto path = (files / ("assets/textures/skybox/" + faces[i])).string();
        stbi_write_jpg(path.c_str(), 4, 4, 3, pixels.data(), 95);
    }
    ScopedWorkingDirectory inside(files.path());

    LogCapture log;
    render::Cubemap sky;
    sky.load(faces);
    EXPECT_EQ(log.text(), "Cubemap tex failed to load at path: top.jpg\n");

    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE10);
    for (int face = 0; face < 6; ++face) {
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, faces[face] == "top.jpg" ? 0 : 4) << faces[face];
    }
    glActiveTexture(GL_TEXTURE0);
}
