// The pause and the keys of a playable level: Escape and the debug and view keys act
// when released, the paused world stands still while the window goes on, the pause
// menu's buttons, and the free camera's mouse and scroll.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "levels/PlayableLevel.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/Shader.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>

namespace fennik::test {
namespace {

GLFWwindow* gameWindow()
{
    return core::LevelManager::instance().window;
}

struct WorldSnapshot {
    glm::vec3 player;
    std::vector<glm::vec3> enemies;
    std::vector<glm::vec3> particles;
    glm::vec3 camera;

    explicit WorldSnapshot(levels::PlayableLevel& level)
    {
        auto& scene = level.getScene();
        player = positionOf(*scene.player);
        for (const auto& enemy : scene.enemies)
            enemies.push_back(positionOf(*enemy));
        for (const auto& particle : LevelProbe::particlesOf(level).particles())
            if (particle.life > 0.0f)
                particles.push_back(particle.position);
        camera = scene.camera->position;
    }
    bool operator==(const WorldSnapshot&) const = default;
};

TEST(Pause, EscapeReleasedStopsTheWorldButNotTheWindowAndReleasedAgainGoesOn)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::PlayableLevel>(harness, "LevelOne");
    auto& scene = level.getScene();
    // Twelve units in front of a beetle, walking: the beetle comes, dust rises.
    place(*scene.player, {10.0f, 1.915f, -8.0f});
    harness.input.press(GLFW_KEY_W);
    simulate(harness, 5);
    ASSERT_GT(liveParticles(level), 0);

