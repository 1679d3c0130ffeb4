#include "render/RenderTarget.hpp"

#include "core/Log.hpp"

#include <utility>

namespace fennik::render {

namespace {

void setClearColour()
{
    // Global state: making, binding and resizing a target all leave it set, so the next
    // clear of any target, the window included, uses alpha 0. The scene program keeps
    // its depth-of-field blur in alpha, where 0 means "sharp".
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
}

void setSampling(Attachment kind)
{
    if (kind == Attachment::Colour) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        return;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    const float border[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
}

} // namespace

RenderTarget::RenderTarget(int width, int height, std::vector<Attachment> attachments)
    : size{width, height}, layout(std::move(attachments))
{
    glBindFramebuffer(GL_FRAMEBUFFER, frame.id());
    setClearColour();
    std::vector<GLenum> drawn;
    for (Attachment kind : layout) {
        if (kind == Attachment::DepthStencil) {
            depthStencil = GLRenderbuffer();
            continue;
        }
        textures.emplace_back();
        glBindTexture(GL_TEXTURE_2D, textures.back().id());
        setSampling(kind);
    }
    allocate();
    std::size_t texture = 0;
    for (Attachment kind : layout) {
        if (kind == Attachment::DepthStencil) {
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                      depthStencil.id());
        } else if (kind == Attachment::ShadowDepth) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, textures[texture++].id(), 0);
        } else {
            const auto point = GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(drawn.size());
            glFramebufferTexture2D(GL_FRAMEBUFFER, point, GL_TEXTURE_2D, textures[texture++].id(), 0);
            drawn.push_back(point);
        }
    }
    if (drawn.empty()) {
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
    } else {
        glDrawBuffers(static_cast<GLsizei>(drawn.size()), drawn.data());
    }
    // Reported once; the game uses it anyway. A shadow map that silently renders nothing
    // would look like a level without shadows rather than a fault.
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        log::line("ERROR::FRAMEBUFFER:: Framebuffer is not complete!");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void RenderTarget::allocate()
{
    std::size_t texture = 0;
    for (Attachment kind : layout) {
        if (kind == Attachment::DepthStencil) {
            glBindRenderbuffer(GL_RENDERBUFFER, depthStencil.id());
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, size[0], size[1]);
            continue;
        }
        glBindTexture(GL_TEXTURE_2D, textures[texture++].id());
        if (kind == Attachment::Colour)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, size[0], size[1], 0, GL_RGBA, GL_FLOAT, nullptr);
        else
            glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size[0], size[1], 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                         nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void RenderTarget::resize(int newWidth, int newHeight)
{
    if (!usableSize(newWidth, newHeight))
        return;
    size[0] = newWidth;
    size[1] = newHeight;
    allocate();
    setClearColour();
}

void RenderTarget::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, frame.id());
    setClearColour();
}

} // namespace fennik::render
