#include "gui/GUIPauseMenu.hpp"

#include "GUITestSupport.hpp"
#include "support/CountingLevel.hpp"

#include <GLFW/glfw3.h>

#include <memory>

namespace fennik::gui {
namespace {

using GUIPauseMenuTest = test::GUITest;

TEST_F(GUIPauseMenuTest, RestartSitsBetweenResumeAndOptionsAndMainMenuLastAndEachButtonDoesItsJob)
{
    auto startMenu = std::make_shared<test::CountingLevel>("StartMenu");
    core::LevelManager::instance().addLevel(startMenu);
    core::LevelManager::instance().addLevel(std::make_shared<test::CountingLevel>("LevelOne"));
    test::OffscreenTarget target(800, 800);
    GUIPauseMenu menu;
    menu.draw(target.screenProjection(), UiFrame{});
    EXPECT_FLOAT_EQ(menu.resumeButton.position.y + 20.0f, 505.0f);
    EXPECT_FLOAT_EQ(menu.restartButton.position.y + 20.0f, 435.0f);
    EXPECT_FLOAT_EQ(menu.optionsButton.position.y + 20.0f, 365.0f);
    EXPECT_FLOAT_EQ(menu.mainMenuButton.position.y + 20.0f, 295.0f);

    // Pressed at its middle, each button acts in the frame that sees the press.
    for (GUIButton* button : {&menu.resumeButton, &menu.mainMenuButton}) {
        input.releaseAll();
        menu.resumeClicked = false;
        menu.draw(target.screenProjection(), UiFrame{});
        cursorAt(button->position.x + button->width * 0.5f, button->position.y + button->height * 0.5f);
        input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
        menu.draw(target.screenProjection(), UiFrame{});
        EXPECT_EQ(button->texture, menu.buttonHoverTexture);
        EXPECT_EQ(menu.resumeClicked, button == &menu.resumeButton);
        EXPECT_EQ(startMenu->resets, button == &menu.resumeButton ? 0 : 1);
    }
    EXPECT_EQ(core::LevelManager::instance().getActiveLevel(), startMenu);
    EXPECT_EQ(menu.resumeButton.texture, menu.buttonTexture);
}

} // namespace
} // namespace fennik::gui
