#include "render/FramebufferBase.hpp"

#include "core/Log.hpp"

#include <utility>

namespace fennik::render {

FramebufferBase::~FramebufferBase()
{
    if (texture)
        glDeleteTextures(1, &texture);
    if (framebuffer)
        glDeleteFramebuffers(1, &framebuffer);
}

FramebufferBase::FramebufferBase(FramebufferBase&& other) noexcept
    : framebuffer(std::exchange(other.framebuffer, 0)),
      texture(std::exchange(other.texture, 0)),
      width(other.width),
      height(other.height)
{
}

void FramebufferBase::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    setClearColour();
}

void FramebufferBase::setClearColour()
{
    // Global state: bind, create and resize all leave it set, so the next clear of
    // any target, the window included, uses alpha 0. The scene program keeps its
    // depth-of-field blur in alpha, where 0 means "sharp".
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
}

void FramebufferBase::attachDepthStencil(GLuint& renderbuffer, int width, int height)
{
    if (!renderbuffer)
        glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, renderbuffer);
}

void FramebufferBase::reportIfIncomplete()
{
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        log::line("ERROR::FRAMEBUFFER:: Framebuffer is not complete!");
}

} // namespace fennik::render
