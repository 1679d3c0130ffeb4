#pragma once

#include "render/FramebufferBase.hpp"

namespace fennik::render {

// One 32-bit float RGBA colour texture with a depth-stencil renderbuffer: the
// target of every post-processing pass.
class Framebuffer : public FramebufferBase {
public:
    using FramebufferBase::FramebufferBase;
    ~Framebuffer() override;
    Framebuffer(Framebuffer&& other) noexcept;

    void createTextures() override;
    void create() override;
    void resize(int newWidth, int newHeight) override;

    GLuint renderbuffer = 0;
};

} // namespace fennik::render
