#pragma once

struct GLFWwindow;

namespace fennik::app {

// Forwards the main window's key, mouse-button, scroll and framebuffer-size events
// to the active level only. The game is found through the window's user pointer.
void registerInputCallbacks(GLFWwindow* window);

} // namespace fennik::app
