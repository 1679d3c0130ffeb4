#include "gui/ShapeRenderer.hpp"

#include "GUITestSupport.hpp"
#include "support/GLPictures.hpp"
#include "support/LogCapture.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <optional>

namespace fennik::gui {
namespace {

using test::OffscreenTarget;

const glm::vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
const glm::vec4 clearColour(0.0f, 0.0f, 1.0f, 1.0f);

class ShapeRendererTest : public test::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        target.emplace(32, 32);
        target->clear(clearColour);
    }

    void TearDown() override
    {
        target.reset();
        GLTest::TearDown();
    }

    // Covers the whole 32 x 32 target.
    void fullRect(ShapeRenderer& shapes, const glm::vec4& colour)
    {
        shapes.rect(0.0f, 0.0f, 32.0f, 32.0f, colour, colour);
    }

    glm::u8vec4 middle() const { return target->pixel(16, 16); }

    ShapeRenderer& shapes = ShapeRenderer::instance();
    std::optional<OffscreenTarget> target;
};

// What the player sees -------------------------------------------------------------

TEST_F(ShapeRendererTest, FullRectangleShowsItsColourOrItsTextureOrNothingWhenFacingAway)
{
    const GLuint green = test::solidTexture({0, 255, 0, 255});
    struct Case { const char* what; glm::mat4 projection; GLuint texture; glm::vec4 colour; glm::u8vec4 seen; };
    const Case cases[] = {
        {"the vertex colour", target->screenProjection(), 0, red, {255, 0, 0, 255}},
        {"the texture, even under a transparent colour", target->screenProjection(), green, glm::vec4(0.0f),
         {0, 255, 0, 255}},
        {"nothing: y down turns it away and it is culled", glm::ortho(0.0f, 32.0f, 32.0f, 0.0f), 0, red,
         {0, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        target->clear(clearColour);
        shapes.beginShape(c.projection, GL_TRIANGLES);
        shapes.texture = c.texture;
        fullRect(shapes, c.colour);
        shapes.endShape();
        EXPECT_EQ(middle(), c.seen) << c.what;
    }
    glDeleteTextures(1, &green);
}

TEST_F(ShapeRendererTest, AlphaBlendsOverWhatIsThere)
{
    shapes.beginShape(target->screenProjection(), GL_TRIANGLES);
    fullRect(shapes, glm::vec4(1.0f, 0.0f, 0.0f, 0.5f));
    shapes.endShape();
    const glm::u8vec4 pixel = middle();
    EXPECT_NEAR(pixel.r, 128, 2);
    EXPECT_NEAR(pixel.b, 128, 2);
}

TEST_F(ShapeRendererTest, ModelMatrixMovesTheBatch)
{
    shapes.beginShape(target->screenProjection(), GL_TRIANGLES);
    shapes.color = red;
    shapes.rect(0.0f, 0.0f, 4.0f, 4.0f, shapes.color, shapes.color);
    shapes.model = glm::translate(glm::mat4(1.0f), glm::vec3(20.0f, 20.0f, 0.0f));
    shapes.endShape();
    EXPECT_EQ(target->pixel(22, 22), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(target->pixel(2, 2), glm::u8vec4(0, 0, 255, 255));
}

TEST_F(ShapeRendererTest, LinesDrawOnlyTheOutline)
{
    shapes.beginShape(target->screenProjection(), GL_LINES);
    shapes.rect(4.5f, 4.5f, 20.0f, 20.0f, red, red);
    shapes.endShape();
    EXPECT_EQ(target->pixel(14, 4), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(middle(), glm::u8vec4(0, 0, 255, 255));
}

// State around a flush ----------------------------------------------------------------

TEST_F(ShapeRendererTest, FlushLeavesDepthOnBlendAndCullOffAndResetsTheBrush)
{
    const GLuint green = test::solidTexture({0, 255, 0, 255});
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);

    shapes.beginShape(target->screenProjection(), GL_TRIANGLES);
    shapes.color = red;
    shapes.texture = green;
    shapes.model = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f));
    shapes.circle(16.0f, 16.0f, 8.0f, 16);
    shapes.endShape();

    EXPECT_TRUE(test::overlayStateLeft());
    EXPECT_EQ(shapes.color, glm::vec4(1.0f));
    EXPECT_EQ(shapes.model, glm::mat4(1.0f));
    EXPECT_EQ(shapes.vertexCount, 0u);
    EXPECT_TRUE(shapes.vertices.empty());
    EXPECT_FALSE(shapes.drawing);
    glDeleteTextures(1, &green);
}

TEST_F(ShapeRendererTest, EmptyBatchDrawsNothingAndKeepsWhatTheUserSet)
{
    glEnable(GL_BLEND);
    const glm::mat4 moved = glm::translate(glm::mat4(1.0f), glm::vec3(3.0f));
    shapes.beginShape(target->screenProjection(), GL_TRIANGLES);
    shapes.color = red;
    shapes.model = moved;
    shapes.endShape();

    EXPECT_EQ(shapes.color, red);
    EXPECT_EQ(shapes.model, moved);
    EXPECT_FALSE(shapes.drawing);
    // Nothing at all ran: not even the state changes of a flush.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND);
    shapes.color = glm::vec4(1.0f);
}

// Unbalanced calls ---------------------------------------------------------------------

TEST_F(ShapeRendererTest, EndWithoutBeginWarnsAndDrawsNothing)
{
    test::LogCapture log;
    shapes.endShape();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"[WARN]: Tried to endShape without beginning one!"});
    EXPECT_FALSE(shapes.drawing);
    EXPECT_EQ(middle(), glm::u8vec4(0, 0, 255, 255));
}

TEST_F(ShapeRendererTest, SecondBeginWarnsAndKeepsTheFirstProjectionAndMode)
{
    const glm::mat4 first = target->screenProjection();
    shapes.beginShape(first, GL_TRIANGLES);
    shapes.color = red;
    {
        test::LogCapture log;
        shapes.beginShape(glm::ortho(0.0f, 32.0f, 32.0f, 0.0f), GL_LINES);
        EXPECT_EQ(log.lines(), std::vector<std::string>{"[WARN]: Already drawing a shape!"});
    }
    EXPECT_EQ(shapes.projection, first);
    EXPECT_EQ(shapes.mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(shapes.color, red);
    fullRect(shapes, red);
    shapes.endShape();
    // Drawn filled with the first, y-up projection.
    EXPECT_EQ(middle(), glm::u8vec4(255, 0, 0, 255));
}

TEST_F(ShapeRendererTest, ShapesEmittedOutsideABatchNeverReachTheScreen)
{
    fullRect(shapes, red);
    shapes.beginShape(target->screenProjection(), GL_TRIANGLES);
    shapes.rect(0.0f, 0.0f, 2.0f, 2.0f, glm::vec4(0.0f, 1.0f, 0.0f, 1.0f), glm::vec4(0.0f, 1.0f, 0.0f, 1.0f));
    shapes.endShape();
    EXPECT_EQ(target->pixel(1, 1), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(middle(), glm::u8vec4(0, 0, 255, 255));
}

} // namespace
} // namespace fennik::gui
