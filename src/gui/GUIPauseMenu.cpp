#include "gui/GUIPauseMenu.hpp"

#include "core/LevelManager.hpp"
#include "render/GpuResources.hpp"

namespace fennik::gui {

namespace {

constexpr float buttonStep = 70.0f; // from one button's centre to the next
constexpr float buttonWidth = 150.0f;
constexpr float buttonHeight = 40.0f;
constexpr float captionScale = 0.75f;
const glm::vec3 hoveredCaption(0.19f, 0.19f, 0.19f);
const glm::vec3 idleCaption(1.0f, 1.0f, 1.0f);

} // namespace

GUIPauseMenu::GUIPauseMenu(float centerX, float centerY)
    : GUIElement(2, glm::vec3(centerX, centerY, 0.0f), 40.0f, 445.0f),
      resumeButton(centerX, centerY + 1.5f * buttonStep, "Resume Game", captionScale, buttonWidth, buttonHeight, true),
      restartButton(centerX, centerY + 0.5f * buttonStep, "Restart Level", captionScale, buttonWidth, buttonHeight,
                    true),
      optionsButton(centerX, centerY - 0.5f * buttonStep, "Options", captionScale, buttonWidth, buttonHeight, true),
      mainMenuButton(centerX, centerY - 1.5f * buttonStep, "Main Menu", captionScale, buttonWidth, buttonHeight, true)
{
    // Missing images give empty textures; the captions still show.
    buttonTexture = render::gpu().texture("assets/textures/button.png", true);
    buttonHoverTexture = render::gpu().texture("assets/textures/button_hover.png", true);
    for (GUIButton* button : {&resumeButton, &restartButton, &optionsButton, &mainMenuButton}) {
        button->texture = buttonTexture;
        wireHover(*button);
    }
    resumeButton.onClick = [this] { resumeClicked = true; };
    optionsButton.onClick = [this] { optionsClicked = true; };
    mainMenuButton.onClick = [] { core::LevelManager::instance().setLevel("StartMenu"); };
}

void GUIPauseMenu::wireHover(GUIButton& button)
{
    // Both run every frame, so the look always matches where the cursor is now.
    button.onHover = [this, &button] {
        button.texture = buttonHoverTexture;
        button.label.color = hoveredCaption;
    };
    button.onIdle = [this, &button] {
        button.texture = buttonTexture;
        button.label.color = idleCaption;
    };
}

void GUIPauseMenu::draw(const glm::mat4& projection)
{
    // The menu's own rectangle follows the window but is never drawn.
    update();
    resumeButton.draw(projection);
    restartButton.draw(projection);
    optionsButton.draw(projection);
    mainMenuButton.draw(projection);
}

} // namespace fennik::gui
