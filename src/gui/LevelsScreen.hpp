#pragma once

#include "core/Progress.hpp"
#include "gui/GUIButton.hpp"
#include "gui/MenuFocus.hpp"
#include "gui/MenuPage.hpp"
#include "gui/Text.hpp"

#include <glm/mat4x4.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fennik::gui {

// The five levels of the run, one button each: a level the player has reached with its
// best time ("Level 1   1:02.37"), the others as not reached yet, which do nothing. A
// click, Enter or South plays a reached level; Escape (on its release), East or "Back"
// returns.
class LevelsScreen {
public:
    // Needs a current context.
    LevelsScreen();

    void open(const core::Progress& progress);
    bool isOpen() const { return shown; }
    void back();
    // Called with the registry name of the level the player picked.
    std::function<void(const std::string& level)> onPlay;

    // Shrunk where the window is too small for the page at its scale.
    void draw(const glm::mat4& projection, const UiFrame& frame);
    void onKey(int key, int action);
    void onGamepadButton(int button, int action);

    // The caption of every row, top to bottom, "Back" last.
    std::vector<std::string> captions() const;
    // The buttons of those rows, in the same order.
    std::vector<GUIButton*> buttons() const;

private:
    void pick(std::size_t index);

    std::vector<std::unique_ptr<GUIButton>> rows; // the levels, then "Back"
    core::Progress progress;
    std::unique_ptr<MenuFocus> focus;
    Text title;
    EdgeClicks clicks;
    bool shown = false;
};

} // namespace fennik::gui
