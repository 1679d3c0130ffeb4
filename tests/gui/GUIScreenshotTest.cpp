#include "gui/GUIPauseMenu.hpp"
#include "gui/GUIPlayerHealthBar.hpp"

#include "GUITestSupport.hpp"
#include "core/ScriptedInput.hpp"

#include <cmath>
#include <iostream>

namespace fennik::gui {
namespace {

// The pause menu with the cursor on "Resume Game" and the health gauge at 60, over
// a dark backdrop, saved under the build directory for a person to look at.
class GUIScreenshotTest : public test::GUITest {
protected:
    core::ScriptedInput input;
    core::ScopedInputSource scope{input};
};

TEST_F(GUIScreenshotTest, PauseMenuWithOneButtonHoveredAndTheGaugeAt60)
{
    test::OffscreenTarget target(800, 800);
    target.clear(glm::vec4(0.12f, 0.14f, 0.2f, 1.0f));
    const glm::mat4 projection = target.screenProjection();

    // A moment when the heart has turned a little and bobbed up.
    input.setTime(0.2);
    GUIPlayerHealthBar gauge(0.0f, 800.0f, 150.0f, 15.0f);
    gauge.health = 60.0f;
    gauge.fillColor = glm::vec4(1.0f - gauge.health / 100.0f, gauge.health / 100.0f, 0.0f, 1.0f);
    gauge.draw(projection);

    GUIPauseMenu menu(400.0f, 400.0f);
    input.moveCursor(400.0, 800.0 - 470.0);
    menu.draw(projection);

    std::cout << "screenshot: " << target.save("gui.png").string() << '\n';

    // The two buttons show different images: hovered and idle differ left of their captions.
    const glm::u8vec4 hovered = target.pixel(330, 470);
    const glm::u8vec4 idle = target.pixel(330, 330);
    EXPECT_NE(hovered, idle);
    // The gauge's sector reaches 54 degrees from straight down, not beyond.
    const glm::u8vec4 filled = target.pixel(static_cast<int>(143.0f * std::cos(-0.7f)), static_cast<int>(800.0f + 143.0f * std::sin(-0.7f)));
    const glm::u8vec4 empty = target.pixel(static_cast<int>(143.0f * std::cos(-0.5f)), static_cast<int>(800.0f + 143.0f * std::sin(-0.5f)));
    EXPECT_EQ(filled, glm::u8vec4(102, 153, 0, 255));
    EXPECT_EQ(empty, glm::u8vec4(0, 0, 0, 255));
    // The heart, red, beside the gauge's corner.
    const glm::u8vec4 heart = target.pixel(55, 707);
    EXPECT_GT(heart.r, 100);
    EXPECT_LT(heart.g, heart.r / 2);
}

} // namespace
} // namespace fennik::gui
