#include "render/Framebuffer.hpp"

namespace fennik::render {

namespace {

void allocateColour(GLuint texture, int width, int height)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
}

} // namespace

void Framebuffer::createTextures()
{
    glGenTextures(1, &texture);
    allocateColour(texture, width, height);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void Framebuffer::create()
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    setClearColour();
    createTextures();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    reportIfIncomplete();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Framebuffer::resize(int newWidth, int newHeight)
{
    if (!usableSize(newWidth, newHeight))
        return;
    width = newWidth;
    height = newHeight;
    allocateColour(texture, width, height);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace fennik::render
