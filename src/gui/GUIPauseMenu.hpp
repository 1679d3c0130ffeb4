#pragma once

#include "gui/GUIButton.hpp"
#include "gui/GUIElement.hpp"
#include "gui/MenuFocus.hpp"
#include "render/GL.hpp"

namespace fennik::gui {

// The buttons a paused level shows in the middle of the window: "Resume Game" and
// "Options" raise `resumeClicked` and `optionsClicked` for the level to read and
// clear; "Restart Level" does what its owner gives it; "Main Menu" switches to the
// start menu at once.
class GUIPauseMenu : public GUIElement {
public:
    // (centerX, centerY) is the middle of the window. Needs a current context.
    GUIPauseMenu(float centerX, float centerY);

    // The menu's own update, then both buttons (each updates and lays itself out).
    void draw(const glm::mat4& projection) override;

    GUIButton resumeButton;
    GUIButton restartButton;
    GUIButton optionsButton;
    GUIButton mainMenuButton;
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
