#include "gui/MenuFocus.hpp"

#include "gui/GUIElement.hpp"

#include <GLFW/glfw3.h>

namespace fennik::gui {

bool MenuFocus::onKey(int key, int action)
{
    if (action == GLFW_RELEASE)
        return false;
    switch (key) {
    case GLFW_KEY_UP: move(-1); return true;
    case GLFW_KEY_DOWN: move(1); return true;
    case GLFW_KEY_ENTER:
    case GLFW_KEY_KP_ENTER:
    case GLFW_KEY_SPACE: return action == GLFW_PRESS && activate();
    default: return false;
    }
}

bool MenuFocus::onGamepadButton(int button, int action)
{
    if (action != GLFW_PRESS)
        return false;
    switch (button) {
    case GLFW_GAMEPAD_BUTTON_DPAD_UP: move(-1); return true;
    case GLFW_GAMEPAD_BUTTON_DPAD_DOWN: move(1); return true;
    case GLFW_GAMEPAD_BUTTON_A: return activate();
    default: return false;
    }
}

void MenuFocus::move(int step)
{
    const int count = static_cast<int>(items.size());
    if (count == 0)
        return;
    if (index < 0)
        index = step > 0 ? 0 : count - 1;
    else
        index = ((index + step) % count + count) % count;
    mark();
}

bool MenuFocus::activate()
{
    if (index < 0 || !items[static_cast<std::size_t>(index)]->onClick)
        return false;
    items[static_cast<std::size_t>(index)]->onClick();
    return true;
}

void MenuFocus::clear()
{
    index = -1;
    mark();
}

void MenuFocus::mark()
{
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i]->focused = static_cast<int>(i) == index;
}

} // namespace fennik::gui
