#include "support/GLTestContext.hpp"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>

namespace fennik::test {

GLFWwindow* sharedGLContext()
{
    static GLFWwindow* window = [] () -> GLFWwindow* {
        if (!glfwInit()) {
            std::fprintf(stderr, "GL tests need a display: glfwInit failed (run under xvfb-run -a)\n");
            return nullptr;
        }
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        GLFWwindow* created = glfwCreateWindow(GLTest::viewportSize, GLTest::viewportSize, "test", nullptr, nullptr);
        if (!created)
            return nullptr;
        glfwMakeContextCurrent(created);
        glewExperimental = GL_TRUE;
        if (glewInit() != GLEW_OK)
            return nullptr;
        return created;
    }();
    if (window)
        glfwMakeContextCurrent(window);
    return window;
}

void GLTest::SetUp()
{
    window = sharedGLContext();
    ASSERT_NE(window, nullptr) << "no OpenGL 4.3 core context";
    glViewport(0, 0, viewportSize, viewportSize);
}

} // namespace fennik::test
