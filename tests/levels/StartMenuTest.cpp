// The start menu: the ways it closes the game, its buttons' looks, the drifting camera
// and the figure that only stands there.

#include "LevelTestSupport.hpp"

#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "gui/GUIButton.hpp"
#include "gui/LevelsScreen.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ReplaysScreen.hpp"
#include "levels/StartMenu.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/GpuResources.hpp"
#include "support/GLPictures.hpp"
#include "support/TempDirectory.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace fennik::test {
namespace {

TEST(StartMenu, EscapeOrQuitGameCloseTheGameAndAButtonLightsUpUnderTheCursor)
{
    auto& harness = sharedGame();
    const ScratchProgress none; // a new player's menu
    auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
    GLFWwindow* window = core::LevelManager::instance().window;
    const float width = static_cast<float>(harness.game->settings->windowWidth);
    const float height = static_cast<float>(harness.game->settings->windowHeight);

    harness.tap(GLFW_KEY_W);
    EXPECT_FALSE(glfwWindowShouldClose(window)) << "other keys do nothing";
    harness.keyPress(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(glfwWindowShouldClose(window)) << "closed on the press already";
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    harness.keyRelease(GLFW_KEY_ESCAPE);
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    harness.clickAt(width * 0.5f, height * 0.5f - 250.0f);
    EXPECT_TRUE(glfwWindowShouldClose(window)) << "Quit Game";
    EXPECT_EQ(harness.activeName(), "StartMenu");
    glfwSetWindowShouldClose(window, GLFW_FALSE);

    // "Replays" under the cursor (the camera settled): the light amber image and a dark
    // caption; "Start Game", in the keys' focus, looks the same wherever the cursor is.
    simulate(harness, 40);
    harness.input.moveCursor(width * 0.5f, height - (height * 0.5f - 160.0f));
    drawFrame(harness, "leveltests_menu_hover");
    EXPECT_NEAR(menu.getReplaysButton().label.color.r, 0.19f, 1e-6f);
    EXPECT_NE(menu.getReplaysButton().texture, menu.getQuitButton().texture);
    EXPECT_FLOAT_EQ(menu.getQuitButton().label.color.r, 1.0f);
    harness.input.moveCursor(10.0, 10.0);
    drawFrame(harness, "start_menu");
    EXPECT_FLOAT_EQ(menu.getReplaysButton().label.color.r, 1.0f);
    EXPECT_EQ(menu.getReplaysButton().texture, menu.getQuitButton().texture);
    EXPECT_NE(menu.getStartButton().texture, menu.getQuitButton().texture) << "in focus";
}

// Every option changed with the keys alone, from the start menu; each change applied and
// saved at once, and read back as the player's file. Then the same screen from a level's
// pause menu, and back to where it was opened from.
TEST(StartMenu, TheOptionsScreenChangesAndSavesEveryChoiceWithTheKeysAlone)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    const core::GameSettings before = settings;
    const TempDirectory home("fennik_options");
    const char* outer = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = outer ? outer : "";
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    const ScratchProgress none;
    auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
    const auto key = [&](int code) { harness.keyPress(code); harness.keyRelease(code); };
    for (int code : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        key(code);
    ASSERT_TRUE(menu.getOptions().isOpen());
    drawFrame(harness, "options_screen");
    // The mouse: a right click on the volume takes a step down, a left click one up.
    const gui::GUIButton& volume = *menu.getOptions().buttons().front(); // where the frame above drew it
    const float volumeX = volume.position.x + volume.width * 0.5f, volumeY = volume.position.y + volume.height * 0.5f;
    harness.input.moveCursor(volumeX, float(settings.windowHeight) - volumeY);
    harness.input.pressButton(GLFW_MOUSE_BUTTON_RIGHT);
    harness.tick();
    harness.input.releaseButton(GLFW_MOUSE_BUTTON_RIGHT);
    EXPECT_FLOAT_EQ(settings.volume, 90.0f);
    harness.clickAt(volumeX, volumeY);
    EXPECT_FLOAT_EQ(settings.volume, 100.0f);

    // Volume, music and effects down a step, vsync off, the cap to 30, the view to 60 degrees, exposure up,
    // the drag inverted; full screen stays as it is (a test window should not grow).
    for (int code : {GLFW_KEY_DOWN, GLFW_KEY_LEFT, GLFW_KEY_DOWN, GLFW_KEY_LEFT, GLFW_KEY_DOWN, GLFW_KEY_RIGHT,
                     GLFW_KEY_LEFT, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN,
                     GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_RIGHT, GLFW_KEY_RIGHT, GLFW_KEY_RIGHT, GLFW_KEY_DOWN,
                     GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        key(code);
    EXPECT_FLOAT_EQ(settings.volume, 90.0f);
    EXPECT_FLOAT_EQ(settings.musicVolume, 70.0f);
    EXPECT_FLOAT_EQ(settings.effectsVolume, 90.0f) << "stops at 100, then a step down";
    EXPECT_FALSE(settings.vsync);
    EXPECT_EQ(settings.maxFps, 30);
    EXPECT_FLOAT_EQ(settings.fov, 60.0f);
    EXPECT_NEAR(settings.exposure, 1.1f, 1e-5f);
    EXPECT_TRUE(settings.invertDrag);

    // Jump: Enter, then J. Forward: Enter, then S, which back had: the two swap. Left:
    // Enter, then F1 (a debug key, refused) and Escape (cancels).
    using core::Action;
    // The UI scale a step up and the timer on the level's clock on the way.
    for (int code : {GLFW_KEY_DOWN, GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_DOWN,
                     GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        key(code);
    EXPECT_FLOAT_EQ(settings.uiScale, 110.0f);
    EXPECT_EQ(settings.timer, core::RunTimer::Level);
    ASSERT_EQ(menu.getOptions().listening(), Action::Jump);
    EXPECT_EQ(menu.getOptions().captions()[10], "Timer: Level");
    EXPECT_EQ(menu.getOptions().captions()[15], "Jump: press a key");
    key(GLFW_KEY_J);
    for (int code : {GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER, GLFW_KEY_S, GLFW_KEY_DOWN,
                     GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_F1, GLFW_KEY_ESCAPE})
        key(code);
    EXPECT_FALSE(menu.getOptions().listening());
    EXPECT_EQ(settings.keys[Action::Jump], GLFW_KEY_J);
    EXPECT_EQ(settings.keys[Action::Forward], GLFW_KEY_S);
    EXPECT_EQ(settings.keys[Action::Back], GLFW_KEY_W);
    EXPECT_EQ(settings.keys[Action::Left], GLFW_KEY_A);

    // Graphics, below the actions: High to Medium to Low, each applied at once; then the
    // render scale a step up, which makes the preset Custom and resizes the scene's
    // targets alone: the shadow map keeps its size, the overlay the window's.
    for (int code : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_LEFT})
        key(code);
    EXPECT_EQ(menu.getOptions().captions()[18], "Graphics: Medium");
    render::GpuResources& gpu = render::gpu();
    EXPECT_EQ(gpu.bloomTarget(1).width(), int(std::lround(settings.windowWidth * 0.85)) / 2) << "the glow at half size";
    // The sand the start menu stands on: the world's textures go to half size with low.
    const std::size_t textures = gpu.textureCount();
    const GLuint sand = gpu.materialTexture("../textures/sand.png", core::dataPath("models"));
    EXPECT_EQ(gpu.textureCount(), textures) << "the start menu's own sand";
    EXPECT_EQ(textureSize(sand)[0], 512);
    key(GLFW_KEY_LEFT);
    EXPECT_EQ(settings.graphics.preset, core::GraphicsPreset::Low);
    EXPECT_FLOAT_EQ(gpu.renderScale(), 0.65f);
    EXPECT_EQ(gpu.shadowMap().width(), 1024);
    EXPECT_EQ(textureSize(sand)[0], 256) << "decoded again into the same texture";
    const GLuint sceneColour = gpu.sceneTarget().texture();
    const glm::mat4 overlay = menu.getScene().screenProjection();
    key(GLFW_KEY_DOWN);
    key(GLFW_KEY_RIGHT);
    EXPECT_EQ(menu.getOptions().captions()[0], "Volume: 90 %");
    EXPECT_EQ(menu.getOptions().captions()[19], "Render scale: 70 %");
    EXPECT_EQ(settings.graphics.preset, core::GraphicsPreset::Custom);
    EXPECT_EQ(gpu.sceneTarget().width(), int(std::lround(settings.windowWidth * 0.7)));
    EXPECT_EQ(gpu.postTarget(0).height(), int(std::lround(settings.windowHeight * 0.7)));
    EXPECT_EQ(gpu.sceneTarget().texture(), sceneColour) << "resized in place";
    EXPECT_EQ(gpu.shadowMap().width(), 1024);
    EXPECT_EQ(menu.getScene().screenProjection(), overlay);
    drawFrame(harness, "options_graphics_custom");
    key(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(menu.getOptions().isOpen());
    EXPECT_FALSE(glfwWindowShouldClose(core::LevelManager::instance().window)) << "Escape left the options only";

    const auto saved = core::loadSettings(core::gameSettingsPath(), core::playerSettingsPath());
    EXPECT_FLOAT_EQ(saved->volume, 90.0f);
    EXPECT_FLOAT_EQ(saved->musicVolume, 70.0f);
    EXPECT_FLOAT_EQ(saved->effectsVolume, 90.0f);
    EXPECT_TRUE(!saved->vsync && saved->invertDrag);
    EXPECT_EQ(saved->maxFps, 30);
    EXPECT_FLOAT_EQ(saved->fov, 60.0f);
    EXPECT_FLOAT_EQ(saved->uiScale, 110.0f);
    EXPECT_EQ(saved->keys.keys, settings.keys.keys);
    EXPECT_EQ(saved->graphics.preset, core::GraphicsPreset::Custom);
    EXPECT_TRUE(saved->graphics.sameSwitches(settings.graphics));
    EXPECT_EQ(saved->timer, core::RunTimer::Level);

    // From a level: the pause menu's middle button, and Escape back to the pause menu.
    auto& level = startOn(harness, "TestLevel");
    key(GLFW_KEY_ESCAPE);
    harness.clickAt(float(settings.windowWidth) * 0.5f, float(settings.windowHeight) * 0.5f - 35.0f);
    drawFrame(harness, "options_from_pause");
    key(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(level.isPaused()) << "back on the pause menu";
    key(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(level.isPaused());
    EXPECT_FLOAT_EQ(level.getScene().camera->fov, 60.0f);

    if (previous.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    settings = before;
    render::gpu().configure(settings.graphics);
    harness.active().onResize(int(settings.windowWidth), int(settings.windowHeight));
}

// With progress saved the menu opens on "Continue", which starts a recorded run at the
// furthest level as its entry does; the levels page lists the times and plays a level
// it has reached (the pad here; the mouse in the hit-box test).
TEST(StartMenu, ContinueAndTheLevelsPageStartRunsWhereTheProgressAllows)
{
    auto& harness = sharedGame();
    auto& deck = core::LevelManager::instance().deck;
    const ScratchProgress progress("[best]\nTestLevel = 400\ntutoriallevel = 700\n[Progress]\nfurthest = LevelOne\n"
                                   "finished = false\n");
    harness.level<levels::PlayableLevel>("LevelOne").getScene().player->health = 20.0f;
    auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
    ASSERT_EQ(menu.buttons().size(), 6u);
    EXPECT_TRUE(menu.buttons().front() == &menu.getContinueButton() && menu.getContinueButton().focused);
    harness.tap(GLFW_KEY_ENTER);
    EXPECT_EQ(harness.activeName(), "LevelOne");
    EXPECT_TRUE(deck.recording());
    EXPECT_FLOAT_EQ(harness.level<levels::PlayableLevel>("LevelOne").getScene().player->health, 100.0f);
    simulate(harness, 10);
    harness.setLevel("StartMenu");
    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        harness.tap(key);
    ASSERT_TRUE(menu.getReplays().isOpen());
    EXPECT_EQ(menu.getReplays().captions().front().substr(12), "   0:00.33   Level 1   from Level 1");
    harness.tap(GLFW_KEY_ESCAPE);

    const auto pad = [&](std::initializer_list<int> buttons) {
        for (int button : buttons)
            harness.active().onGamepadButton(button, GLFW_PRESS), harness.active().onGamepadButton(button, GLFW_RELEASE);
    };
    pad({GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_BUTTON_A});
    ASSERT_TRUE(menu.getLevels().isOpen());
    EXPECT_EQ(menu.getLevels().captions(),
              (std::vector<std::string>{"Test area   0:13.33", "Tutorial   0:23.33", "Level 1   no time yet",
                                        "Level 2   not reached yet", "Boss room   not reached yet", "Back"}));
    pad({GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_BUTTON_A});
    EXPECT_TRUE(menu.getLevels().isOpen()) << "the boss room is not reached yet";
    pad({GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_BUTTON_A});
    EXPECT_EQ(harness.activeName(), "TutorialLevel");
    EXPECT_TRUE(deck.recording());
    harness.setLevel("StartMenu");
}

TEST(StartMenu, TheCameraDriftsAndFennikStandsStillWhateverIsHeld)
{
    auto& harness = sharedGame();
    auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
    const float yaw = menu.getScene().camera->yaw;
    const glm::vec3 standing = positionOf(*menu.getScene().player);
    harness.input.press(GLFW_KEY_W);
    harness.input.press(GLFW_KEY_SPACE);
    simulate(harness, 100);
    harness.input.releaseAll();
    EXPECT_NE(menu.getScene().camera->yaw, yaw);
    EXPECT_LT(glm::distance(positionOf(*menu.getScene().player), standing), 1e-3f) << "the menu reads no keys";
}

} // namespace
} // namespace fennik::test
