// The pause and the keys of a playable level: Escape and the debug and view keys act
// when released, the paused world stands still while the window goes on, the pause
// menu's buttons, and the free camera's mouse and scroll.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/GpuResources.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace fennik::test {
namespace {

// Where everything that moves stands: player, enemies, live particles, camera.
std::vector<glm::vec3> worldState(levels::PlayableLevel& level)
{
    auto& scene = level.getScene();
    std::vector<glm::vec3> state{positionOf(*scene.player), scene.camera->position};
    for (const auto& enemy : scene.enemies)
        state.push_back(positionOf(*enemy));
    for (const auto& particle : LevelProbe::particlesOf(level).particles())
        state.push_back(particle.position);
    return state;
}

TEST(Pause, EscapeReleasedStopsTheWorldButNotTheWindowAndTheMenuResumesOrLeaves)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, "LevelOne");
    auto& scene = level.getScene();
    // Twelve units in front of a beetle, walking: the beetle comes, dust rises.
    teleport(*scene.player, {10.0f, 1.915f, -8.0f});
    harness.input.press(GLFW_KEY_W);
    simulate(harness, 5);
    ASSERT_GT(liveParticles(level), 0);

    harness.keyPress(GLFW_KEY_ESCAPE);
    simulate(harness);
    EXPECT_FALSE(level.isPaused()) << "a press does nothing yet";
    harness.keyRelease(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(level.isPaused());

    // Paused, with W still held, a dying player and a second and a half gone by:
    // nothing in the world moves, nobody restarts.
    const auto frozen = worldState(level);
    scene.player->health = 0.0f;
    simulate(harness, 45);
    EXPECT_EQ(worldState(level), frozen) << "player, beetles, dust and camera stand still";
    EXPECT_EQ(harness.activeName(), "LevelOne");
    harness.input.release(GLFW_KEY_W);

    // The window goes on: the menu is drawn over the frozen world.
    harness.input.moveCursor(0.0, 0.0);
    drawFrame(harness, "pause_menu");

    // The buttons' looks are the GUI tests' concern; here, what the level does with a
    // click: beside them nothing, on "Resume Game" the next update goes on (and the death
    // rule restarts the level).
    const float width = static_cast<float>(harness.game->settings->windowWidth);
    const float height = static_cast<float>(harness.game->settings->windowHeight);
    harness.clickAt(width * 0.5f + 200.0f, height * 0.5f);
    simulate(harness);
    EXPECT_TRUE(level.isPaused());
    harness.clickAt(width * 0.5f, height * 0.5f + 105.0f);
    simulate(harness);
    EXPECT_FALSE(level.isPaused());
    EXPECT_FLOAT_EQ(scene.player->health, 100.0f) << "the death rule restarted the level";
    EXPECT_EQ(liveParticles(level), 0) << "the levels share one pool, emptied whenever one is entered";

    // "Main Menu": straight to the start menu; the level is unpaused when it comes back.
    harness.tap(GLFW_KEY_ESCAPE);
    harness.clickAt(width * 0.5f, height * 0.5f - 105.0f);
    EXPECT_EQ(harness.activeName(), "StartMenu");
    startOn(harness, "LevelOne");
    EXPECT_FALSE(level.isPaused());
}

// "Restart Level" starts the level again as its own restart does, and the level's
// timer with it; the timer stands while paused and keeps its width as its digits change.
TEST(Pause, RestartLevelStartsTheLevelAndItsTimerAgainAndTheTimerStandsWhilePaused)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    harness.setLevel("StartMenu");
    auto& level = startOn(harness, "TutorialLevel");
    auto& player = *level.getScene().player;
    EXPECT_EQ(level.timerText(), "") << "off unless the player asks";
    settings.timer = core::RunTimer::Level;
    simulate(harness, 44);
    EXPECT_EQ(level.timerText(), "0:01.50");
    teleport(player, {-4.0f, 1.915f, 10.0f});
    player.health = 40.0f;
    harness.tap(GLFW_KEY_ESCAPE);
    simulate(harness, 30);
    EXPECT_EQ(level.timerText(), "0:01.50") << "stopped while paused";
    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        harness.tap(key);
    simulate(harness);
    EXPECT_FALSE(level.isPaused());
    EXPECT_LT(glm::distance(positionOf(player), glm::vec3(-3.471045f, 1.915f, 34.187042f)), 1e-4f);
    EXPECT_FLOAT_EQ(player.health, 100.0f);
    EXPECT_EQ(level.timerText(), "0:00.00");
    settings.timer = core::RunTimer::Run;
    const std::uint32_t run = core::LevelManager::instance().progress.runTicks();
    EXPECT_TRUE(run >= 45u && run < 60u) << run << " ticks since the run began";
    EXPECT_EQ(level.timerText(), core::formatRunTime(run));

    // Drawn in the top right corner, right-aligned in cells of one width.
    const auto leftEdge = [&](const char* name) {
        settings.timer = core::RunTimer::Off;
        const Picture plain = drawFrame(harness, "timer_off");
        settings.timer = core::RunTimer::Level;
        return drawFrame(harness, name).changedBox(plain).left;
    };
    const int left = leftEdge("timer_zeros");
    EXPECT_GT(left, int(settings.windowWidth) * 3 / 4) << "in the corner";
    simulate(harness, 334);
    ASSERT_EQ(level.timerText(), "0:11.13");
    EXPECT_NEAR(leftEdge("timer_ones"), left, 1) << "as wide as 0:00.00";
    settings.timer = core::RunTimer::Off;
}

