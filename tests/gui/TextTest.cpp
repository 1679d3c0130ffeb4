#include "gui/Text.hpp"
#include "gui/TextRenderer.hpp"

#include "GUITestSupport.hpp"
#include "support/LogCapture.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <optional>

namespace fennik::gui {
namespace {

using test::OffscreenTarget;

// The lit pixels' bounding box, or nothing when every pixel is the clear colour.
struct Box {
    int left, bottom, right, top;
    float centreX() const { return 0.5f * static_cast<float>(left + right); }
    int width() const { return right - left + 1; }
};

std::optional<Box> litBox(const OffscreenTarget& target)
{
    const std::vector<std::uint8_t> pixels = target.pixels();
    std::optional<Box> box;
    for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x) {
            if (pixels[(static_cast<std::size_t>(y) * target.width + x) * 4] < 128)
                continue;
            if (!box)
                box = Box{x, y, x, y};
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x);
            box->bottom = std::min(box->bottom, y);
            box->top = std::max(box->top, y);
        }
    return box;
}

class TextTest : public test::GLTest {};

// Loading the font ---------------------------------------------------------------

TEST_F(TextTest, GameFontRasterisesEveryCodeUpTo127)
{
    test::LogCapture log;
    TextRenderer font(TextRenderer::gameFontPath, TextRenderer::gamePixelSize);

    EXPECT_EQ(log.lines(), (std::vector<std::string>{"[INFO]: Loading Font: assets/fonts/OpenSans-SemiBold.ttf",
                                                     "[INFO]: Font Loading done!"}));
    ASSERT_EQ(font.glyphs.size(), 128u);
    EXPECT_EQ(font.glyphs.begin()->first, 0);
    EXPECT_EQ(font.glyphs.rbegin()->first, 127);

    const Character& capitalH = font.glyphs.at('H');
    EXPECT_NE(capitalH.textureId, 0u);
    EXPECT_GT(capitalH.size.x, 10);
    // A 32-pixel font: capitals stand a little over 20 pixels above the baseline.
    EXPECT_GT(capitalH.bearing.y, 18);
    EXPECT_LT(capitalH.bearing.y, 32);
    EXPECT_EQ(capitalH.bearing.y, capitalH.size.y);
    // Space has no bitmap but moves the pen.
    EXPECT_EQ(font.glyphs.at(' ').size.x, 0);
    EXPECT_GT(font.glyphs.at(' ').advance, 0u);
    // Advances come in 1/64 pixel.
    EXPECT_EQ(capitalH.advance % 64, 0u);
}

TEST_F(TextTest, MissingFontIsReportedAndDrawsNothing)
{
    test::LogCapture log;
    TextRenderer font("assets/fonts/NoSuchFont.ttf", 32);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"[INFO]: Loading Font: assets/fonts/NoSuchFont.ttf",
                                                     "[ERROR]: ERROR::FREETYPE: Failed to load font",
                                                     "[INFO]: Font Loading done!"}));
    EXPECT_TRUE(font.glyphs.empty());

    OffscreenTarget target(64, 64);
    Text text(&font, "Hello");
    text.draw(glm::vec3(5.0f, 20.0f, 0.0f), 1.0f, glm::vec3(0.0f), target.screenProjection(), false);
    EXPECT_FALSE(litBox(target).has_value());
    EXPECT_EQ(text.getWidth(1.0f), 0.0f);
}

// Layout -----------------------------------------------------------------------------

// A font without a face, with glyphs whose metrics the test chooses.
class MadeUpFontTest : public TextTest {
protected:
    void SetUp() override
    {
        TextTest::SetUp();
        test::LogCapture quiet;
        font.emplace("assets/fonts/NoSuchFont.ttf", 32);
        font->glyphs['a'] = Character{0, {20, 30}, {3, 25}, 60 << 6};
        // The fractional 1/64ths of an advance are dropped.
        font->glyphs['b'] = Character{0, {10, 10}, {-2, 12}, (40 << 6) + 63};
    }

    std::optional<TextRenderer> font;
};

TEST_F(MadeUpFontTest, WidthSumsWholePixelAdvancesTimesScaleAndCentringStartsHalfOfItLeft)
{
    Text text(&*font, "ab");
    EXPECT_FLOAT_EQ(text.getWidth(1.0f), 100.0f);
    EXPECT_FLOAT_EQ(text.getWidth(0.5f), 50.0f);

    for (float scale : {1.0f, 2.0f}) {
        const auto centred = text.layOut(scale, true);
        const auto left = text.layOut(scale, false);
        ASSERT_EQ(centred.size(), 2u);
        // The first vertex is the glyph's top-left corner: pen + bearing.x.
        EXPECT_FLOAT_EQ(centred[0].vertices[0], -50.0f * scale + 3.0f * scale) << scale;
        EXPECT_FLOAT_EQ(left[0].vertices[0], 3.0f * scale) << scale;
        EXPECT_FLOAT_EQ(centred[1].vertices[0], (-50.0f + 60.0f - 2.0f) * scale) << scale;
    }
}