    harness.keyPress(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(level.isPaused()) << "a press does nothing yet";
    const WorldSnapshot pressed(level);
    simulate(harness);
    EXPECT_NE(WorldSnapshot(level).player, pressed.player) << "still running while Escape is held";
    harness.keyRelease(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(level.isPaused());

    // Paused, with W still held, a dying player and a second and a half gone by:
    // nothing in the world moves, nobody restarts.
    const WorldSnapshot frozen(level);
    scene.player->health = 0.0f;
    simulate(harness, 45);
    EXPECT_TRUE(WorldSnapshot(level) == frozen) << "player, beetles, dust and camera stand still";
    EXPECT_EQ(harness.activeName(), "LevelOne");
    EXPECT_FLOAT_EQ(scene.player->health, 0.0f);

    // The window goes on: the pause menu is drawn and the title refreshed with the
    // frozen particle count.
    glfwSetWindowTitle(gameWindow(), "paused");
    drawFrame(harness, "leveltests_paused_level_one");
    const std::string title = windowTitle();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(title, parts, std::regex(R"(Fennik's Zavororor \| FPS: (\d+) \| Particles: (\d+))")))
        << title;
    EXPECT_EQ(std::stoul(parts[2]), LevelProbe::particlesOf(level).liveCount);
    EXPECT_EQ(std::stoul(parts[2]), frozen.particles.size());
    // Within the same second the title stays; a second later it is written again.
    glfwSetWindowTitle(gameWindow(), "paused");
    level.render();
    EXPECT_EQ(windowTitle(), "paused");
    simulate(harness, 31);
    level.render();
    EXPECT_NE(windowTitle(), "paused");

    // Escape released again: the world goes on, and the empty gauge now counts.
    harness.tap(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(level.isPaused());
    simulate(harness);
    harness.input.release(GLFW_KEY_W);
    EXPECT_EQ(harness.activeName(), "LevelOne");
    EXPECT_FLOAT_EQ(scene.player->health, 100.0f) << "the death rule restarted the level";
}

TEST(Pause, ThePauseMenuResumesOrLeavesForTheMainMenu)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::PlayableLevel>(harness, "TestLevel");
    const float width = static_cast<float>(harness.game->settings->windowWidth);
    const float height = static_cast<float>(harness.game->settings->windowHeight);

    harness.tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(level.isPaused());
    harness.input.moveCursor(0.0, 0.0);
    const Picture menu = drawFrame(harness, "leveltests_pause_menu");
    // Two plum buttons in the middle of the window, 140 pixels apart: mostly dark
    // pixels where there is only light sand around them.
    const auto darkShare = [&](float centreY) {
        int dark = 0;
        int all = 0;
        for (int y = static_cast<int>(centreY) - 12; y < static_cast<int>(centreY) + 12; ++y)
            for (int x = static_cast<int>(width * 0.5f) - 70; x < static_cast<int>(width * 0.5f) + 70; ++x) {
                const auto pixel = menu.at(x, y);
                dark += pixel[0] < 120 && pixel[1] < 90 && pixel[2] < 130;
                ++all;
            }
        return static_cast<double>(dark) / all;
    };
    EXPECT_GT(darkShare(height * 0.5f + 70.0f), 0.5) << "Resume Game";
    EXPECT_GT(darkShare(height * 0.5f - 70.0f), 0.5) << "Main Menu";
    EXPECT_LT(darkShare(height * 0.5f), 0.05) << "nothing between them";

    // A click beside the buttons does nothing.
    harness.clickAt(width * 0.5f + 200.0f, height * 0.5f);
    simulate(harness);
    EXPECT_TRUE(level.isPaused());

    // "Resume Game": taken up by the next update.
    harness.clickAt(width * 0.5f, height * 0.5f + 70.0f);
    EXPECT_TRUE(level.isPaused());
    simulate(harness);
    EXPECT_FALSE(level.isPaused());

    // "Main Menu": straight to the start menu; the level is unpaused when it comes back.
    harness.tap(GLFW_KEY_ESCAPE);
    harness.clickAt(width * 0.5f, height * 0.5f - 70.0f);
    EXPECT_EQ(harness.activeName(), "StartMenu");
    startOn<levels::PlayableLevel>(harness, "TestLevel");
    EXPECT_FALSE(level.isPaused());
}

struct KeyCase {
    int key;
    const char* name;
    std::function<float(levels::PlayableLevel&)> read;
    float afterOne; // the value after one release, from the value at the start
    float afterTwo; // after a second release
};

TEST(Keys, DebugAndViewKeysActOnReleaseOnlyAndStayWithTheLevel)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::PlayableLevel>(harness, "TestLevel");
    auto& camera = *level.getScene().camera;
    const float focus = camera.focalRange;
    const KeyCase cases[] = {
        {GLFW_KEY_F1, "F1", [](auto& l) { return static_cast<float>(LevelProbe::shadingModeOf(l)); }, 0.0f, 1.0f},
        {GLFW_KEY_F2, "F2", [](auto& l) { return static_cast<float>(LevelProbe::cullsFaces(l)); }, 0.0f, 1.0f},
        {GLFW_KEY_F3, "F3", [](auto& l) { return static_cast<float>(LevelProbe::showsNormals(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_F4, "F4", [](auto& l) { return static_cast<float>(LevelProbe::drawsDebugLines(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_F5, "F5", [](auto& l) { return static_cast<float>(LevelProbe::showsDepthMap(l)); }, 1.0f, 0.0f},
        {GLFW_KEY_3, "3", [](auto& l) { return l.getScene().camera->focalRange; }, focus + 50.0f, focus + 100.0f},
        {GLFW_KEY_4, "4", [](auto& l) { return l.getScene().camera->focalRange; }, focus + 50.0f, focus},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
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
    EXPECT_FLOAT_EQ(camera.focalRange, focus);

    // Every view on at once reaches the scene with the next frame.
    for (int key : {GLFW_KEY_F1, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5})
        harness.tap(key);
    // Kept while the level is away.
    harness.setLevel("StartMenu");
    startOn<levels::PlayableLevel>(harness, "TestLevel");
    EXPECT_TRUE(LevelProbe::showsDepthMap(level));
    const Picture debugViews = drawFrame(harness, "leveltests_debug_views");
    auto& scene = level.getScene();
    EXPECT_TRUE(scene.showDepthMap);
    EXPECT_TRUE(scene.drawNormal);
    EXPECT_TRUE(scene.debugDraw);
    EXPECT_EQ(scene.sceneShader, scene.normalShader);

    for (int key : {GLFW_KEY_F1, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5})
        harness.tap(key);
    const Picture plain = drawFrame(harness, "leveltests_plain_view");
    EXPECT_FALSE(scene.showDepthMap);
    EXPECT_FALSE(scene.drawNormal);
    EXPECT_FALSE(scene.debugDraw);
    EXPECT_EQ(scene.sceneShader, scene.pbrShader);
    EXPECT_GT(plain.changedPixels(debugViews, 0, 0, plain.width, plain.height), plain.width * plain.height / 4)
        << "the debug views look nothing like the game";
}

TEST(Keys, TheFreeCameraAloneTakesTheMouseAndTheWheelAndF6OffRestoresTheView)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::PlayableLevel>(harness, "TestLevel");
    auto& camera = *level.getScene().camera;
    const float distance = camera.distance;
    const float yaw = camera.yaw;
    const float pitch = camera.pitch;

    // Without the free camera, wheel and drag change nothing.
    level.onScroll(0.0, 3.0);
    EXPECT_FLOAT_EQ(camera.distance, distance);
    EXPECT_FLOAT_EQ(LevelProbe::zoomOf(level), 50.0f);
    harness.input.moveCursor(400.0, 400.0);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    EXPECT_FALSE(camera.mouseControl);
    harness.input.moveCursor(300.0, 380.0);
    simulate(harness, 2);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    EXPECT_FLOAT_EQ(camera.yaw, yaw);
    EXPECT_FLOAT_EQ(camera.pitch, pitch);

    // F6 on the release; turning it on leaves the view where it is.
    harness.keyPress(GLFW_KEY_F6);
    EXPECT_FALSE(LevelProbe::hasFreeCamera(level));
    harness.keyRelease(GLFW_KEY_F6);
    ASSERT_TRUE(LevelProbe::hasFreeCamera(level));
    EXPECT_FLOAT_EQ(camera.distance, distance);
    EXPECT_FLOAT_EQ(camera.yaw, yaw);

    // The wheel zooms from 50, the drag turns the view.
    level.onScroll(0.0, 5.0);
    level.onScroll(0.0, -2.0);
    EXPECT_FLOAT_EQ(camera.distance, 47.0f);
    harness.input.moveCursor(400.0, 400.0);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    EXPECT_TRUE(camera.mouseControl);
    harness.input.moveCursor(300.0, 380.0);
    simulate(harness);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    EXPECT_FALSE(camera.mouseControl);
    EXPECT_NEAR(camera.yaw, yaw + 30.0f, 1e-3f) << "100 pixels to the left";
    EXPECT_NEAR(camera.pitch, pitch - 6.0f, 1e-3f) << "20 pixels up";

    // F6 off: the default view is back, but the zoom remembers, for the next time.
    harness.tap(GLFW_KEY_F6);
    EXPECT_FLOAT_EQ(camera.distance, 50.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 270.0f);
    EXPECT_FLOAT_EQ(camera.pitch, 35.0f);
    EXPECT_FLOAT_EQ(LevelProbe::zoomOf(level), 47.0f);
    level.onScroll(0.0, 1.0);
    EXPECT_FLOAT_EQ(camera.distance, 50.0f);
    harness.tap(GLFW_KEY_F6);
    level.onScroll(0.0, 1.0);
    EXPECT_FLOAT_EQ(camera.distance, 46.0f);

    // Turned off in the middle of a drag, the release goes unheard and the drag goes
    // on until the free camera is back for a press and a release.
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    harness.tap(GLFW_KEY_F6);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    EXPECT_TRUE(camera.mouseControl);
    harness.tap(GLFW_KEY_F6);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    level.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    EXPECT_FALSE(camera.mouseControl);
    harness.tap(GLFW_KEY_F6);
    EXPECT_FALSE(LevelProbe::hasFreeCamera(level));
}

} // namespace
} // namespace fennik::test
