// The start menu: the ways it closes the game, its buttons' looks, the drifting camera
// and the figure that only stands there.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "gui/GUIButton.hpp"
#include "levels/StartMenu.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace fennik::test {
namespace {

levels::StartMenu& startOnMenu(GameHarness& harness)
{
    harness.input.releaseAll();
    harness.setLevel("StartMenu");
    simulate(harness);
    return harness.level<levels::StartMenu>("StartMenu");
}

TEST(StartMenu, EscapeOrQuitGameCloseTheGameAndAButtonLightsUpUnderTheCursor)
{
    auto& harness = sharedGame();
    auto& menu = startOnMenu(harness);
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
    harness.clickAt(width * 0.5f, height * 0.5f - 115.0f);
    EXPECT_TRUE(glfwWindowShouldClose(window)) << "Quit Game";
    EXPECT_EQ(harness.activeName(), "StartMenu");
    glfwSetWindowShouldClose(window, GLFW_FALSE);

    // "Start Game" under the cursor: the light amber image and a dark caption.
    const int x = static_cast<int>(width * 0.5f) - 62;
    const int y = static_cast<int>(height * 0.5f - 30.0f);
    harness.input.moveCursor(width * 0.5f, height - (height * 0.5f - 30.0f));
    const Picture hovered = drawFrame(harness, "leveltests_menu_hover");
    EXPECT_NEAR(menu.getStartButton().label.color.r, 0.19f, 1e-6f);
    EXPECT_FLOAT_EQ(menu.getQuitButton().label.color.r, 1.0f);
    harness.input.moveCursor(10.0, 10.0);
    const Picture idle = drawFrame(harness, "start_menu");
    EXPECT_FLOAT_EQ(menu.getStartButton().label.color.r, 1.0f);
    const auto brightness = [&](const Picture& picture) {
        const auto pixel = picture.at(x, y);
        return pixel[0] + pixel[1] + pixel[2];
    };
    EXPECT_GT(brightness(hovered), brightness(idle) + 150);
}

TEST(StartMenu, TheCameraDriftsAtASpeedThatChangesOnlyWithEachWholeSecondAndFennikStandsStill)
{
    auto& harness = sharedGame();
    auto& menu = startOnMenu(harness);
    auto& camera = *menu.getScene().camera;
    auto& figure = *menu.getScene().player;
    simulate(harness, 5);
    const glm::vec3 standing = positionOf(figure);

    // Yaw steps grouped by the whole second of the clock in which they were taken.
    std::map<int, std::set<float>> steps;
    harness.input.press(GLFW_KEY_W);
    harness.input.press(GLFW_KEY_SPACE);
    for (int tick = 0; tick < 100; ++tick) {
        const float before = camera.yaw;
        simulate(harness);
        steps[static_cast<int>(harness.input.time())].insert(camera.yaw - before);
    }
    harness.input.releaseAll();

    std::set<float> speeds;
    for (const auto& [second, yawSteps] : steps) {
        // Equal steps within a second, up to the rounding of a growing yaw.
        EXPECT_LT(*yawSteps.rbegin() - *yawSteps.begin(), 1e-4f) << "second " << second;
        speeds.insert(*yawSteps.begin());
    }
    EXPECT_GE(speeds.size(), 2u) << "the camera turns at changing speeds";
    EXPECT_LT(glm::distance(positionOf(figure), standing), 1e-3f) << "the menu reads no keys";
}

} // namespace
} // namespace fennik::test
