#pragma once

#include <cstdint>
#include <string>

struct GLFWwindow;

namespace fennik::core {

struct GameSettings;
struct ReplayEvent;

// A level of the game: the registry drives the active one every frame and
// forwards the window's input events to it. Every level loads all it will ever
// need in `init`, which the registry calls once, at registration.
class Level {
public:
    explicit Level(std::string name) : name(std::move(name)) {}
    virtual ~Level() = default;

    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    virtual void init(GLFWwindow* window, GameSettings* settings) = 0;
    // Runs every time the level becomes active.
    virtual void reset() = 0;
    virtual void update() = 0;
    virtual void processInput() = 0;
    // Draws a frame `alpha` (0 <= alpha < 1) of a tick after the last tick: what moves
    // is drawn that far from where the previous tick left it towards where the last
    // one did.
    virtual void render(float alpha) = 0;
    virtual void cleanup() = 0;
    virtual void onMouseButton(int button, int action, int mods) = 0;
    virtual void onResize(int width, int height) = 0;
    virtual void onScroll(double xOffset, double yOffset) = 0;
    virtual void onKey(int key, int scancode, int action, int mods) = 0;
    // The main window gained (true) or lost the input focus.
    virtual void onFocus(bool) {}
    // A gamepad button (GLFW_GAMEPAD_BUTTON_*) went down (GLFW_PRESS) or up (GLFW_RELEASE).
    virtual void onGamepadButton(int, int) {}
    // Whether the level stands paused (the music is lowered under its menu).
    virtual bool isPaused() const { return false; }

    // --- replays -------------------------------------------------------------------
    // A hash of what a replay must bring back exactly: the player and the enemies, for
    // levels with a world; 0 for the others.
    virtual std::uint64_t stateHash() const { return 0; }
    // A command the level recorded (ReplayDeck::record), given back at its tick.
    virtual void replayEvent(const ReplayEvent&) {}
    // Whether a run that leaves this level for the start menu is complete.
    virtual bool runComplete() const { return false; }

    // Compared byte for byte by LevelManager::setLevel.
    const std::string name;
    bool initialized = false;

protected:
    GLFWwindow* window = nullptr;      // the main window, not owned
    GameSettings* settings = nullptr;  // the process's settings record, not owned
};

} // namespace fennik::core
