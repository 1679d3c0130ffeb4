#pragma once

#include "render/FramebufferBase.hpp"

namespace fennik::render {

// Two 16-bit float colour textures written at once (the lit colour and its parts
// brighter than 1) with a depth-stencil renderbuffer: the target of the lit scene.
// Both textures keep one float format through creation and every resize.
class FramebufferExtra : public FramebufferBase {
public:
    using FramebufferBase::FramebufferBase;
    ~FramebufferExtra() override;
    FramebufferExtra(FramebufferExtra&& other) noexcept;

    void createTextures() override;
    void create() override;
    void resize(int newWidth, int newHeight) override;

    GLuint renderbuffer = 0;
    GLuint brightTexture = 0;
};

} // namespace fennik::render
