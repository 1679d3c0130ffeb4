#pragma once

#include "render/FramebufferBase.hpp"

namespace fennik::render {

// One 16-bit float RGBA colour texture and nothing else: the target of the
// full-screen post-processing passes, which cover every pixel and test no depth.
class Framebuffer : public FramebufferBase {
public:
    using FramebufferBase::FramebufferBase;

    void createTextures() override;
    void create() override;
    void resize(int newWidth, int newHeight) override;
};

} // namespace fennik::render
