#include "app/GameBase.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"
#include "core/StubLevel.hpp"
#include "render/GL.hpp"

#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cmath>
#include <functional>
#include <vector>

using fennik::app::GameBase;
using fennik::core::GameSettings;
using fennik::core::Level;
using fennik::core::LevelManager;
using fennik::core::ScriptedInput;
using fennik::core::ScopedInputSource;
using fennik::test::LogCapture;

namespace {

struct Journal {
    std::vector<std::string> calls;
    int ticks = 0;
    int renders = 0;
};

// A level that records what the loop asks of it; its render moves the scripted
// clock on, standing in for the time a frame takes to draw.
class ScriptedLevel : public Level {
public:
    ScriptedLevel(std::string name, Journal& journal) : Level(std::move(name)), journal(journal) {}

    void init(GLFWwindow* window, GameSettings* gameSettings) override
    {
        this->window = window;
        settings = gameSettings;
        initialized = true;
    }
    void reset() override { journal.calls.push_back(name + ".reset"); }
    void processInput() override { journal.calls.push_back(name + ".processInput"); }
    void update() override
    {
        journal.calls.push_back(name + ".update");
        ++journal.ticks;
        if (onUpdate)
            onUpdate();
    }
    void render() override
    {
        journal.calls.push_back(name + ".render");
        ++journal.renders;
        if (onRender)
            onRender();
    }
    void cleanup() override { journal.calls.push_back(name + ".cleanup"); }
    void onMouseButton(int, int, int) override {}
    void onResize(int width, int height) override { resizes.push_back({width, height}); }
    void onScroll(double, double) override {}
    void onKey(int, int, int, int) override {}

    GLFWwindow* mainWindow() const { return window; }

