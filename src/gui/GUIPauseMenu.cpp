#include "gui/GUIPauseMenu.hpp"

#include "core/DataDirectory.hpp"
#include "core/LevelManager.hpp"
#include "gui/MenuPage.hpp"
#include "gui/TextRenderer.hpp"
#include "render/GpuResources.hpp"

namespace fennik::gui {

namespace {

constexpr float buttonStep = 70.0f; // from one button's centre to the next
const glm::vec2 buttonSize(150.0f, 40.0f);
constexpr float captionScale = 0.75f;
constexpr float titleBaseline = 2.5f * buttonStep; // above the middle
// Title, buttons and room around them, in reference units.
const glm::vec2 extent(260.0f, 2.0f * (titleBaseline + 40.0f));
const glm::vec3 hoveredCaption(0.19f, 0.19f, 0.19f);
const glm::vec3 idleCaption(1.0f, 1.0f, 1.0f);

} // namespace

GUIPauseMenu::GUIPauseMenu()
    : GUIElement(2, Anchor::Centre, glm::vec2(0.0f), extent),
      resumeButton(Anchor::Centre, {0.0f, 1.5f * buttonStep}, "Resume Game", captionScale, buttonSize),
      restartButton(Anchor::Centre, {0.0f, 0.5f * buttonStep}, "Restart Level", captionScale, buttonSize),
      optionsButton(Anchor::Centre, {0.0f, -0.5f * buttonStep}, "Options", captionScale, buttonSize),
      mainMenuButton(Anchor::Centre, {0.0f, -1.5f * buttonStep}, "Main Menu", captionScale, buttonSize),
      title(&TextRenderer::instance(), "Paused")
{
    // Missing images give empty textures; the captions still show.
    buttonTexture = render::gpu().texture(core::dataPath("textures/button.png"), true);
    buttonHoverTexture = render::gpu().texture(core::dataPath("textures/button_hover.png"), true);
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

void GUIPauseMenu::draw(const glm::mat4& projection, const UiFrame& frame)
{
    const UiFrame fitted = frame.scaledTo(frame.fittingScale(extent));
    // The menu's own rectangle is never drawn.
    update(fitted);
    // Lighter than a page's dim: the paused game stays in view behind the title.
    drawDimmedPage(projection, fitted, title, titleBaseline, 0.35f);

    shareWidth({&resumeButton, &restartButton, &optionsButton, &mainMenuButton}, fitted);
    resumeButton.draw(projection, fitted);
    restartButton.draw(projection, fitted);
    optionsButton.draw(projection, fitted);
    mainMenuButton.draw(projection, fitted);
}

} // namespace fennik::gui
