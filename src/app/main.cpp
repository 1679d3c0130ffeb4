#include "app/FenniksZavororor.hpp"
#include "core/DataDirectory.hpp"
#include "core/Log.hpp"

#include <GLFW/glfw3.h>

int main()
{
    try {
        fennik::app::FenniksZavororor game("Fennik's Zavororor");
        game.mainWindow->setIcon(fennik::core::dataPath("models/icon.png"));
        game.splashWindow->setIcon(fennik::core::dataPath("models/icon.png"));
        game.run();
    } catch (const fennik::app::StartupError& failure) {
        fennik::log::error("Start-up failed: ", failure.what(), ". Exiting.");
        glfwTerminate();
        return 1;
    }
    return 0;
}