    std::function<void()> onUpdate;
    std::function<void()> onRender;
    std::vector<std::pair<int, int>> resizes;

private:
    Journal& journal;
};

class ScriptedGame : public GameBase {
public:
    explicit ScriptedGame(std::function<void(ScriptedGame&)> initLevels)
        : GameBase("Fennik's Zavororor"), initLevels(std::move(initLevels))
    {
    }
    void init() override { initLevels(*this); }
    void setLoadingStepsForTest(int steps) { setLoadingSteps(steps); }
    void shutdown() override {}
    using GameBase::runFrame;

private:
    std::function<void(ScriptedGame&)> initLevels;
};

// Reads the colour at the centre of what the window's context last drew. The back
// buffer is read because a hidden window has no visible front buffer to read; Mesa
// keeps the swapped picture there.
std::array<unsigned char, 3> drawnCentre(GLFWwindow* window)
{
    glfwMakeContextCurrent(window);
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    std::array<unsigned char, 3> pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(width / 2, height / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

std::array<unsigned char, 3> imageCentre(const char* path)
{
    int width = 0, height = 0, channels = 0;
    stbi_set_flip_vertically_on_load(false);
    unsigned char* pixels = stbi_load(path, &width, &height, &channels, 3);
    if (!pixels)
        return {};
    const std::size_t at = (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
    std::array<unsigned char, 3> pixel{pixels[at], pixels[at + 1], pixels[at + 2]};
    stbi_image_free(pixels);
    return pixel;
}

void expectClose(std::array<unsigned char, 3> shown, std::array<unsigned char, 3> expected, const char* what)
{
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(shown[c], expected[c], 12) << what << " channel " << c;
}

} // namespace

TEST(GameBase, StartUpLogsInOrderShowsTheSplashAndPreparesTheHiddenMainWindow)
{
    LogCapture log;
    ScriptedGame game([](ScriptedGame&) {});

    EXPECT_EQ(log.lines().front(), "[INFO]: Starting Fennik's Zavororor...");
    EXPECT_EQ(log.lines()[1], "[INFO]: Reading settings.ini...");
    EXPECT_EQ(log.lines().back(), "[INFO]: Default 'stub' level initialized!");
    EXPECT_EQ(LevelManager::instance().getActiveLevel(), game.stubLevel);
    EXPECT_EQ(LevelManager::instance().window, game.mainWindow->handle);

    int width = 0, height = 0;
    glfwGetWindowSize(game.splashWindow->handle, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 350);
    EXPECT_TRUE(glfwGetWindowAttrib(game.splashWindow->handle, GLFW_VISIBLE));
    EXPECT_FALSE(glfwGetWindowAttrib(game.splashWindow->handle, GLFW_DECORATED));
    EXPECT_FALSE(glfwGetWindowAttrib(game.mainWindow->handle, GLFW_VISIBLE));
    EXPECT_TRUE(glfwGetWindowAttrib(game.mainWindow->handle, GLFW_DECORATED));

    expectClose(drawnCentre(game.splashWindow->handle), imageCentre("assets/textures/splash.png"), "splash");
    expectClose(drawnCentre(game.mainWindow->handle), imageCentre("assets/textures/background.png"), "background");
}

TEST(GameBase, LoopRunsThirtyTicksPerClockSecondWhateverTheRenderRate)
{
    for (double framesPerSecond : {12.0, 30.0, 75.0, 240.0}) {
        ScriptedInput input;
        ScopedInputSource scripted(input);
        Journal journal;
        LogCapture log;
        ScriptedGame game([&](ScriptedGame& self) {
            auto level = std::make_shared<ScriptedLevel>("Scripted", journal);
            level->onRender = [&, level] {
                input.advance(1.0 / framesPerSecond);
                if (input.time() >= 2.0)
                    glfwSetWindowShouldClose(level->mainWindow(), 1);
            };
            self.addLevel(level);
        });
        game.run();
        // The first frame runs one tick at once; then 30 per second of clock time
        // up to the moment the last frame began.
        const double lastFrameTime = (journal.renders - 1) / framesPerSecond;
        EXPECT_NEAR(journal.ticks, std::floor(lastFrameTime * 30.0 + 1e-6) + 1.0, 1.0)
            << framesPerSecond << " frames per second";
        EXPECT_NEAR(journal.renders, 2.0 * framesPerSecond, 1.0);
        EXPECT_EQ(log.lines().back(), "[INFO]: Closing game...");
    }
}

TEST(GameBase, SlowFramesRunAtMostFourTicksEach)
{
    ScriptedInput input;
    ScopedInputSource scripted(input);
    Journal journal;
    std::vector<int> ticksPerFrame;
    int ticksBefore = 0;
    LogCapture log;
    ScriptedGame game([&](ScriptedGame& self) {
        auto level = std::make_shared<ScriptedLevel>("Slow", journal);
        level->onRender = [&, level] {
            ticksPerFrame.push_back(journal.ticks - ticksBefore);
            ticksBefore = journal.ticks;
            input.advance(1.0); // one frame a second
            if (ticksPerFrame.size() == 5)
                glfwSetWindowShouldClose(level->mainWindow(), 1);
        };
        self.addLevel(level);
    });
    game.run();
    EXPECT_EQ(ticksPerFrame, (std::vector<int>{1, 4, 4, 4, 4}));
}

TEST(GameBase, EachCallGoesToTheLevelActiveAtThatMomentAndShutdownCleansUpInOrder)
{
    ScriptedInput input;
    ScopedInputSource scripted(input);
    Journal journal;
    LogCapture log;
    ScriptedGame game([&](ScriptedGame& self) {
        auto target = std::make_shared<ScriptedLevel>("Target", journal);
        auto first = std::make_shared<ScriptedLevel>("First", journal);
        first->onUpdate = [] { LevelManager::instance().setLevel("Target"); };
        target->onRender = [target] { glfwSetWindowShouldClose(target->mainWindow(), 1); };
        self.addLevel(target);
        self.addLevel(first);
    });
    game.run();
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"First.processInput", "First.update", "Target.reset", "Target.render",
                                        "Target.cleanup", "First.cleanup"}));
    EXPECT_TRUE(log.contains("[INFO]: Set level: Target active!\n"));
    EXPECT_FALSE(game.running);
}

