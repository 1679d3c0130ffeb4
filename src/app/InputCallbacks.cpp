#include "app/InputCallbacks.hpp"

#include "app/GameBase.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"

#include <GLFW/glfw3.h>

namespace fennik::app {

namespace {

std::shared_ptr<core::Level> activeLevelOf(GLFWwindow* window)
{
    auto* game = static_cast<GameBase*>(glfwGetWindowUserPointer(window));
    if (!game || !game->levelManager)
        return nullptr;
    return game->levelManager->getActiveLevel();
}

void onKey(GLFWwindow* window, int key, int scancode, int action, int mods)
{
    // Full screen is the window's business in every level; the level hears neither
    // the press nor the release.
    if (key == GLFW_KEY_F11 || (key == GLFW_KEY_ENTER && (mods & GLFW_MOD_ALT))) {
        auto* game = static_cast<GameBase*>(glfwGetWindowUserPointer(window));
        if (game && action == GLFW_PRESS)
            game->toggleFullscreen();
        return;
    }
    auto& deck = core::LevelManager::instance().deck;
    if (deck.playing()) {
        deck.onKey(key, action);
        return;
    }
    if (action == GLFW_PRESS)
        core::latchKeyPress(key);
    if (auto level = activeLevelOf(window))
        level->onKey(key, scancode, action, mods);
}

void onFocus(GLFWwindow* window, int focused)
{
    // A replay plays on without the focus; what it records already holds its pauses.
    if (core::LevelManager::instance().deck.playing())
        return;
    if (auto level = activeLevelOf(window))
        level->onFocus(focused == GLFW_TRUE);
}

void onMouseButton(GLFWwindow* window, int button, int action, int mods)
{
    auto& deck = core::LevelManager::instance().deck;
    if (deck.playing()) {
        if (action == GLFW_PRESS)
            deck.onClickOrButton();
        return;
    }
    if (action == GLFW_PRESS)
        core::latchMouseButtonPress(button);
    if (auto level = activeLevelOf(window))
        level->onMouseButton(button, action, mods);
}

void onScroll(GLFWwindow* window, double xOffset, double yOffset)
{
    if (core::LevelManager::instance().deck.playing())
        return;
    if (auto level = activeLevelOf(window))
        level->onScroll(xOffset, yOffset);
}

void onFramebufferSize(GLFWwindow* window, int width, int height)
{
    // A minimised window reports 0 x 0, which is not a size: the last real size
    // stays in use until the window comes back.
    if (width <= 0 || height <= 0)
        return;
    // The settings hold the new size even when no level is there to hear of it.
    auto* game = static_cast<GameBase*>(glfwGetWindowUserPointer(window));
    if (game && game->settings) {
        game->settings->windowWidth = static_cast<std::uint32_t>(width);
        game->settings->windowHeight = static_cast<std::uint32_t>(height);
    }
    if (auto level = activeLevelOf(window))
        level->onResize(width, height);
}

} // namespace

void registerInputCallbacks(GLFWwindow* window)
{
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetScrollCallback(window, onScroll);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetWindowFocusCallback(window, onFocus);
}

} // namespace fennik::app
