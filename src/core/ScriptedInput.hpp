#pragma once

#include "core/Input.hpp"

#include <set>

namespace fennik::core {

// A deterministic input source for tests and the playthrough: keys and buttons are
// held until released, the cursor sits where it was put, and the clock only moves
// when told to.
class ScriptedInput final : public InputSource {
public:
    static constexpr double tickSeconds = 1.0 / 30.0;

    void press(int key) { keys.insert(key); }
    void release(int key) { keys.erase(key); }
    void releaseAll() { keys.clear(); buttons.clear(); pad = {}; }
    void pressButton(int button) { buttons.insert(button); }
    void releaseButton(int button) { buttons.erase(button); }
    void moveCursor(double x, double y) { cursor = {x, y}; }
    // The scripted gamepad: connected while any of it is set.
    void pressPad(int button) { pad.connected = true; pad.buttons.at(static_cast<std::size_t>(button)) = true; }
    void releasePad(int button) { pad.buttons.at(static_cast<std::size_t>(button)) = false; }
    void tiltPad(int axis, float value) { pad.connected = true; pad.axes.at(static_cast<std::size_t>(axis)) = value; }
    void unplugPad() { pad = {}; }
    void setTime(double seconds) { now = seconds; }
    void advance(double seconds) { now += seconds; }

    bool isKeyDown(GLFWwindow*, int key) override { return keys.contains(key); }
    bool isMouseButtonDown(GLFWwindow*, int button) override { return buttons.contains(button); }
    glm::dvec2 cursorPosition(GLFWwindow*) override { return cursor; }
    GamepadState gamepad() override { return pad; }
    double time() override { return now; }

private:
    std::set<int> keys;
    std::set<int> buttons;
    glm::dvec2 cursor{0.0};
    GamepadState pad;
    double now = 0.0;
};

// Installs a scripted source for the lifetime of this object.
class ScopedInputSource {
public:
    explicit ScopedInputSource(InputSource& source) { setInputSource(&source); }
    ~ScopedInputSource() { setInputSource(nullptr); }
    ScopedInputSource(const ScopedInputSource&) = delete;
    ScopedInputSource& operator=(const ScopedInputSource&) = delete;
};

} // namespace fennik::core