TEST(GameBase, ResizeStoresTheSizeAndReachesOnlyTheActiveLevelButZeroIsIgnored)
{
    Journal journal;
    std::shared_ptr<ScriptedLevel> inactive, active;
    LogCapture log;
    ScriptedGame game([&](ScriptedGame& self) {
        inactive = std::make_shared<ScriptedLevel>("Inactive", journal);
        active = std::make_shared<ScriptedLevel>("Active", journal);
        self.addLevel(inactive);
        self.addLevel(active);
    });
    game.init();
    GLFWwindow* window = game.mainWindow->handle;
    glfwShowWindow(window);

    glfwSetWindowSize(window, 640, 480);
    for (int wait = 0; wait < 50 && active->resizes.empty(); ++wait)
        glfwWaitEventsTimeout(0.05);
    ASSERT_FALSE(active->resizes.empty());
    EXPECT_EQ(active->resizes.back(), std::make_pair(640, 480));
    EXPECT_TRUE(inactive->resizes.empty());
    EXPECT_EQ(game.settings->windowWidth, 640u);
    EXPECT_EQ(game.settings->windowHeight, 480u);

    // A minimised window reports 0 x 0: the last real size stays.
    const auto resizesBefore = active->resizes.size();
    GLFWframebuffersizefun callback = glfwSetFramebufferSizeCallback(window, nullptr);
    glfwSetFramebufferSizeCallback(window, callback);
    callback(window, 0, 0);
    EXPECT_EQ(active->resizes.size(), resizesBefore);
    EXPECT_EQ(game.settings->windowWidth, 640u);
}

TEST(GameBase, LoadingProgressAdvancesOnTheSplashAndLeavesTheMainContextCurrent)
{
    Journal journal;
    LogCapture log;
    ScriptedGame game([&](ScriptedGame& self) {
        self.setLoadingStepsForTest(4);
        for (int i = 0; i < 2; ++i)
            self.addLevel(std::make_shared<ScriptedLevel>("Level" + std::to_string(i), journal));
    });
    game.init();
    // Levels build vertex arrays, which are not shared between contexts.
    EXPECT_EQ(glfwGetCurrentContext(), game.mainWindow->handle);

    // Two of four levels: the bar is filled up to the middle of its track.
    glfwMakeContextCurrent(game.splashWindow->handle);
    auto barPixel = [](float along) {
        const int margin = 640 / 16;
        const int x = margin + 2 + static_cast<int>(along * static_cast<float>(640 - 2 * margin - 4));
        std::array<unsigned char, 3> pixel{};
        glReadBuffer(GL_BACK);
        glReadPixels(x, 23, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel.data());
        return pixel;
    };
    const auto filled = barPixel(0.25f);
    const auto empty = barPixel(0.75f);
    EXPECT_GT(filled[0], 200);
    EXPECT_GT(filled[0], filled[2] + 100); // warm
    EXPECT_LT(empty[0], 60);               // the dark track
    glfwMakeContextCurrent(game.mainWindow->handle);
}

TEST(GameBase, AClickShorterThanAFrameIsSeenDownForThatFrameOnly)
{
    Journal journal;
    std::vector<bool> seenDown;
    std::shared_ptr<ScriptedLevel> level;
    LogCapture log;
    ScriptedGame game([&](ScriptedGame& self) {
        level = std::make_shared<ScriptedLevel>("Clicks", journal);
        level->onRender = [&] {
            seenDown.push_back(fennik::core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_LEFT));
        };
        self.addLevel(level);
    });
    game.start();
    GLFWwindow* window = game.mainWindow->handle;
    GLFWmousebuttonfun callback = glfwSetMouseButtonCallback(window, nullptr);
    glfwSetMouseButtonCallback(window, callback);

    game.runFrame();
    // Press and release both arrive before the next frame's render.
    callback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    callback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    game.runFrame();
    game.runFrame();
    game.finish();
    EXPECT_EQ(seenDown, (std::vector<bool>{false, true, false}));
}
