#include "support/OffscreenTarget.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace fennik::test {

OffscreenTarget::OffscreenTarget(int targetWidth, int targetHeight) : width(targetWidth), height(targetHeight)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.id());
    glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer.id());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer.id());
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer.id());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer.id());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, width, height);
    clear(glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

OffscreenTarget::~OffscreenTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, GLTest::viewportSize, GLTest::viewportSize);
}

void OffscreenTarget::clear(const glm::vec4& colour)
{
    glClearColor(colour.r, colour.g, colour.b, colour.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

glm::u8vec4 OffscreenTarget::pixel(int x, int y) const
{
    glm::u8vec4 value(0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &value);
    return value;
}

std::vector<std::uint8_t> OffscreenTarget::pixels() const
{
    return readPixels(width, height);
}

glm::mat4 OffscreenTarget::screenProjection() const
{
    return glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height));
}

} // namespace fennik::test