TEST_F(MadeUpFontTest, GlyphQuadSitsOnTheBaselineWithTopRowAtVZero)
{
    Text text(&*font, "a");
    const auto quads = text.layOut(1.0f, false);
    ASSERT_EQ(quads.size(), 1u);
    // 30 rows, 25 of them above the baseline.
    const float expected[30] = {
        3, 25, 0, 0, 0,   3, -5, 0, 0, 1,   23, -5, 0, 1, 1,
        3, 25, 0, 0, 0,   23, -5, 0, 1, 1,  23, 25, 0, 1, 0,
    };
    for (int i = 0; i < 30; ++i)
        EXPECT_FLOAT_EQ(quads[0].vertices[static_cast<std::size_t>(i)], expected[i]) << i;
}

TEST_F(MadeUpFontTest, BytesAbove127DrawNothingAndMoveNoPen)
{
    Text plain(&*font, "ab");
    Text accented(&*font, "a\xE9\xFF" "b");
    EXPECT_FLOAT_EQ(accented.getWidth(1.0f), plain.getWidth(1.0f));

    const auto quads = accented.layOut(1.0f, true);
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_FLOAT_EQ(quads[3].vertices[0], plain.layOut(1.0f, true)[1].vertices[0]);
    for (const std::size_t empty : {1u, 2u}) {
        EXPECT_EQ(quads[empty].texture, 0u);
        // No area: left equals right, top equals bottom.
        EXPECT_EQ(quads[empty].vertices[0], quads[empty].vertices[10]);
        EXPECT_EQ(quads[empty].vertices[1], quads[empty].vertices[6]);
    }
}

// Drawing ----------------------------------------------------------------------------

TEST_F(TextTest, DrawsUprightFromItsPositionInPixels)
{
    TextRenderer& font = TextRenderer::instance();
    OffscreenTarget target(128, 96);
    Text text(&font, "L");
    text.draw(glm::vec3(20.0f, 30.0f, 0.0f), 1.0f, glm::vec3(0.0f), target.screenProjection(), false);

    const std::optional<Box> box = litBox(target);
    ASSERT_TRUE(box.has_value()) << "nothing drawn";
    // The baseline is at y = 30 and the L stands on it.
    const Character& l = font.glyphs.at('L');
    EXPECT_NEAR(box->bottom, 30, 1);
    EXPECT_NEAR(box->top, 30 + l.size.y - 1, 2);
    EXPECT_NEAR(box->left, 20 + l.bearing.x, 1);
    EXPECT_NEAR(box->right, 20 + l.bearing.x + l.size.x - 1, 2);
    // Upright, not mirrored: the foot runs right along the bottom, nothing at the top right.
    const int nearRight = box->right - 2;
    EXPECT_GT(target.pixel(nearRight, box->bottom + 1).r, 128);
    EXPECT_LT(target.pixel(nearRight, box->top - 1).r, 64);
    EXPECT_GT(target.pixel(box->left + 1, box->top - 1).r, 128);
}

TEST_F(TextTest, ScaleEntersTwiceAndCentringHoldsAtAnyScale)
{
    OffscreenTarget target(512, 256);
    Text text(&TextRenderer::instance(), "Resume Game");
    text.color = glm::vec3(1.0f, 0.0f, 0.0f);

    text.draw(glm::vec3(256.0f, 100.0f, 0.0f), 1.0f, glm::vec3(0.0f), target.screenProjection(), true);
    const std::optional<Box> full = litBox(target);
    target.clear(glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    text.draw(glm::vec3(256.0f, 100.0f, 0.0f), 0.5f, glm::vec3(0.0f), target.screenProjection(), true);
    const std::optional<Box> half = litBox(target);

    ASSERT_TRUE(full && half);
    EXPECT_NEAR(full->centreX(), 256.0f, 3.0f);
    EXPECT_NEAR(half->centreX(), 256.0f, 3.0f);
    // Half the scale is a quarter of the size.
    EXPECT_NEAR(static_cast<float>(half->width()), static_cast<float>(full->width()) / 4.0f, 2.0f);
    // The colour reaches the screen.
    const glm::u8vec4 lit = target.pixel(static_cast<int>(half->centreX()), (half->bottom + half->top) / 2);
    EXPECT_EQ(lit.g, 0);
    EXPECT_EQ(lit.b, 0);
}

TEST_F(TextTest, LeavesTheOverlayStateEvenWhenEmpty)
{
    Text text(&TextRenderer::instance(), "");
    for (const std::string& string : {std::string(), std::string("Main Menu")}) {
        SCOPED_TRACE(string);
        text.text = string;
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glEnable(GL_CULL_FACE);

        text.draw(glm::vec3(0.0f), 1.0f, glm::vec3(0.0f, 0.0f, 30.0f), glm::mat4(1.0f), true);

        EXPECT_TRUE(test::overlayStateLeft());
    }
}

TEST_F(TextTest, MovingHandsTheBuffersOver)
{
    Text first(&TextRenderer::instance(), "moved");
    const GLuint buffer = first.vertexBuffer;
    const GLuint vertexArray = first.vertexArray;
    std::optional<Text> second(std::move(first));
    EXPECT_EQ(first.vertexBuffer, 0u);
    EXPECT_EQ(second->vertexBuffer, buffer);
    EXPECT_EQ(second->text, "moved");
    {
        Text third = std::move(*second);
        second.reset();
        EXPECT_TRUE(glIsBuffer(buffer));
        EXPECT_TRUE(glIsVertexArray(vertexArray));
    }
    EXPECT_FALSE(glIsBuffer(buffer));
}

} // namespace
} // namespace fennik::gui
