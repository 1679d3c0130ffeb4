#pragma once

#include "app/Window.hpp"
#include "core/FixedTicker.hpp"
#include "core/FrameLimiter.hpp"
#include "core/Input.hpp"

#include <memory>
#include <stdexcept>
#include <string>

namespace fennik::core {
class Level;
class LevelManager;
class StubLevel;
struct GameSettings;
}

namespace fennik::app {

// Thrown by the GameBase constructor when a start-up step failed after logging
// why; the entry point then exits with status 1 instead of running a loop on a
// window without a working context.
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The spine of the process: reads the settings, opens the splash and main windows,
// registers the stub level and the input callbacks, and runs the frame loop. The
// game class registers its levels in `init`.
class GameBase {
public:
    explicit GameBase(const std::string& title);
    virtual ~GameBase();

    GameBase(const GameBase&) = delete;
    GameBase& operator=(const GameBase&) = delete;

    // Loads the levels behind the splash screen, then drives the active level until
    // the main window is asked to close (or SIGINT/SIGTERM arrives), then shuts down.
    void run();

    // The three parts of `run`, for drivers that step the frames themselves (the
    // scenario tests): loading and showing the main window, one pass of the loop
    // (events, the simulation ticks that are due, one render, the swap), and the
    // shutdown.
    void start();
    void runFrame();
    void finish();
    // The simulation ticks of one frame: for each, the replay deck's turn, then the
    // active level's input and update.
    void runTicks(int ticks);

    void addLevel(std::shared_ptr<core::Level> level);

    // Asks the loop to end after the current frame, as closing the window does.
    static void requestClose();

    // Alt+Enter and F11: the main window to or from full screen; the settings record
    // which it is, and the player's file keeps it.
    void toggleFullscreen();
    // Puts the settings the options screen changed into effect and saves them.
    void applySettings();

    std::unique_ptr<Window> mainWindow;
    std::unique_ptr<Window> splashWindow;
    std::shared_ptr<core::GameSettings> settings;
    core::LevelManager* levelManager = nullptr;
    std::shared_ptr<core::StubLevel> stubLevel;
    bool running = false;

protected:
    virtual void init() = 0;
    virtual void shutdown() = 0;

    // Announces how many levels `init` will register, so the splash screen's
    // progress bar can advance after each one.
    void setLoadingSteps(int steps);

private:
    void releaseWindows();

    using SignalHandler = void (*)(int);
    SignalHandler previousInterruptHandler = nullptr;
    SignalHandler previousTerminateHandler = nullptr;

    // Hands the gamepad's button changes since the last frame to the active level, and
    // logs a pad coming or going.
    void pollGamepad();
    // The master, music and effects gains from the settings.
    void applyVolumes();
    // The active level's piece, lowered while it is paused: once a frame.
    void followMusic();

    core::FixedTicker ticker;
    core::GamepadState lastPad;
    core::FrameLimiter limiter;
    int loadingSteps = 0;
    int loadedSteps = 0;
};

} // namespace fennik::app
