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

// The options screen, in the game's own buttons over a dimmed picture: master,
// music and effects volumes, full screen, vsync, frame cap, field of view, exposure, the free camera's
// drag, the UI scale, the timer (off, level or run), the keys of the seven actions, the graphics preset and its
// switches, then "Back". The rows run
// down columns; with many rows or a small window the page takes more columns, closer
// rows, and at last a smaller scale, so that it always fits.
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

    void draw(const glm::mat4& projection, const UiFrame& frame);
    // While open, every key and pad button is the screen's.
    void onKey(int key, int action);
    void onGamepadButton(int button, int action);

    // The action waiting for its new key, if any.
    std::optional<core::Action> listening() const { return waitingFor; }
    // The caption of each row, top to bottom, left column first, "Back" last.
    std::vector<std::string> captions() const;
    // The rows' buttons in the same order.
    std::vector<GUIButton*> buttons() const;

private:
    struct Row {
        std::unique_ptr<GUIButton> button;
        std::function<std::string()> caption;
        std::function<void(int)> change; // one step up (+1) or down (-1)
        std::function<void()> press;     // a click, Enter or South
    };
    // How the rows are arranged at one scale; reference units around the middle.
    struct Shape {
        int columns = 2;
        int perColumn = 1;
        float step = 48.0f;
        float rowHeight = 36.0f;
        float titleY = 0.0f; // the title's baseline
        float backY = 0.0f;  // the middle of "Back"
        glm::vec2 extent{0.0f};
        float scale = 0.0f;
    };
    Shape shape(const UiFrame& frame) const;
    static Shape shapeOf(int options, int columns, float step);
    void arrange(const Shape& shape);

    void addRow(std::function<std::string()> caption, std::function<void(int)> change, std::function<void()> press);
    // The preset, the render scale and the switches, one row each.
    void addGraphicsRows();
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
