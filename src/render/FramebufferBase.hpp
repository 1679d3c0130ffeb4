#pragma once

#include "render/GL.hpp"

namespace fennik::render {

// An off-screen render target. Built in two steps: construction only records the
// size, `create` makes the OpenGL objects (the owner calls it once, with a context
// current). `resize` reallocates storage in place and keeps every name, so owners
// may hold on to texture names across window resizes.
//
// Each framebuffer owns its OpenGL objects and releases them when destroyed; a
// `Scene` keeps its framebuffers for as long as it lives.
class FramebufferBase {
public:
    FramebufferBase(int width, int height) : width(width), height(height) {}
    virtual ~FramebufferBase();

    FramebufferBase(const FramebufferBase&) = delete;
    FramebufferBase& operator=(const FramebufferBase&) = delete;
    FramebufferBase& operator=(FramebufferBase&&) = delete;

    virtual void createTextures() = 0;
    virtual void create() = 0;
    // A size of zero or less (a minimised window) is ignored: storage of zero
    // pixels would leave the framebuffer incomplete until the next real size.
    virtual void resize(int newWidth, int newHeight) = 0;

    // Binds for drawing and resets the clear colour every target of the game clears with.
    void bind() const;

    // A size a target can take: a minimised window's 0 x 0 is not one.
    static bool usableSize(int w, int h) { return w > 0 && h > 0; }

    GLuint framebuffer = 0;
    GLuint texture = 0;
    int width = 0;
    int height = 0;

protected:
    FramebufferBase(FramebufferBase&& other) noexcept;

    static void setClearColour();
    // Reports an incomplete framebuffer once per `create`; the game uses it anyway.
    static void reportIfIncomplete();
    // Gives the bound framebuffer a depth-stencil renderbuffer of the given size,
    // creating it on the first call and resizing it on later ones.
    static void attachDepthStencil(GLuint& renderbuffer, int width, int height);
};

} // namespace fennik::render
