// The application frame's loop and window callbacks, on a real hidden window with a
// scripted clock.

#include "app/GameBase.hpp"
#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"

#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numeric>

using namespace fennik;

namespace {

// Counts ticks and sizes; its render runs what the test gives it, which moves the
// scripted clock on as the time a frame takes to draw.
class ScriptedLevel : public test::CountingLevel {
public:
    ScriptedLevel() : CountingLevel("Scripted") {}
    void update() override { ++ticks; }
    void render(float) override { onRender(); }
    void onResize(int width, int height) override { resizes.push_back({width, height}); }

    std::function<void()> onRender = [] {};
    std::vector<std::pair<int, int>> resizes;
    int ticks = 0;
};

class ScriptedGame : public app::GameBase {
public:
    explicit ScriptedGame(std::shared_ptr<ScriptedLevel> level)
        : GameBase("Fennik's Zavororor"), level(std::move(level))
    {
    }
    void init() override { addLevel(level); }
    void shutdown() override {}
    std::shared_ptr<ScriptedLevel> level;
};

} // namespace

TEST(GameBase, LoopRunsThirtyTicksPerClockSecondWhateverTheFrameRateAndAtMostFourPerFrame)
{
    // Frames per second; 1 is a frame far slower than the ticker can catch up with.
    for (double rate : {1.0, 12.0, 30.0, 75.0, 240.0}) {
        core::ScriptedInput input;
        core::ScopedInputSource scripted(input);
        test::LogCapture log;
        auto level = std::make_shared<ScriptedLevel>();
        ScriptedGame game(level);
        std::vector<int> ticksPerFrame;
        level->onRender = [&] {
            ticksPerFrame.push_back(level->ticks - std::accumulate(ticksPerFrame.begin(), ticksPerFrame.end(), 0));
            input.advance(1.0 / rate);
            if (input.time() >= std::max(2.0, 5.0 / rate))
                glfwSetWindowShouldClose(game.mainWindow->handle, 1);
        };
        game.run();
        // The first frame runs one tick at once; then 30 per second of clock time up to the
        // moment the last frame began, but never more than four in one frame.
        const double lastFrameTime = (ticksPerFrame.size() - 1) / rate;
        if (rate == 1.0)
            EXPECT_EQ(ticksPerFrame, (std::vector<int>{1, 4, 4, 4, 4}));
        else
            EXPECT_NEAR(level->ticks, std::floor(lastFrameTime * 30.0 + 1e-6) + 1.0, 1.0)
                << rate << " frames per second";
        EXPECT_EQ(log.lines().back(), "[INFO]: Closing game...");
    }
}

TEST(GameBase, ResizeReachesTheLevelAndTheSettingsButAMinimisedWindowsZeroIsIgnored)
{
    test::LogCapture log;
    auto level = std::make_shared<ScriptedLevel>();
    ScriptedGame game(level);
    game.init();
    GLFWwindow* window = game.mainWindow->handle;
    glfwShowWindow(window);
    glfwSetWindowSize(window, 640, 480);
    for (int wait = 0; wait < 50 && level->resizes.empty(); ++wait)
        glfwWaitEventsTimeout(0.05);
    ASSERT_FALSE(level->resizes.empty());
    EXPECT_EQ(level->resizes.back(), std::make_pair(640, 480));

    // A minimised window reports 0 x 0: the last real size stays.
    GLFWframebuffersizefun callback = glfwSetFramebufferSizeCallback(window, nullptr);
    glfwSetFramebufferSizeCallback(window, callback);
    callback(window, 0, 0);
    EXPECT_EQ(level->resizes.size(), 1u);
    EXPECT_EQ(game.settings->windowWidth, 640u);
    EXPECT_EQ(game.settings->windowHeight, 480u);
}

// A new game object starts with the choices the player saved (full screen included),
// and a change the options screen reports is put into effect and saved at once.
TEST(GameBase, StartsWithThePlayersSavedChoicesAndAppliesAndSavesAChangeAtOnce)
{
    const test::TempDirectory home("fennik_player");
    const char* outer = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = outer ? outer : "";
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    test::LogCapture log;
    {
        auto chosen = core::loadSettings(core::gameSettingsPath());
        chosen->fov = 70.0f;
        chosen->fullscreen = true;
        chosen->maxFps = 60;
        chosen->volume = 40.0f;
        chosen->keys.bind(core::Action::Jump, GLFW_KEY_J);
        ASSERT_TRUE(core::saveSettings(*chosen, core::playerSettingsPath()));
    }
    {
        ScriptedGame game(std::make_shared<ScriptedLevel>());
        EXPECT_FLOAT_EQ(game.settings->fov, 70.0f);
        EXPECT_EQ(game.settings->maxFps, 60);
        EXPECT_FLOAT_EQ(game.settings->volume, 40.0f);
        EXPECT_EQ(game.settings->keys[core::Action::Jump], GLFW_KEY_J);
        EXPECT_TRUE(game.mainWindow->isFullscreen());

        game.settings->fullscreen = false;
        core::LevelManager::instance().settingsChanged();
        EXPECT_FALSE(game.mainWindow->isFullscreen());
        EXPECT_FALSE(core::loadSettings(core::gameSettingsPath(), core::playerSettingsPath())->fullscreen);

        // F11 and Alt+Enter are the same choice, and saved the same way.
        GLFWwindow* window = game.mainWindow->handle;
        const GLFWkeyfun onKey = glfwSetKeyCallback(window, nullptr);
        glfwSetKeyCallback(window, onKey);
        onKey(window, GLFW_KEY_F11, 0, GLFW_PRESS, 0);
        EXPECT_TRUE(game.mainWindow->isFullscreen());
        EXPECT_TRUE(core::loadSettings(core::gameSettingsPath(), core::playerSettingsPath())->fullscreen);
        onKey(window, GLFW_KEY_ENTER, 0, GLFW_PRESS, GLFW_MOD_ALT);
        EXPECT_FALSE(core::loadSettings(core::gameSettingsPath(), core::playerSettingsPath())->fullscreen);
    }
    if (previous.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
}
