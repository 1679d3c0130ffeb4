#pragma once

#include <glm/vec2.hpp>

#include <array>

struct GLFWwindow;

namespace fennik::core {

// A gamepad as GLFW's gamepad interface describes it, with its standard button and
// axis numbers (GLFW_GAMEPAD_BUTTON_A is South, sticks from -1 to 1, y downwards).
struct GamepadState {
    bool connected = false;
    std::array<bool, 15> buttons{};
    std::array<float, 6> axes{};
};

// Everything the game polls (held keys, mouse buttons, the cursor, the gamepad and
// the clock) goes through this seam. The game reads GLFW; tests install a scripted source and
// play levels tick by tick without a person at the keyboard.
class InputSource {
public:
    virtual ~InputSource() = default;

    virtual bool isKeyDown(GLFWwindow* window, int key) = 0;
    virtual bool isMouseButtonDown(GLFWwindow* window, int button) = 0;
    virtual glm::dvec2 cursorPosition(GLFWwindow* window) = 0;
    // The first connected gamepad; `connected` is false when there is none.
    virtual GamepadState gamepad() = 0;
    // Seconds since an arbitrary start.
    virtual double time() = 0;
};

// The active source: GLFW unless a test installed another.
InputSource& input();

// Installs `source` (not owned; it must outlive its use); null restores GLFW.
void setInputSource(InputSource* source);

// A click shorter than a frame presses and releases the button between two polls,
// and the buttons, which look at the button once a frame, would never see it down.
// The window's mouse-button callback latches each press here; the GLFW source then
// reports the button down for the rest of that frame, and the loop clears the latch
// once the frame is drawn.
void latchMouseButtonPress(int button);
void clearLatchedMouseButtons();

// Keys are read once a tick, so a tap between two ticks would never be seen. The
// window's key callback latches each press here; `actionDown` counts a latched key as
// held, and the loop clears the latch after each tick, so a tap acts for one tick
// (also when frames are slow and several taps' worth of time passes between ticks).
void latchKeyPress(int key);
bool keyLatched(int key);
void clearLatchedKeys();

} // namespace fennik::core
