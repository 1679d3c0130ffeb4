#pragma once

#include "core/Replay.hpp"
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

// The recorded runs, newest first, one button each: when the run started, its time
// and the furthest level it reached ("07 Dec 14:03   2:17.43   Level 2"), and where it
// began when that was not the test area ("...   from Level 1"). A file the
// game cannot play is listed as unplayable and does nothing. A click, Enter or South
// plays a run; Escape (on its release), East or "Back" returns to the start menu.
class ReplaysScreen {
public:
    static constexpr std::size_t shownRuns = 8;

    // Needs a current context and the registry's settings record.
    ReplaysScreen();

    void open(std::vector<core::ReplayEntry> runs);
    bool isOpen() const { return shown; }
    void back();
    // Called with a playable run the player picked.
    std::function<void(const core::Replay& replay, const std::string& path)> onPlay;

    // Shrunk where the window is too small for the page at its scale.
    void draw(const glm::mat4& projection, const UiFrame& frame);
    void onKey(int key, int action);
    void onGamepadButton(int button, int action);

    // The caption of every row shown, top to bottom, "Back" last.
    std::vector<std::string> captions() const;
    // The buttons of those rows, in the same order.
    std::vector<GUIButton*> buttons() const;

private:
    void pick(std::size_t index);

    std::vector<std::unique_ptr<GUIButton>> rows; // shownRuns runs, then "Back"
    std::vector<core::ReplayEntry> entries;
    std::unique_ptr<MenuFocus> focus;
    Text title;
    Text empty;
    EdgeClicks clicks;
    bool shown = false;
};

} // namespace fennik::gui
