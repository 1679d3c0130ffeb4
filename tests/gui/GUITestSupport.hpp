#pragma once

#include "core/GameSettings.hpp"
#include "support/GLTestContext.hpp"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace fennik::test {

// A colour-and-depth framebuffer of any size, bound with a matching viewport for
// its lifetime; the pixels can be read back and saved as a PNG.
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
    // Top row first, as image viewers expect.
    bool savePNG(const std::string& path) const;

    // Window pixels, origin bottom left: the projection the GUI draws with.
    glm::mat4 screenProjection() const;

    const int width;
    const int height;

private:
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;
};

// GL tests of GUI code: an 800 x 800 window in the settings record the registry
// hands out, removed again afterwards.
class GUITest : public GLTest {
protected:
    void SetUp() override;
    void TearDown() override;

    core::GameSettings settings;
};

} // namespace fennik::test
