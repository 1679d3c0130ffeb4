#pragma once

#include "gui/UiFrame.hpp"
#include "render/GL.hpp"

#include <glm/mat4x4.hpp>

#include <vector>

namespace fennik::gui {

class GUIButton;
class Text;

// What the full-window menu pages (options, replays) share: a dimmed picture behind
// them, their title, the game's button look, and clicks counted on the button's edge.

// Dims the whole window and draws `title` centred, its baseline `titleY` reference
// units above the middle of `frame`.
void drawDimmedPage(const glm::mat4& projection, const UiFrame& frame, Text& title, float titleY,
                    float dimming = 0.6f);

// Gives `buttons` the width of the widest of them at `frame`.
void shareWidth(const std::vector<GUIButton*>& buttons, const UiFrame& frame);

// The game's buttons: the plain texture and a white caption, the hover texture and a
// dark caption under the cursor or the focus. The textures are the process's own.
void styleButton(GUIButton& button);

// Mouse clicks by their edges: a held button would otherwise click in every frame.
// The click that opened a page is not a click on it: `reset` when it opens.
class EdgeClicks {
public:
    void reset() { leftWasDown = rightWasDown = true; }
    // Reads the buttons once a frame.
    void poll();
    bool left() const { return leftClick; }
    bool right() const { return rightClick; }

private:
    bool leftWasDown = true;
    bool rightWasDown = true;
    bool leftClick = false;
    bool rightClick = false;
};

} // namespace fennik::gui
