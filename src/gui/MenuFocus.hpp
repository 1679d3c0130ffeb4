#pragma once

#include <utility>
#include <vector>

namespace fennik::gui {

class GUIElement;

// A menu played without a mouse: Up and Down (the arrow keys or the D-pad) move a
// visible focus from button to button, round at the ends, and Enter, Space or the
// pad's South button presses the one in focus. Nothing is in focus until the first
// move, so the mouse alone sees the menu as it always was.
class MenuFocus {
public:
    explicit MenuFocus(std::vector<GUIElement*> items) : items(std::move(items)) {}

    // Key and pad button events as GLFW gives them; true when the menu used the event.
    bool onKey(int key, int action);
    bool onGamepadButton(int button, int action);

    // One step down (+1) or up (-1); from no focus, the first or the last button.
    void move(int step);
    // Runs the focused button's click; false when nothing is in focus.
    bool activate();
    // Back to no focus, as when the menu is opened again.
    void clear();
    int focused() const { return index; }

private:
    void mark();

    std::vector<GUIElement*> items;
    int index = -1;
};

} // namespace fennik::gui
