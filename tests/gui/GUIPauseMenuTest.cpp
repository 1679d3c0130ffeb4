#include "gui/GUIPauseMenu.hpp"

#include "GUITestSupport.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"
#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace fennik::gui {
namespace {

glm::vec2 centreOf(const GUIButton& button)
{
    return glm::vec2(button.position) + glm::vec2(button.width, button.height) * 0.5f;
}

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
        core::LevelManager::instance().shutdownLevels();
        GUITest::TearDown();
    }

    // The start menu and, active above it, the paused level.
    void registerLevels()
    {
        core::LevelManager::instance().addLevel(startMenu);
        core::LevelManager::instance().addLevel(paused);
        ASSERT_EQ(core::LevelManager::instance().getActiveLevel(), paused);
    }

    void cursorAt(glm::vec2 point) { input.moveCursor(point.x, settings.windowHeight - point.y); }
    void drawFrame() { menu->draw(target->screenProjection()); }

    core::ScriptedInput input;
    core::ScopedInputSource scope{input};
    std::optional<test::OffscreenTarget> target;
    std::optional<GUIPauseMenu> menu;
    std::shared_ptr<test::CountingLevel> startMenu = std::make_shared<test::CountingLevel>("StartMenu");
    std::shared_ptr<test::CountingLevel> paused = std::make_shared<test::CountingLevel>("LevelOne");
};

TEST_F(GUIPauseMenuTest, ButtonsSitAboveAndBelowTheMiddleAndMoveWithTheWindowKeepingTheirSize)
{
    drawFrame();
    EXPECT_EQ(centreOf(menu->resumeButton), glm::vec2(400.0f, 470.0f));
    EXPECT_EQ(centreOf(menu->mainMenuButton), glm::vec2(400.0f, 330.0f));
    // 150 x 40, or as wide as the caption needs: "Resume Game" needs more in this font.
    for (GUIButton* button : {&menu->resumeButton, &menu->mainMenuButton}) {
        EXPECT_FLOAT_EQ(button->width, std::max(150.0f, button->label.getWidth(0.75f) + 10.0f));
        EXPECT_FLOAT_EQ(button->height, 40.0f);
    }
    EXPECT_EQ(menu->resumeButton.label.text, "Resume Game");
    EXPECT_EQ(menu->mainMenuButton.label.text, "Main Menu");
    EXPECT_FALSE(menu->resumeClicked);

    const float resumeWidth = menu->resumeButton.width;
    const float mainMenuWidth = menu->mainMenuButton.width;
    settings.windowWidth = 1600;
    drawFrame();
    EXPECT_EQ(centreOf(menu->resumeButton), glm::vec2(800.0f, 470.0f));
    EXPECT_EQ(centreOf(menu->mainMenuButton), glm::vec2(800.0f, 330.0f));
    EXPECT_FLOAT_EQ(menu->resumeButton.width, resumeWidth);
    EXPECT_FLOAT_EQ(menu->mainMenuButton.width, mainMenuWidth);
    EXPECT_FLOAT_EQ(menu->mainMenuButton.height, 40.0f);
}

TEST_F(GUIPauseMenuTest, HoverSwapsImageAndDarkensTheCaptionUntilTheCursorLeaves)
{
    ASSERT_NE(menu->buttonTexture, 0u);
    ASSERT_NE(menu->buttonHoverTexture, 0u);
    ASSERT_NE(menu->buttonTexture, menu->buttonHoverTexture);
    EXPECT_EQ(menu->resumeButton.texture, menu->buttonTexture);
    EXPECT_EQ(menu->mainMenuButton.texture, menu->buttonTexture);

    GUIButton* const buttons[] = {&menu->resumeButton, &menu->mainMenuButton};
    for (GUIButton* hovered : buttons) {
        cursorAt(hovered == buttons[0] ? glm::vec2(400.0f, 470.0f) : glm::vec2(400.0f, 330.0f));
        drawFrame();
        for (GUIButton* button : buttons) {
            SCOPED_TRACE(button->label.text);
            EXPECT_EQ(button->texture, button == hovered ? menu->buttonHoverTexture : menu->buttonTexture);
            EXPECT_EQ(button->label.color, button == hovered ? glm::vec3(0.19f) : glm::vec3(1.0f));
        }
    }
}

TEST_F(GUIPauseMenuTest, HeldResumeRaisesTheFlagInEveryDrawnFrame)
{
    cursorAt({400.0f, 470.0f});
    input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    for (int frame = 0; frame < 3; ++frame) {
        drawFrame();
        EXPECT_TRUE(menu->resumeClicked) << frame;
        menu->resumeClicked = false; // what the level does when it resumes
    }
    input.releaseButton(GLFW_MOUSE_BUTTON_LEFT);
    drawFrame();
    EXPECT_FALSE(menu->resumeClicked);
}

TEST_F(GUIPauseMenuTest, MainMenuSwitchesToTheStartMenuAtOnce)
{
    registerLevels();
    cursorAt({400.0f, 330.0f});
    input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    test::LogCapture log;
    drawFrame();

    EXPECT_EQ(core::LevelManager::instance().getActiveLevel(), startMenu);
    EXPECT_EQ(startMenu->resets, 1);
    EXPECT_EQ(paused->resets, 0);
    EXPECT_EQ(log.count("[INFO]: Set level: StartMenu active!"), 1u);
    EXPECT_FALSE(menu->resumeClicked);
}

} // namespace
} // namespace fennik::gui
