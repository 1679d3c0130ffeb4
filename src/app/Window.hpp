#pragma once

#include "render/GLObject.hpp"
#include "render/QuadRender.hpp"
#include "render/Shader.hpp"

#include <memory>
#include <string>

struct GLFWwindow;

namespace fennik::core {
struct GameSettings;
}

namespace fennik::app {

// One GLFW window with its OpenGL 4.3 core context, and what it needs to show a
// single picture (the splash screen). A full-screen window is a borderless window
// at the monitor's current resolution, never an exclusive mode.
class Window {
public:
    Window(core::GameSettings& settings, int width, int height, std::string title, int refreshRate, bool fullscreen,
           bool decorated, GLFWwindow* share);
    ~Window();

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // True when every creation step succeeded; a window that failed logged why.
    bool isUsable() const { return usable; }

    // Sets the window icon from an 8-bit RGBA image; an undecodable file leaves it unchanged.
    void setIcon(const std::string& path);

    // Clears the window, draws the picture over the whole client area and swaps.
    void drawSplash(const std::string& path);

    // Draws the splash picture again with a progress bar along its bottom edge
    // (0 to 1) and swaps; used while the levels load.
    void drawLoadingProgress(float fraction);
    // Lets the picture go once it will not be drawn again.
    void releaseSplash();

    // Switches between the window and borderless full screen at the primary monitor's
    // resolution (the mode the `fullscreen` setting starts in), coming back to the
    // window's earlier size and place. Without a monitor mode it logs one warning and
    // stays as it is. The new size arrives through the framebuffer-size callback.
    void toggleFullscreen();
    bool isFullscreen() const { return fullscreen; }
    // Swap interval 1 (wait for the display's refresh) or 0; for the current context.
    static void setVsync(bool on);

    int width = 0;
    int height = 0;
    std::string title;
    GLFWwindow* handle = nullptr;

    std::unique_ptr<render::QuadRender> quadRender;
    std::unique_ptr<render::Shader> splashShader;

private:
    bool usable = false;
    bool fullscreen = false;
    // Where the window goes back to from full screen.
    int windowedX = 0;
    int windowedY = 0;
    int windowedWidth = 0;
    int windowedHeight = 0;
    render::GLTexture splashTexture{render::GLTexture::Empty{}};
    // The loading screen's copies of the picture, made on its first frame; framebuffers
    // belong to this window's context alone, so the destructor lets them go before the
    // context does.
    render::GLFramebuffer pictureFramebuffer{render::GLFramebuffer::Empty{}};
    render::GLFramebuffer scaledFramebuffer{render::GLFramebuffer::Empty{}};
    render::GLRenderbuffer scaledRenderbuffer{render::GLRenderbuffer::Empty{}};
};

} // namespace fennik::app
