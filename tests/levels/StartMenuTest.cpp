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


namespace fennik::test {
namespace {

TEST(StartMenu, EscapeOrQuitGameCloseTheGameAndAButtonLightsUpUnderTheCursor)
{
    auto& harness = sharedGame();
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
    harness.clickAt(width * 0.5f, height * 0.5f - 115.0f);
    EXPECT_TRUE(glfwWindowShouldClose(window)) << "Quit Game";
    EXPECT_EQ(harness.activeName(), "StartMenu");
    glfwSetWindowShouldClose(window, GLFW_FALSE);

    // "Start Game" under the cursor (the camera settled): the light amber image and a dark caption.
    simulate(harness, 40);
    harness.input.moveCursor(width * 0.5f, height - (height * 0.5f - 30.0f));
    drawFrame(harness, "leveltests_menu_hover");
    EXPECT_NEAR(menu.getStartButton().label.color.r, 0.19f, 1e-6f);
    EXPECT_NE(menu.getStartButton().texture, menu.getQuitButton().texture);
    EXPECT_FLOAT_EQ(menu.getQuitButton().label.color.r, 1.0f);
    harness.input.moveCursor(10.0, 10.0);
    drawFrame(harness, "start_menu");
    EXPECT_FLOAT_EQ(menu.getStartButton().label.color.r, 1.0f);
    EXPECT_EQ(menu.getStartButton().texture, menu.getQuitButton().texture);
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
