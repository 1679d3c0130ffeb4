#pragma once

#include "core/Progress.hpp"
#include "gui/ListPage.hpp"

#include <glm/mat4x4.hpp>

#include <functional>
#include <string>

namespace fennik::gui {

// The five levels of the run, one button each: a level the player has reached with its
// best time ("Level 1   1:02.37"), the others as not reached yet, which do nothing. A
// click, Enter or South plays a reached level; Escape (on its release), East or "Back"
// returns.
class LevelsScreen : public ListPage {
public:
    // Needs a current context.
    LevelsScreen();

    void open(const core::Progress& progress);
    // Called with the registry name of the level the player picked.
    std::function<void(const std::string& level)> onPlay;

    // Shrunk where the window is too small for the page at its scale.
    void draw(const glm::mat4& projection, const UiFrame& frame);

private:
    void pick(std::size_t index) override;

    core::Progress progress;
};

} // namespace fennik::gui
