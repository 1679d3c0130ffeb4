// The start menu: the ways it closes the game, its buttons' looks, the drifting
// camera and the figure that only stands there.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "gui/GUIButton.hpp"
#include "levels/StartMenu.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace fennik::test {
namespace {

GLFWwindow* gameWindow()
{
    return core::LevelManager::instance().window;
}

levels::StartMenu& startOnMenu(GameHarness& harness)
{
    harness.input.releaseAll();
    harness.setLevel("StartMenu");
    simulate(harness);
    return harness.level<levels::StartMenu>("StartMenu");
}

TEST(StartMenu, EscapeClosesTheGameAtOnceAndSoDoesQuitGame)
{
    auto& harness = sharedGame();
    startOnMenu(harness);
    ASSERT_FALSE(glfwWindowShouldClose(gameWindow()));

    harness.keyPress(GLFW_KEY_W);
    harness.keyRelease(GLFW_KEY_W);
    EXPECT_FALSE(glfwWindowShouldClose(gameWindow())) << "other keys do nothing";

    harness.keyPress(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(glfwWindowShouldClose(gameWindow())) << "closed on the press already";
    glfwSetWindowShouldClose(gameWindow(), GLFW_FALSE);
    harness.keyRelease(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(glfwWindowShouldClose(gameWindow())) << "and on the release";
    glfwSetWindowShouldClose(gameWindow(), GLFW_FALSE);

    const float width = static_cast<float>(harness.game->settings->windowWidth);
    const float height = static_cast<float>(harness.game->settings->windowHeight);
    harness.clickAt(width * 0.5f, height * 0.5f - 115.0f);
    EXPECT_TRUE(glfwWindowShouldClose(gameWindow())) << "Quit Game";
    EXPECT_EQ(harness.activeName(), "StartMenu");
    glfwSetWindowShouldClose(gameWindow(), GLFW_FALSE);
}

TEST(StartMenu, AButtonLightsUpUnderTheCursorAndGoesBackWhenItLeaves)
{
    auto& harness = sharedGame();
    auto& menu = startOnMenu(harness);
    const float width = static_cast<float>(harness.game->settings->windowWidth);
    const float height = static_cast<float>(harness.game->settings->windowHeight);
    const int x = static_cast<int>(width * 0.5f) - 62;
    const int y = static_cast<int>(height * 0.5f - 30.0f);
    const auto brightness = [&](const Picture& picture) {
        const auto pixel = picture.at(x, y);
        return pixel[0] + pixel[1] + pixel[2];
    };

    harness.input.moveCursor(width * 0.5f, height - (height * 0.5f - 30.0f));
    const Picture hovered = drawFrame(harness, "leveltests_menu_hover");
    EXPECT_NEAR(menu.getStartButton().label.color.r, 0.19f, 1e-6f);
    EXPECT_FLOAT_EQ(menu.getQuitButton().label.color.r, 1.0f);

    harness.input.moveCursor(10.0, 10.0);
    const Picture idle = drawFrame(harness, "leveltests_menu_idle");
    EXPECT_FLOAT_EQ(menu.getStartButton().label.color.r, 1.0f);
    EXPECT_EQ(menu.getStartButton().texture, menu.getQuitButton().texture) << "both idle again";
    EXPECT_GT(brightness(hovered), brightness(idle) + 150) << "the light amber image under the cursor";
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
    std::map<int, std::vector<float>> steps;
    harness.input.press(GLFW_KEY_W);
    harness.input.press(GLFW_KEY_SPACE);
    for (int tick = 0; tick < 100; ++tick) {
        const float before = camera.yaw;
        simulate(harness);
        steps[static_cast<int>(harness.input.time())].push_back(camera.yaw - before);
    }
    harness.input.releaseAll();

    float drift = 0.0f;
    std::vector<float> perSecond;
    for (const auto& [second, yawSteps] : steps) {
        for (float step : yawSteps)
            EXPECT_NEAR(step, yawSteps.front(), 1e-4f) << "second " << second;
        perSecond.push_back(yawSteps.front());
        for (float step : yawSteps)
            drift += std::abs(step);
    }
    EXPECT_GT(drift, 0.0f) << "the camera turns";
    ASSERT_GE(perSecond.size(), 3u);
    EXPECT_TRUE(perSecond[0] != perSecond[1] || perSecond[1] != perSecond[2]) << "at changing speeds";

    EXPECT_LT(glm::distance(positionOf(figure), standing), 1e-3f) << "the menu reads no keys";
}

} // namespace
} // namespace fennik::test
