#pragma once

#include "render/FramebufferBase.hpp"

namespace fennik::render {

// A depth texture and nothing else: the sky light's shadow map. Outside its area
// it samples as depth 1 (the border colour), so nothing there is ever in shadow.
// Its size is fixed at construction; `resize` does nothing.
class DepthFramebuffer : public FramebufferBase {
public:
    using FramebufferBase::FramebufferBase;
    DepthFramebuffer(DepthFramebuffer&& other) noexcept = default;

    void createTextures() override;
    void create() override;
    void resize(int newWidth, int newHeight) override {}
};

} // namespace fennik::render
