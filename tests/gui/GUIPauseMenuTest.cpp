#include "gui/GUIPauseMenu.hpp"

#include "GUITestSupport.hpp"
#include "support/CountingLevel.hpp"

#include <GLFW/glfw3.h>

#include <memory>
#include <optional>

namespace fennik::gui {
namespace {

class GUIPauseMenuTest : public test::GUITest {
protected:
    void SetUp() override
    {
        GUITest::SetUp();
        target.emplace(800, 800);
        menu.emplace(400.0f, 400.0f);
    }
    void TearDown() override
    {
        menu.reset();
        target.reset();
        GUITest::TearDown();
    }
    // Presses at the middle of `button` as it sits after a frame, and draws the next one.
    void clickFrame(const GUIButton& button)
    {
        menu->draw(target->screenProjection());
        cursorAt(button.position.x + button.width * 0.5f, button.position.y + button.height * 0.5f);
        input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
        menu->draw(target->screenProjection());
    }

    std::optional<test::OffscreenTarget> target; // made once the context is
    std::optional<GUIPauseMenu> menu;
};

TEST_F(GUIPauseMenuTest, ResumeSitsAboveMainMenuAndRaisesTheFlag)
{
    menu->draw(target->screenProjection());
    EXPECT_FLOAT_EQ(menu->resumeButton.position.y + 20.0f, 470.0f);
    EXPECT_FLOAT_EQ(menu->mainMenuButton.position.y + 20.0f, 330.0f);
    EXPECT_FALSE(menu->resumeClicked);

    clickFrame(menu->resumeButton);
    EXPECT_TRUE(menu->resumeClicked);
    EXPECT_EQ(menu->resumeButton.texture, menu->buttonHoverTexture);
    EXPECT_EQ(menu->mainMenuButton.texture, menu->buttonTexture);
}

TEST_F(GUIPauseMenuTest, MainMenuSwitchesToTheStartMenuAtOnce)
{
    auto startMenu = std::make_shared<test::CountingLevel>("StartMenu");
    auto paused = std::make_shared<test::CountingLevel>("LevelOne");
    core::LevelManager::instance().addLevel(startMenu);
    core::LevelManager::instance().addLevel(paused);

    clickFrame(menu->mainMenuButton);
    EXPECT_EQ(core::LevelManager::instance().getActiveLevel(), startMenu);
    EXPECT_EQ(startMenu->resets, 1);
    EXPECT_FALSE(menu->resumeClicked);
}

} // namespace
} // namespace fennik::gui
