#include "app/Window.hpp"

#include "app/Framework.hpp"
#include "core/GameSettings.hpp"
#include "core/Log.hpp"
#include "render/DecodedImage.hpp"
#include "render/GL.hpp"
#include "render/Texture.hpp"

#include <GLFW/glfw3.h>

namespace fennik::app {

Window::Window(core::GameSettings& settings, int width, int height, std::string title, int refreshRate,
               bool fullscreen, bool decorated, GLFWwindow* share)
    : width(width), height(height), title(std::move(title)), fullscreen(fullscreen), windowedWidth(width),
      windowedHeight(height)
{
    if (!glfwInit()) {
        log::line("ERROR: glfwInit");
        return;
    }

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, 1);
    glfwWindowHint(GLFW_REFRESH_RATE, refreshRate);
    glfwWindowHint(GLFW_RESIZABLE, 1);
    glfwWindowHint(GLFW_DECORATED, decorated);
    // Every 3D pass draws into the game's own targets; the window only takes the
    // finished picture and the 2D overlay, which need neither depth nor stencil.
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);

    if (fullscreen) {
        glfwWindowHint(GLFW_DECORATED, 0);
        glfwWindowHint(GLFW_TRANSPARENT_FRAMEBUFFER, 0);
        glfwWindowHint(GLFW_SAMPLES, settings.graphics.samples);
        if (const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor())) {
            this->width = mode->width;
            this->height = mode->height;
            settings.windowWidth = static_cast<std::uint32_t>(mode->width);
            settings.windowHeight = static_cast<std::uint32_t>(mode->height);
        }
    } else {
        // The undecorated splash window gets a transparent framebuffer, the main window does
        // not. The splash window shows a picture copied in whole, which needs one sample
        // per pixel.
        glfwWindowHint(GLFW_TRANSPARENT_FRAMEBUFFER, !decorated);
        glfwWindowHint(GLFW_SAMPLES, decorated ? settings.graphics.samples : 0);
    }

    handle = glfwCreateWindow(this->width, this->height, this->title.c_str(), nullptr, share);
    if (!handle) {
        log::error("ERROR: glfwCreateWindow");
        return;
    }
    glfwMakeContextCurrent(handle);

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        log::error("ERROR: glewInit");
        return;
    }
    if (!frameworkInit()) {
        log::error("ERROR: frameworkInit");
        return;
    }

    // A window goes to the middle of the monitor; one that starts full screen comes
    // back to the asked-for size there.
    if (const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor())) {
        int monitorX = 0, monitorY = 0;
        glfwGetMonitorPos(glfwGetPrimaryMonitor(), &monitorX, &monitorY);
        if (!fullscreen)
            glfwGetWindowSize(handle, &windowedWidth, &windowedHeight);
        // Integer division truncates toward zero, also for a window larger than the monitor.
        windowedX = monitorX + (mode->width - windowedWidth) / 2;
        windowedY = monitorY + (mode->height - windowedHeight) / 2;
        if (!fullscreen)
            glfwSetWindowPos(handle, windowedX, windowedY);
    }

    glViewport(0, 0, this->width, this->height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

    quadRender = std::make_unique<render::QuadRender>();
    splashShader = std::make_unique<render::Shader>("quadRender.vert", "splashRender.frag");
    usable = true;
}

Window::~Window()
{
    if (!handle)
        return;
    // The GL objects go while this window's context is still there to take them.
    glfwMakeContextCurrent(handle);
    if (pictureFramebuffer) {
        glDeleteFramebuffers(1, &pictureFramebuffer);
        glDeleteFramebuffers(1, &scaledFramebuffer);
        glDeleteRenderbuffers(1, &scaledRenderbuffer);
    }
    releaseSplash();
    splashShader.reset();
    quadRender.reset();
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(handle);
}

