#include "app/GameBase.hpp"

#include "app/Framework.hpp"
#include "app/InputCallbacks.hpp"
#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"
#include "core/Log.hpp"
#include "core/Progress.hpp"
#include "core/SoundEngine.hpp"
#include "core/StubLevel.hpp"
#include "render/GpuResources.hpp"

#include <GLFW/glfw3.h>

#include <csignal>

namespace fennik::app {

namespace {

volatile std::sig_atomic_t closeRequested = 0;

extern "C" void onTerminationSignal(int)
{
    closeRequested = 1;
}

void logGlfwError(int code, const char* description)
{
    log::error("GLFW error ", code, ": ", description);
}

} // namespace

GameBase::GameBase(const std::string& title)
{
    log::info("Starting Fennik's Zavororor...");
    // Everything from the settings on is read from the data folder.
    if (const std::string missing = core::useProcessDataDirectory(); !missing.empty())
        throw StartupError(missing);
    // Ctrl+C or a kill end the game the way closing the window does, so the normal
    // shutdown runs; a request that arrives while the levels load ends the game at
    // its first frame.
    closeRequested = 0;
    previousInterruptHandler = std::signal(SIGINT, onTerminationSignal);
    previousTerminateHandler = std::signal(SIGTERM, onTerminationSignal);
    levelManager = &core::LevelManager::instance();
    settings = core::loadSettings(core::gameSettingsPath(), core::playerSettingsPath());

    glfwSetErrorCallback(logGlfwError);

    splashWindow = std::make_unique<Window>(*settings, 640, 350, title, 60, false, false, nullptr);
    if (!splashWindow->isUsable())
        throw StartupError("the splash window could not be created");
    glfwShowWindow(splashWindow->handle);
    splashWindow->drawSplash(core::dataPath("textures/splash.png"));
    // The splash window's context names the renderer before the main window is made
    // with the preset's multisampling.
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    core::settleGraphicsPreset(*settings, renderer ? renderer : "unknown");

    mainWindow = std::make_unique<Window>(*settings, static_cast<int>(settings->windowWidth),
                                          static_cast<int>(settings->windowHeight), title, settings->refreshRate,
                                          settings->fullscreen, true, splashWindow->handle);
    if (!mainWindow->isUsable())
        throw StartupError("the main window could not be created");
    glfwHideWindow(mainWindow->handle);
    // The hidden main window holds this picture until its first frame is drawn.
    mainWindow->drawSplash(core::dataPath("textures/background.png"));
    // What every level draws with belongs to the main window's context.
    render::gpu();

    glfwSetWindowUserPointer(mainWindow->handle, this);
    levelManager->setContext(mainWindow->handle, settings.get());
    levelManager->settingsChanged = [this] { applySettings(); };
    levelManager->deck.folder = core::replaysFolder();
    levelManager->progress.load(core::progressPath());

    stubLevel = std::make_shared<core::StubLevel>("StubLevel");
    levelManager->addLevel(stubLevel);

    registerInputCallbacks(mainWindow->handle);
}

GameBase::~GameBase()
{
    std::signal(SIGINT, previousInterruptHandler);
    std::signal(SIGTERM, previousTerminateHandler);
    // Levels hold OpenGL objects: they go while the windows' contexts still exist.
    levelManager->shutdownLevels();
    stubLevel.reset();
    if (mainWindow || splashWindow) {
        releaseWindows();
        glfwTerminate();
    }
}

void GameBase::releaseWindows()
{
    if (mainWindow && mainWindow->handle) {
        glfwMakeContextCurrent(mainWindow->handle);
        render::releaseGpu();
    }
    frameworkShutdown();
    levelManager->setContext(nullptr, nullptr);
    levelManager->settingsChanged = nullptr;
    splashWindow.reset();
    mainWindow.reset();
}

void GameBase::addLevel(std::shared_ptr<core::Level> level)
{
    levelManager->addLevel(std::move(level));
    if (loadingSteps > 0 && splashWindow) {
        ++loadedSteps;
        splashWindow->drawLoadingProgress(static_cast<float>(loadedSteps) / static_cast<float>(loadingSteps));
    }
}

void GameBase::setLoadingSteps(int steps)
{
    loadingSteps = steps;
    loadedSteps = 0;
    if (splashWindow)
        splashWindow->drawLoadingProgress(0.0f);
}

void GameBase::requestClose()
{
    closeRequested = 1;
}

void GameBase::run()
{
    if (running)
        return;
    start();
    while (mainWindow && !glfwWindowShouldClose(mainWindow->handle))
        runFrame();
    finish();
}

void GameBase::start()
{
    log::info("Initializing game...");
    glfwShowWindow(splashWindow->handle);

    init();

    // The splash window goes with its context: its framebuffers, and the picture its
    // own framebuffer object still holds, would otherwise stay for the whole game.
    splashWindow.reset();
    glfwMakeContextCurrent(mainWindow->handle);
    Window::setVsync(settings->vsync);
    applyVolumes();
    mainWindow->releaseSplash();
    glfwShowWindow(mainWindow->handle);
    running = true;
    ticker.start(core::input().time());
}

void GameBase::finish()
{
    levelManager->deck.closeRun(levelManager->getActiveLevel().get());
    levelManager->shutdownLevels();
    shutdown();
    releaseWindows();
    glfwTerminate();
    running = false;
    log::info("Closing game...");
}

void GameBase::runFrame()
{
    glfwPollEvents();
    pollGamepad();
    if (closeRequested)
        glfwSetWindowShouldClose(mainWindow->handle, 1);

    const int ticks = ticker.advance(core::input().time());

    if (!levelManager->getActiveLevel()) {
        log::warn("No active level!");
    } else {
        runTicks(ticks * levelManager->deck.speed());
        if (auto level = levelManager->getActiveLevel())
            level->render(static_cast<float>(ticker.alpha()));
    }
    followMusic();
    // The GUI has seen this frame's clicks while drawing.
    core::clearLatchedMouseButtons();
    glfwSwapBuffers(mainWindow->handle);
    limiter.wait(settings->maxFps);
}

void GameBase::runTicks(int ticks)
{
    // Each call goes to whichever level is active at that moment: a switch inside
    // update makes this frame's render draw the new level.
    for (int tick = 0; tick < ticks; ++tick) {
        if (auto level = levelManager->getActiveLevel())
            levelManager->deck.beginTick(*level, mainWindow->handle, settings->keys);
        if (auto level = levelManager->getActiveLevel())
            level->processInput();
        if (auto level = levelManager->getActiveLevel())
            level->update();
        // This tick has seen the taps since the last one.
        core::clearLatchedKeys();
    }
}

void GameBase::applyVolumes()
{
    auto& sound = core::SoundEngine::instance();
    sound.setVolume(settings->volume);
    sound.setMusicVolume(settings->musicVolume);
    sound.setEffectsVolume(settings->effectsVolume);
}

void GameBase::followMusic()
{
    // Whatever makes a level active (a switch, the demo, a replay) brings its piece.
    auto& sound = core::SoundEngine::instance();
    const auto level = levelManager->getActiveLevel();
    sound.playMusic(level ? core::SoundEngine::musicFor(level->name) : std::string());
    const bool paused = level && level->isPaused();
    sound.duckMusic(paused);
    // Focus loss pauses the level, and the music waits with it; a replay plays on.
    sound.holdMusic(paused && !levelManager->deck.playing() &&
                    glfwGetWindowAttrib(mainWindow->handle, GLFW_FOCUSED) == GLFW_FALSE);
}

void GameBase::pollGamepad()
{
    const core::GamepadState pad = core::input().gamepad();
    if (pad.connected != lastPad.connected)
        log::info(pad.connected ? "A gamepad is connected: it walks, jumps, interacts and pauses too"
                                : "The gamepad is gone");
    for (std::size_t button = 0; button < pad.buttons.size(); ++button) {
        if (pad.buttons[button] == lastPad.buttons[button])
            continue;
        if (levelManager->deck.playing()) {
            if (pad.buttons[button])
                levelManager->deck.onClickOrButton();
            continue;
        }
        if (auto level = levelManager->getActiveLevel())
            level->onGamepadButton(static_cast<int>(button), pad.buttons[button] ? GLFW_PRESS : GLFW_RELEASE);
    }
    lastPad = pad;
}

void GameBase::applySettings()
{
    if (mainWindow && settings->fullscreen != mainWindow->isFullscreen()) {
        mainWindow->toggleFullscreen();
        settings->fullscreen = mainWindow->isFullscreen();
    }
    Window::setVsync(settings->vsync);
    applyVolumes();
    // Made while the overlay draws into the window: put the window back for it.
    render::gpu().configure(settings->graphics);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // The field of view reaches the projection through the resize path.
    if (auto level = levelManager->getActiveLevel())
        level->onResize(static_cast<int>(settings->windowWidth), static_cast<int>(settings->windowHeight));
    core::saveSettings(*settings, core::playerSettingsPath());
}

void GameBase::toggleFullscreen()
{
    if (!mainWindow)
        return;
    mainWindow->toggleFullscreen();
    settings->fullscreen = mainWindow->isFullscreen();
    // The key is a choice like the options page's, so the next start keeps it.
    core::saveSettings(*settings, core::playerSettingsPath());
}

} // namespace fennik::app
