#include "gui/Text.hpp"
#include "gui/TextRenderer.hpp"

#include "GUITestSupport.hpp"
#include "support/LogCapture.hpp"

#include <algorithm>

namespace fennik::gui {
namespace {

// The bounding box of the lit pixels (red above half): left, bottom, right, top;
// left > right when nothing is lit.
glm::ivec4 litBox(const test::OffscreenTarget& target)
{
    const std::vector<std::uint8_t> pixels = target.pixels();
    glm::ivec4 box(target.width, target.height, -1, -1);
    for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x)
            if (pixels[(static_cast<std::size_t>(y) * target.width + x) * 4] >= 128)
                box = glm::ivec4(std::min(box.x, x), std::min(box.y, y), std::max(box.z, x), std::max(box.w, y));
    return box;
}

using TextTest = test::GLTest;

TEST_F(TextTest, DrawsUprightOnItsBaselineAndNothingWithoutItsFont)
{
    TextRenderer& font = TextRenderer::instance();
    test::OffscreenTarget target(512, 128);
    Text letter(&font, "L");
    letter.draw(glm::vec3(20.0f, 30.0f, 0.0f), 1.0f, glm::vec3(0.0f), target.screenProjection(), false);
    const glm::ivec4 box = litBox(target);
    const Character& l = font.glyphs.at('L');
    EXPECT_NEAR(box.x, 20 + l.bearing.x, 1);
    EXPECT_NEAR(box.y, 30, 1);
    EXPECT_NEAR(box.w, 30 + l.size.y - 1, 2);
    // Upright, not mirrored: the foot runs right along the bottom, nothing at the top right.
    EXPECT_GT(target.pixel(box.z - 2, box.y + 1).r, 128);
    EXPECT_LT(target.pixel(box.z - 2, box.w - 1).r, 64);
    EXPECT_TRUE(test::overlayStateLeft());

    test::LogCapture log;
    TextRenderer missing("assets/fonts/NoSuchFont.ttf", 32);
    EXPECT_EQ(log.count("[ERROR]: ERROR::FREETYPE: Failed to load font"), 1u);
    target.clear(glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    Text text(&missing, "Hello");
    text.draw(glm::vec3(5.0f, 20.0f, 0.0f), 1.0f, glm::vec3(0.0f), target.screenProjection(), true);
    EXPECT_GT(litBox(target).x, litBox(target).z);
    EXPECT_EQ(text.getWidth(1.0f), 0.0f);
}

} // namespace
} // namespace fennik::gui