void Window::toggleFullscreen()
{
    if (!handle)
        return;
    if (fullscreen) {
        glfwSetWindowAttrib(handle, GLFW_DECORATED, GLFW_TRUE);
        glfwSetWindowMonitor(handle, nullptr, windowedX, windowedY, windowedWidth, windowedHeight, GLFW_DONT_CARE);
        fullscreen = false;
        return;
    }
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!mode) {
        log::warn("No monitor mode to go full screen with; staying in the window");
        return;
    }
    glfwGetWindowPos(handle, &windowedX, &windowedY);
    glfwGetWindowSize(handle, &windowedWidth, &windowedHeight);
    int monitorX = 0, monitorY = 0;
    glfwGetMonitorPos(monitor, &monitorX, &monitorY);
    glfwSetWindowAttrib(handle, GLFW_DECORATED, GLFW_FALSE);
    glfwSetWindowMonitor(handle, nullptr, monitorX, monitorY, mode->width, mode->height, GLFW_DONT_CARE);
    fullscreen = true;
}

void Window::setVsync(bool on)
{
    glfwSwapInterval(on ? 1 : 0);
}

void Window::setIcon(const std::string& path)
{
    if (!handle)
        return;
    // The window system wants RGBA; asking for four channels also keeps a grey or
    // RGB file from being read past its end.
    const render::DecodedImage image = render::DecodedImage::read(render::portablePath(path), 4, false);
    if (!image) {
        log::warn("Could not decode window icon '", path, "'; keeping the default icon");
        return;
    }
    // GLFW copies the pixels before it returns.
    GLFWimage icon{image.width, image.height, const_cast<unsigned char*>(image.data())};
    glfwSetWindowIcon(handle, 1, &icon);
}

void Window::drawSplash(const std::string& path)
{
    if (!usable)
        return;
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    // Kept for the loading screen until `releaseSplash`.
    if (splashTexture)
        glDeleteTextures(1, &splashTexture);
    splashTexture = render::loadTexture(path, true);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, splashTexture);

    splashShader->use();
    quadRender->draw();
    glfwSwapBuffers(handle);
    render::Shader::unuse();
}

void Window::releaseSplash()
{
    if (!splashTexture)
        return;
    // Textures belong to every context of the share group; the main one is current.
    glDeleteTextures(1, &splashTexture);
    splashTexture = 0;
}

void Window::drawLoadingProgress(float fraction)
{
    if (!usable)
        return;
    fraction = fraction < 0.0f ? 0.0f : (fraction > 1.0f ? 1.0f : fraction);

    GLFWwindow* previous = glfwGetCurrentContext();
    glfwMakeContextCurrent(handle);

    // The picture is copied from its texture rather than drawn with a program:
    // Mesa's software rasteriser has crashed drawing in this context again once the
    // shared main context had been used. A copy into the window cannot scale, so the
    // picture is scaled into a plain target of the framebuffer's size first; a window
    // whose framebuffer takes no copies (several samples per pixel) shows the bar alone.
    int width = 0, height = 0;
    glfwGetFramebufferSize(handle, &width, &height);
    GLint pictureWidth = 0, pictureHeight = 0;
    glBindTexture(GL_TEXTURE_2D, splashTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &pictureWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &pictureHeight);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLint windowSamples = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &windowSamples);
    if (!pictureFramebuffer) {
        glGenFramebuffers(1, &pictureFramebuffer);
        glGenFramebuffers(1, &scaledFramebuffer);
        glGenRenderbuffers(1, &scaledRenderbuffer);
    }
    if (windowSamples == 0 && width > 0 && height > 0 && pictureWidth > 0 && pictureHeight > 0) {
        glBindRenderbuffer(GL_RENDERBUFFER, scaledRenderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, scaledFramebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, scaledRenderbuffer);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, pictureFramebuffer);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, splashTexture, 0);
        if (glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
            glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
            glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, scaledFramebuffer);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    // The bar is two scissored clears: a dark track and a warm fill along the bottom.
    const int margin = width / 16;
    const int barHeight = 10;
    const int barY = 18;
    const int trackWidth = width - 2 * margin;
    glEnable(GL_SCISSOR_TEST);
    glScissor(margin, barY, trackWidth, barHeight);
    glClearColor(0.08f, 0.06f, 0.10f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const int filled = static_cast<int>(static_cast<float>(trackWidth - 4) * fraction);
    if (filled > 0) {
        glScissor(margin + 2, barY + 2, filled, barHeight - 4);
        glClearColor(1.0f, 0.62f, 0.22f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glfwSwapBuffers(handle);

    // Levels create vertex arrays, which contexts do not share: give the loading
    // code its context back.
    glfwMakeContextCurrent(previous);
}

} // namespace fennik::app
