#include "render/QuadRender.hpp"

#include "support/GLTestContext.hpp"

#include <gtest/gtest.h>

#include <array>

using fennik::render::QuadRender;
using fennik::test::GLTest;

namespace {

// A 2 x 2 texture with a different colour in each corner, bottom row first.
GLuint cornerTexture()
{
    const unsigned char texels[] = {
        255, 0, 0, 255,   0, 255, 0, 255,   // bottom left red, bottom right green
        0, 0, 255, 255,   255, 255, 255, 255, // top left blue, top right white
    };
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

std::array<unsigned char, 4> pixelAt(int x, int y)
{
    std::array<unsigned char, 4> pixel{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

class Quad : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        texture = cornerTexture();
    }
    void TearDown() override { glDeleteTextures(1, &texture); }
    GLuint texture = 0;
};

} // namespace

TEST_F(Quad, HalfExtentCoversTheWholeViewportWithOriginBottomLeft)
{
    QuadRender quad;
    quad.draw(true, {0.5f, 0.5f}, {1, 1, 1, 1});
    EXPECT_EQ(pixelAt(1, 1), (std::array<unsigned char, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(viewportSize - 2, 1), (std::array<unsigned char, 4>{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(1, viewportSize - 2), (std::array<unsigned char, 4>{0, 0, 255, 255}));
}

TEST_F(Quad, QuarterExtentCoversTheMiddleHalfAndColourTints)
{
    QuadRender quad;
    quad.draw(true, {0.25f, 0.25f}, {1, 1, 1, 0.5f});
    const int quarter = viewportSize / 4;
    EXPECT_EQ(pixelAt(quarter - 2, quarter - 2), (std::array<unsigned char, 4>{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(quarter + 1, quarter + 1)[0], 255);
    EXPECT_NEAR(pixelAt(quarter + 1, quarter + 1)[3], 128, 1);
    EXPECT_EQ(pixelAt(3 * quarter + 1, 3 * quarter + 1), (std::array<unsigned char, 4>{0, 0, 0, 255}));
}

TEST_F(Quad, OwnShaderIsReleasedAfterwardsAndACallersProgramStays)
{
    QuadRender quad;
    quad.draw(true, {0.5f, 0.5f}, {1, 1, 1, 1});
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);

    quad.shader->use();
    quad.draw(false, {0.5f, 0.5f}, {1, 1, 1, 1});
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), quad.shader->program);
    GLint vertexArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(vertexArray, 0);
}
