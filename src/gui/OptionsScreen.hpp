#pragma once

#include "core/Actions.hpp"
#include "gui/GUIButton.hpp"
#include "gui/MenuFocus.hpp"
#include "gui/MenuPage.hpp"
#include "gui/Text.hpp"

#include <glm/mat4x4.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fennik::core {
struct GameSettings;
}

namespace fennik::gui {

// The options screen, in the game's own buttons over a dimmed picture: master
// volume, full screen, vsync, frame cap, field of view, exposure, the free camera's
// drag, the timer (off, level or run), and the keys of the seven actions, then "Back".
//
// With a mouse a left click moves an option to its next value and a right click to
// the one before; with keys or a pad, Up and Down pick an option, Left and Right
// change it, Enter (South) flips a switch or, on an action, waits for its new key
// (Escape cancels; a taken key swaps). Escape (East) goes back; Escape acts on its
// release, so the screen beneath never sees the rest of the key. Every change goes to
// the settings record at once and through LevelManager::settingsChanged, which
// applies and saves it.
class OptionsScreen {
public:
    // Needs a current context and the registry's settings record.
    OptionsScreen();

    void open();
    bool isOpen() const { return shown; }
    // Back to where it was opened from: closes and runs `onBack`.
    void back();
    std::function<void()> onBack;

    void draw(const glm::mat4& projection);
    // While open, every key and pad button is the screen's.
    void onKey(int key, int action);
    void onGamepadButton(int button, int action);

    // The action waiting for its new key, if any.
    std::optional<core::Action> listening() const { return waitingFor; }
    // The caption of each row, top to bottom, left column first, "Back" last.
    std::vector<std::string> captions() const;

private:
    struct Row {
        std::unique_ptr<GUIButton> button;
        std::function<std::string()> caption;
        std::function<void(int)> change; // one step up (+1) or down (-1)
        std::function<void()> press;     // a click, Enter or South
    };
    void addRow(float x, float y, std::function<std::string()> caption, std::function<void(int)> change,
                std::function<void()> press);
    void changed();
    void changeFocused(int step);

    core::GameSettings& settings;
    std::vector<Row> rows;
    std::unique_ptr<MenuFocus> focus;
    Text title;
    bool shown = false;
    std::optional<core::Action> waitingFor;
    EdgeClicks clicks;
};

} // namespace fennik::gui
