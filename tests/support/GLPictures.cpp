#include "support/GLPictures.hpp"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

namespace fennik::test {

std::vector<std::uint8_t> readPixels(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::filesystem::path saveScreenshot(const std::string& name, int width, int height,
                                     const std::vector<std::uint8_t>& rgba)
{
    const std::filesystem::path directory(FENNIK_SCREENSHOT_DIR);
    std::filesystem::create_directories(directory);
    const std::filesystem::path file = directory / name;
    // GL's first row is the bottom one; image viewers start at the top.
    stbi_flip_vertically_on_write(1);
    EXPECT_NE(stbi_write_png(file.c_str(), width, height, 4, rgba.data(), width * 4), 0) << file;
    stbi_flip_vertically_on_write(0);
    return file;
}

GLint textureFormat(GLuint texture)
{
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    return format;
}

std::array<GLint, 2> textureSize(GLuint texture)
{
    std::array<GLint, 2> size{};
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
    glBindTexture(GL_TEXTURE_2D, 0);
    return size;
}

GLuint solidTexture(glm::u8vec4 colour)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

} // namespace fennik::test
