#include "gui/GUIButton.hpp"
#include "gui/TextRenderer.hpp"

#include "GUITestSupport.hpp"
#include "core/ScriptedInput.hpp"
#include "render/Texture.hpp"
#include "support/GLPictures.hpp"

namespace fennik::gui {
namespace {

using test::OffscreenTarget;

class GUIButtonTest : public test::GUITest {
protected:
    core::ScriptedInput input; // the cursor rests at the top-left corner, away from the buttons
    core::ScopedInputSource scope{input};
};

// Counts pixels inside [x0, x1) x [y0, y1) for which `test` holds.
template <typename Test>
int countPixels(const OffscreenTarget& target, int x0, int y0, int x1, int y1, Test test)
{
    const std::vector<std::uint8_t> pixels = target.pixels();
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * target.width + x) * 4];
            count += test(glm::u8vec4(p[0], p[1], p[2], p[3])) ? 1 : 0;
        }
    return count;
}

bool isWhitish(glm::u8vec4 p) { return p.r > 200 && p.g > 200 && p.b > 200; }

// Layout -------------------------------------------------------------------------------

TEST_F(GUIButtonTest, CentredButtonSitsAroundItsPositionAnUncentredOneAboveAndRightOfIt)
{
    GUIButton button(400.0f, 300.0f, "Play", 0.75f, 150.0f, 40.0f, true);
    EXPECT_EQ(button.position, glm::vec3(325.0f, 280.0f, 0.0f));
    EXPECT_FLOAT_EQ(button.width, 150.0f);
    EXPECT_FLOAT_EQ(button.height, 40.0f);
    EXPECT_FLOAT_EQ(button.labelPosition.x, 400.0f);
    // The baseline a few pixels below the middle, so the capitals look centred.
    EXPECT_LT(button.labelPosition.y, 300.0f);
    EXPECT_GT(button.labelPosition.y, 290.0f);

    // Every frame's layout places it the same again.
    test::OffscreenTarget target(800, 800);
    button.draw(target.screenProjection());
    EXPECT_EQ(button.position, glm::vec3(325.0f, 280.0f, 0.0f));

    GUIButton uncentred(100.0f, 50.0f, "Play", 0.75f, 150.0f, 40.0f, false);
    EXPECT_EQ(uncentred.position, glm::vec3(100.0f, 50.0f, 0.0f));
    EXPECT_FLOAT_EQ(uncentred.labelPosition.x, 175.0f);
}

TEST_F(GUIButtonTest, NarrowButtonGrowsOnceToItsLabelPlusMargin)
{
    GUIButton button(400.0f, 300.0f, "Resume Game", 1.0f, 20.0f, 40.0f, true);
    const float labelWidth = button.label.getWidth(1.0f);
    ASSERT_GT(labelWidth, 100.0f);

    EXPECT_FLOAT_EQ(button.width, labelWidth + 10.0f);
    // In the frame it grows, the left edge moves by a quarter of the label, less half the margin.
    EXPECT_FLOAT_EQ(button.position.x, 400.0f - 10.0f - labelWidth * 0.25f + 5.0f);
    EXPECT_FLOAT_EQ(button.labelPosition.x, button.position.x + button.width * 0.5f);

    // From the next frame on it is centred with its grown width, and grows no more.
    test::OffscreenTarget target(800, 800);
    for (int frame = 0; frame < 2; ++frame) {
        button.draw(target.screenProjection());
        EXPECT_FLOAT_EQ(button.width, labelWidth + 10.0f);
        EXPECT_FLOAT_EQ(button.position.x, 400.0f - (labelWidth + 10.0f) * 0.5f);
        EXPECT_FLOAT_EQ(button.labelPosition.x, 400.0f);
    }
}

TEST_F(GUIButtonTest, FlatButtonGrowsToTheCaptionHeight)
{
    GUIButton button(400.0f, 300.0f, "Hi", 1.0f, 150.0f, 0.0f, true);
    TextRenderer& font = TextRenderer::instance();
    const float labelHeight =
        static_cast<float>(font.glyphs.at('H').size.y + font.glyphs.at('i').size.y) / static_cast<float>(font.glyphs.size());
    EXPECT_FLOAT_EQ(button.height, 10.0f + labelHeight);
    EXPECT_FLOAT_EQ(button.position.y, 300.0f - labelHeight * 0.25f + 5.0f);
}

// Drawing --------------------------------------------------------------------------------

TEST_F(GUIButtonTest, TextureFillsTheButtonAndTheCaptionIsOnTop)
{
    const GLuint green = test::solidTexture({0, 160, 0, 255});
    OffscreenTarget target(800, 800);
    GUIButton button(400.0f, 300.0f, "Main Menu", 0.75f, 150.0f, 40.0f, true);
    button.texture = green;
    button.draw(target.screenProjection());

    // Corners of the button: texture; outside: untouched.
    EXPECT_EQ(target.pixel(327, 282), glm::u8vec4(0, 160, 0, 255));
    EXPECT_EQ(target.pixel(472, 318), glm::u8vec4(0, 160, 0, 255));
    EXPECT_EQ(target.pixel(322, 300), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(target.pixel(400, 323), glm::u8vec4(0, 0, 0, 255));
    // The white caption in the middle.
    EXPECT_GT(countPixels(target, 340, 285, 460, 315, isWhitish), 100);
    EXPECT_EQ(countPixels(target, 0, 0, 800, 800, isWhitish), countPixels(target, 325, 280, 475, 320, isWhitish));

    EXPECT_TRUE(test::overlayStateLeft());
    glDeleteTextures(1, &green);
}

TEST_F(GUIButtonTest, MissingImageStillShowsTheCaption)
{
    const GLuint empty = render::loadTexture("assets/textures/no_such_button.png", true);
    EXPECT_NE(empty, 0u);
    OffscreenTarget target(800, 800);
    target.clear(glm::vec4(0.3f, 0.3f, 0.3f, 1.0f));
    GUIButton button(400.0f, 300.0f, "Main Menu", 0.75f, 150.0f, 40.0f, true);
    button.texture = empty;
    button.draw(target.screenProjection());
    EXPECT_GT(countPixels(target, 340, 285, 460, 315, isWhitish), 100);
}

} // namespace
} // namespace fennik::gui
