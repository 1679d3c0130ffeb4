#include "render/FramebufferExtra.hpp"

#include <utility>

namespace fennik::render {

namespace {

void makeColourTexture(GLuint& texture, int width, int height)
{
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void reallocateColour(GLuint texture, int width, int height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
}

} // namespace

FramebufferExtra::~FramebufferExtra()
{
    if (brightTexture)
        glDeleteTextures(1, &brightTexture);
    if (renderbuffer)
        glDeleteRenderbuffers(1, &renderbuffer);
}

FramebufferExtra::FramebufferExtra(FramebufferExtra&& other) noexcept
    : FramebufferBase(std::move(other)),
      renderbuffer(std::exchange(other.renderbuffer, 0)),
      brightTexture(std::exchange(other.brightTexture, 0))
{
}

void FramebufferExtra::createTextures()
{
    makeColourTexture(texture, width, height);
    makeColourTexture(brightTexture, width, height);
}

void FramebufferExtra::create()
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    setClearColour();

    createTextures();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, brightTexture, 0);

    attachDepthStencil(renderbuffer, width, height);

    reportIfIncomplete();
    const GLenum drawBuffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void FramebufferExtra::resize(int newWidth, int newHeight)
{
    if (!usableSize(newWidth, newHeight))
        return;
    width = newWidth;
    height = newHeight;

    reallocateColour(brightTexture, width, height);
    reallocateColour(texture, width, height);
    glBindTexture(GL_TEXTURE_2D, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    setClearColour();
    attachDepthStencil(renderbuffer, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

} // namespace fennik::render
