#pragma once

#include <gtest/gtest.h>

struct GLFWwindow;

namespace fennik::test {

// One hidden window with an OpenGL 4.3 core context per test process, made current
// on first use and kept until the process ends. Tests run it under Xvfb.
GLFWwindow* sharedGLContext();

// Fixture for tests that need OpenGL: makes the shared context current and fails
// the test if there is none. Resets the viewport to `viewportSize` square.
class GLTest : public ::testing::Test {
public:
    static constexpr int viewportSize = 64;

protected:
    void SetUp() override;
    GLFWwindow* window = nullptr;
};

} // namespace fennik::test
