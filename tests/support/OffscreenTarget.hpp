#pragma once

#include "render/GLObject.hpp"

#include <GL/glew.h>
#include <glm/gtc/type_precision.hpp>
#include <glm/mat4x4.hpp>

#include <cstdint>
#include <vector>

namespace fennik::test {

// An 8-bit colour-and-depth framebuffer of any size, bound with a matching viewport
// for its lifetime and cleared to opaque black. On destruction the window's
// framebuffer and the fixture's viewport come back.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    void clear(const glm::vec4& colour);
    // (x, y) from the bottom left, as GL counts them.
    glm::u8vec4 pixel(int x, int y) const;
    std::vector<std::uint8_t> pixels() const;

    // Pixels with the origin bottom left: the projection the GUI draws with.
    glm::mat4 screenProjection() const;

    const int width;
    const int height;

private:
    render::GLFramebuffer framebuffer;
    render::GLRenderbuffer colourBuffer;
    render::GLRenderbuffer depthBuffer;
};

} // namespace fennik::test
