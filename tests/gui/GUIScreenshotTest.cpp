#include "gui/GUIPauseMenu.hpp"

#include "GUITestSupport.hpp"
#include "core/ScriptedInput.hpp"

#include <filesystem>

namespace fennik::gui {
namespace {

// The pause menu with the cursor on "Resume Game", over a dark backdrop, saved
// under the build directory for a person to look at.
class GUIScreenshotTest : public test::GUITest {
protected:
    core::ScriptedInput input;
    core::ScopedInputSource scope{input};
};

TEST_F(GUIScreenshotTest, PauseMenuWithOneButtonHovered)
{
    test::OffscreenTarget target(800, 800);
    target.clear(glm::vec4(0.12f, 0.14f, 0.2f, 1.0f));
    const glm::mat4 projection = target.screenProjection();

    GUIPauseMenu menu(400.0f, 400.0f);
    input.moveCursor(400.0, 800.0 - 470.0);
    menu.draw(projection);

    const std::filesystem::path directory(FENNIK_SCREENSHOT_DIR);
    std::filesystem::create_directories(directory);
    const std::filesystem::path file = directory / "gui.png";
    ASSERT_TRUE(target.savePNG(file.string())) << file;
    std::cout << "screenshot: " << file.string() << '\n';

    // The two buttons show different images: hovered and idle differ left of their captions.
    const glm::u8vec4 hovered = target.pixel(330, 470);
    const glm::u8vec4 idle = target.pixel(330, 330);
    EXPECT_NE(hovered, idle);
}

} // namespace
} // namespace fennik::gui
