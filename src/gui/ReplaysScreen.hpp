#pragma once

#include "core/Replay.hpp"
#include "gui/ListPage.hpp"
#include "gui/Text.hpp"

#include <glm/mat4x4.hpp>

#include <functional>
#include <string>
#include <vector>

namespace fennik::gui {

// The recorded runs, newest first, one button each: when the run started, its time
// and the furthest level it reached ("07 Dec 14:03   2:17.43   Level 2"), and where it
// began when that was not the test area ("...   from Level 1"). A file the
// game cannot play is listed as unplayable and does nothing. A click, Enter or South
// plays a run; Escape (on its release), East or "Back" returns to the start menu.
class ReplaysScreen : public ListPage {
public:
    static constexpr std::size_t shownRuns = 8;

    // Needs a current context.
    ReplaysScreen();

    void open(std::vector<core::ReplayEntry> runs);
    // Called with a playable run the player picked.
    std::function<void(const core::Replay& replay, const std::string& path)> onPlay;

    // Shrunk where the window is too small for the page at its scale.
    void draw(const glm::mat4& projection, const UiFrame& frame);

private:
    void pick(std::size_t index) override;

    std::vector<core::ReplayEntry> entries;
    Text empty;
};

} // namespace fennik::gui