TEST(Pause, LosingTheFocusPausesALevelButNotTheMenuAndFullScreenComesBackToTheOldSize)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    const ScratchProgress none; // "Start Game" first
    startOn<core::Level>(harness, "StartMenu");
    harness.windowFocus(false);
    harness.clickAt(float(settings.windowWidth) * 0.5f, float(settings.windowHeight) * 0.5f - 30.0f);
    ASSERT_EQ(harness.activeName(), "TestLevel") << "the menu went on taking clicks";

    auto& level = startOn(harness, "TestLevel");
    harness.input.press(GLFW_KEY_W);
    harness.windowFocus(false);
    const auto frozen = worldState(level);
    harness.windowFocus(true);
    simulate(harness, 10);
    EXPECT_EQ(worldState(level), frozen) << "paused, and the player resumes, not the window";
    harness.tap(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(level.isPaused());
    harness.input.releaseAll();

    // Alt+Enter: borderless over the whole virtual screen; F11: back to the window as it was.
    const auto size = std::pair{settings.windowWidth, settings.windowHeight};
    const GLFWvidmode* screen = glfwGetVideoMode(glfwGetPrimaryMonitor());
    auto& camera = *level.getScene().camera;
    for (const auto& [key, mods, expected] : {std::tuple{GLFW_KEY_ENTER, GLFW_MOD_ALT, std::pair(unsigned(screen->width),
                                                                                                 unsigned(screen->height))},
                                              std::tuple{GLFW_KEY_F11, 0, size}}) {
        harness.windowKey(key, GLFW_PRESS, mods);
        for (int attempt = 0; attempt < 300 && settings.windowWidth != expected.first; ++attempt)
            glfwWaitEventsTimeout(0.01);
        EXPECT_EQ(std::pair(settings.windowWidth, settings.windowHeight), expected);
        EXPECT_EQ(settings.fullscreen, key == GLFW_KEY_ENTER);
        simulate(harness);
        EXPECT_FLOAT_EQ(camera.aspect, float(expected.first) / float(expected.second)) << "the level follows";
    }
}

struct KeyCase {
    int key;
    std::function<float(levels::PlayableLevel&)> read;
    float afterOne; // after one release
    float afterTwo; // after a second release
};

