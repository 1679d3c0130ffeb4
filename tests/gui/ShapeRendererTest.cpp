#include "gui/ShapeRenderer.hpp"

#include "GUITestSupport.hpp"
#include "support/GLPictures.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace fennik::gui {
namespace {

using ShapeRendererTest = test::GLTest;

TEST_F(ShapeRendererTest, BatchShowsItsColourOrTextureBlendedMovedAndUprightOnly)
{
    const GLuint green = test::solidTexture({0, 255, 0, 255});
    test::OffscreenTarget target(32, 32);
    const glm::mat4 upright = target.screenProjection();
    struct Case { const char* what; glm::mat4 projection, model; GLenum mode; GLuint texture; glm::vec4 colour;
                  glm::ivec2 at; glm::u8vec4 seen; };
    const glm::mat4 none(1.0f), moved = glm::translate(none, glm::vec3(20.0f, 20.0f, 0.0f));
    const Case cases[] = {
        {"the vertex colour", upright, none, GL_TRIANGLES, 0, {1, 0, 0, 1}, {2, 2}, {255, 0, 0, 255}},
        {"the texture under any colour", upright, none, GL_TRIANGLES, green, glm::vec4(0.0f), {2, 2}, {0, 255, 0, 255}},
        {"half over the blue", upright, none, GL_TRIANGLES, 0, {1, 0, 0, 0.5f}, {2, 2}, {128, 0, 127, 255}},
        {"moved by the model matrix", upright, moved, GL_TRIANGLES, 0, {1, 0, 0, 1}, {22, 22}, {255, 0, 0, 255}},
        {"culled with y down", glm::ortho(0.0f, 32.0f, 32.0f, 0.0f), none, GL_TRIANGLES, 0, {1, 0, 0, 1}, {2, 29},
         {0, 0, 255, 255}},
        {"an outline only", upright, none, GL_LINES, 0, {1, 0, 0, 1}, {4, 2}, {0, 0, 255, 255}},
    };
    ShapeRenderer& shapes = ShapeRenderer::instance();
    for (const Case& c : cases) {
        target.clear(glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        shapes.beginShape(c.projection, c.mode);
        shapes.texture = c.texture;
        shapes.model = c.model;
        shapes.rect(0.5f, 0.5f, 8.0f, 8.0f, c.colour, c.colour);
        shapes.endShape();
        const glm::u8vec4 seen = target.pixel(c.at.x, c.at.y);
        EXPECT_LE(glm::length(glm::vec3(seen) - glm::vec3(c.seen)), 2.0f)
            << c.what << ": " << int(seen.r) << ", " << int(seen.g) << ", " << int(seen.b);
        EXPECT_TRUE(test::overlayStateLeft()) << c.what;
        EXPECT_EQ(shapes.model, none) << c.what;
    }
    glDeleteTextures(1, &green);
}

} // namespace
} // namespace fennik::gui
