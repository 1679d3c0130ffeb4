#include "core/Input.hpp"

#include <GLFW/glfw3.h>

#include <bitset>

namespace fennik::core {

namespace {

std::bitset<GLFW_MOUSE_BUTTON_LAST + 1> latchedButtons;
std::bitset<GLFW_KEY_LAST + 1> latchedKeys;

class GlfwInput final : public InputSource {
public:
    bool isKeyDown(GLFWwindow* window, int key) override
    {
        return window && glfwGetKey(window, key) == GLFW_PRESS;
    }

    // Buttons and the cursor belong to the window whose context is current when
    // the caller passes none: the GUI reads them that way.
    bool isMouseButtonDown(GLFWwindow* window, int button) override
    {
        if (button >= 0 && button <= GLFW_MOUSE_BUTTON_LAST && latchedButtons[static_cast<std::size_t>(button)])
            return true;
        if (!window)
            window = glfwGetCurrentContext();
        return window && glfwGetMouseButton(window, button) == GLFW_PRESS;
    }

    glm::dvec2 cursorPosition(GLFWwindow* window) override
    {
        if (!window)
            window = glfwGetCurrentContext();
        glm::dvec2 position(0.0);
        if (window)
            glfwGetCursorPos(window, &position.x, &position.y);
        return position;
    }

    GamepadState gamepad() override
    {
        GamepadState pad;
        for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
            GLFWgamepadstate state;
            if (!glfwJoystickIsGamepad(joystick) || !glfwGetGamepadState(joystick, &state))
                continue;
            pad.connected = true;
            for (std::size_t i = 0; i < pad.buttons.size(); ++i)
                pad.buttons[i] = state.buttons[i] == GLFW_PRESS;
            for (std::size_t i = 0; i < pad.axes.size(); ++i)
                pad.axes[i] = state.axes[i];
            break;
        }
        return pad;
    }

    double time() override { return glfwGetTime(); }
};

GlfwInput glfwInput;
InputSource* activeSource = &glfwInput;

} // namespace

InputSource& input()
{
    return *activeSource;
}

void setInputSource(InputSource* source)
{
    activeSource = source ? source : &glfwInput;
}

void latchMouseButtonPress(int button)
{
    if (button >= 0 && button <= GLFW_MOUSE_BUTTON_LAST)
        latchedButtons.set(static_cast<std::size_t>(button));
}

void clearLatchedMouseButtons()
{
    latchedButtons.reset();
}

void latchKeyPress(int key)
{
    if (key >= 0 && key <= GLFW_KEY_LAST)
        latchedKeys.set(static_cast<std::size_t>(key));
}

bool keyLatched(int key)
{
    return key >= 0 && key <= GLFW_KEY_LAST && latchedKeys[static_cast<std::size_t>(key)];
}

void clearLatchedKeys()
{
    latchedKeys.reset();
}

} // namespace fennik::core