TEST(Keys, DebugAndViewKeysActOnReleaseOnlyAndReachTheScene)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, "TestLevel");
    auto& scene = level.getScene();
    const float focus = scene.camera->focalRange;
    const KeyCase cases[] = {
        {GLFW_KEY_F1, [](auto& l) { return static_cast<float>(LevelProbe::shadingModeOf(l)); }, 0.0f, 1.0f},
        {GLFW_KEY_F2, [](auto& l) { return static_cast<float>(LevelProbe::cullsFaces(l)); }, 0.0f, 1.0f},
        {GLFW_KEY_F3, [](auto& l) { return static_cast<float>(LevelProbe::showsNormals(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_F4, [](auto& l) { return static_cast<float>(LevelProbe::drawsDebugLines(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_F5, [](auto& l) { return static_cast<float>(LevelProbe::showsDepthMap(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_F7, [](auto& l) { return static_cast<float>(LevelProbe::showsTimings(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_3, [](auto& l) { return l.getScene().camera->focalRange; }, focus + 50.0f, focus + 100.0f},
        {GLFW_KEY_4, [](auto& l) { return l.getScene().camera->focalRange; }, focus + 50.0f, focus},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.key);
        const float before = c.read(level);
        harness.keyPress(c.key);
        level.onKey(c.key, 0, GLFW_REPEAT, 0);
        simulate(harness);
        EXPECT_EQ(c.read(level), before) << "pressed and held, nothing yet";
        harness.keyRelease(c.key);
        EXPECT_EQ(c.read(level), c.afterOne);
        harness.tap(c.key);
        EXPECT_EQ(c.read(level), c.afterTwo);
    }

    // Every view on at once reaches the scene with the next frame.
    for (int key : {GLFW_KEY_F1, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5})
        harness.tap(key);
    drawFrame(harness, "leveltests_debug_views");
    EXPECT_TRUE(scene.showDepthMap && scene.drawNormal && scene.debugDraw && scene.sceneShader == scene.normalShader);
    for (int key : {GLFW_KEY_F1, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5})
        harness.tap(key);

    // F7 lists the preset, the render scale, the GPU time of every pass the frame ran, then the frame's total, in the
    // top-right corner; the times come back a few frames later.
    const auto corner = [](const Picture& picture) {
        std::vector<std::uint8_t> pixels;
        for (int y = picture.height - 200; y < picture.height; ++y)
            for (int x = picture.width - 240; x < picture.width; ++x)
                pixels.push_back(picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4]);
        return pixels;
    };
    harness.tick(4);
    const auto plain = corner(grab("leveltests_no_timings"));
    harness.tap(GLFW_KEY_F7);
    harness.tick(4);
    const std::vector<std::string> lines = scene.timingLines();
    std::vector<std::string> listed;
    for (const std::string& line : lines)
        listed.push_back(line.substr(0, line.find("  ")));
    // What the timings were taken with comes first.
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 2),
              (std::vector<std::string>{"preset  high", "render scale  1.00"}));
    std::vector<std::string> ran{"preset", "render scale"};
    for (const render::Pass& pass : LevelProbe::frameOf(level).passes())
        if (!pass.runsWhen || pass.runsWhen())
            ran.push_back(pass.name);
    ran.push_back("frame");
    EXPECT_EQ(listed, ran);
    EXPECT_NE(corner(grab("leveltests_pass_timings")), plain) << "the list is drawn";

    // Each preset runs its own passes, and F7 names the preset and what ran.
    auto& graphics = harness.game->settings->graphics;
    const std::vector<std::string> scene3D{"shadow map", "lit scene", "landing marker", "particles", "sky box"};
    const std::vector<std::string> overlay{"health bars", "2D overlay", "frame"};
    using core::GraphicsPreset;
    for (const auto& [preset, post, scale] :
         {std::tuple{GraphicsPreset::Low, std::vector<std::string>{"tone mapping", "scale up"}, "0.65"},
          std::tuple{GraphicsPreset::Medium, std::vector<std::string>{"bloom blur", "bloom combine", "scale up"}, "0.85"},
          std::tuple{GraphicsPreset::High, std::vector<std::string>{"bloom blur", "bloom combine", "depth of field"},
                     "1.00"}}) {
        core::applyPreset(graphics, preset);
        render::gpu().configure(graphics);
        harness.tick(4);
        std::vector<std::string> expected{"preset  " + core::presetName(preset), std::string("render scale  ") + scale};
        for (const auto* part : {&scene3D, &post, &overlay})
            expected.insert(expected.end(), part->begin(), part->end());
        std::vector<std::string> shown = scene.timingLines();
        for (std::size_t line = 2; line < shown.size(); ++line)
            shown[line] = shown[line].substr(0, shown[line].find("  "));
        EXPECT_EQ(shown, expected);
    }
    harness.tap(GLFW_KEY_F7);
}

TEST(Keys, TheFreeCameraAloneTakesTheMouseAndTheWheelAndF6OffRestoresTheView)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, "TestLevel");
    auto& camera = *level.getScene().camera;
    const float yaw = camera.yaw;
    const float pitch = camera.pitch;
    const auto drag = [&](double dx, double dy) {
        harness.input.moveCursor(400.0, 400.0);
        level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        harness.input.moveCursor(400.0 + dx, 400.0 + dy);
        simulate(harness);
        level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    };

    // Without the free camera, the wheel changes nothing.
    level.onScroll(0.0, 3.0);
    EXPECT_FLOAT_EQ(camera.distance, 50.0f);

    // F6 on the release. The wheel zooms from 50, the drag turns the view.
    harness.keyPress(GLFW_KEY_F6);
    EXPECT_FALSE(LevelProbe::hasFreeCamera(level));
    harness.keyRelease(GLFW_KEY_F6);
    ASSERT_TRUE(LevelProbe::hasFreeCamera(level));
    level.onScroll(0.0, 5.0);
    level.onScroll(0.0, -2.0);
    EXPECT_FLOAT_EQ(camera.distance, 47.0f);
    drag(-100.0, -20.0);
    EXPECT_FALSE(camera.mouseControl);
    EXPECT_NEAR(camera.yaw, yaw + 30.0f, 1e-3f) << "100 pixels to the left";
    EXPECT_NEAR(camera.pitch, pitch - 6.0f, 1e-3f) << "20 pixels up";
    drag(0.0, 500.0);
    EXPECT_FLOAT_EQ(camera.pitch, 90.0f) << "never over the top";

    // F6 off: the default view is back at once, with nothing to blend from, but the
    // zoom is remembered for the next time.
    harness.tap(GLFW_KEY_F6);
    EXPECT_FLOAT_EQ(camera.distance, 50.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 270.0f);
    EXPECT_FLOAT_EQ(camera.pitch, 35.0f);
    camera.prepareDraw(0.5f);
    EXPECT_NEAR(glm::distance(camera.eye, positionOf(*level.getScene().player)), 50.0f, 1e-3f);
    harness.tap(GLFW_KEY_F6);
    level.onScroll(0.0, 1.0);
    EXPECT_FLOAT_EQ(camera.distance, 46.0f);
    harness.tap(GLFW_KEY_F6);
}

} // namespace
} // namespace fennik::test
