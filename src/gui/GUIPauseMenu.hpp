#pragma once

#include "gui/GUIButton.hpp"
#include "gui/GUIElement.hpp"
#include "gui/MenuFocus.hpp"
#include "gui/Text.hpp"
#include "render/GL.hpp"

namespace fennik::gui {

// What a paused level shows in the middle of the window: the title "Paused" over four
// buttons of one width. "Resume Game" and "Options" raise `resumeClicked` and
// `optionsClicked` for the level to read and clear; "Restart Level" does what its owner
// gives it; "Main Menu" switches to the start menu at once.
class GUIPauseMenu : public GUIElement {
public:
    // Needs a current context.
    GUIPauseMenu();

    // The window dimmed a little, the title, then the buttons (each updates and lays
    // itself out), the whole shrunk where the window is too small for it.
    void draw(const glm::mat4& projection, const UiFrame& frame) override;

    GUIButton resumeButton;
    GUIButton restartButton;
    GUIButton optionsButton;
    GUIButton mainMenuButton;
    Text title;
    MenuFocus focus{{&resumeButton, &restartButton, &optionsButton, &mainMenuButton}};
    // Loaded once and kept for the whole process, as every texture of the game.
    GLuint buttonTexture = 0;
    GLuint buttonHoverTexture = 0;
    bool resumeClicked = false;
    bool optionsClicked = false; // the level opens its options screen and clears it

private:
    void wireHover(GUIButton& button);
};

} // namespace fennik::gui
