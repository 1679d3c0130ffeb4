#include "core/Input.hpp"

#include <GLFW/glfw3.h>

namespace fennik::core {

namespace {

class GlfwInput final : public InputSource {
public:
    bool isKeyDown(GLFWwindow* window, int key) override
    {
        return window && glfwGetKey(window, key) == GLFW_PRESS;
    }

    // Buttons and the cursor belong to the window whose context is current when
    // the caller passes none: the GUI reads them that way.
    bool isMouseButtonDown(GLFWwindow* window, int button) override
    {
        if (!window)
            window = glfwGetCurrentContext();
        return window && glfwGetMouseButton(window, button) == GLFW_PRESS;
    }

    glm::dvec2 cursorPosition(GLFWwindow* window) override
    {
        if (!window)
            window = glfwGetCurrentContext();
        glm::dvec2 position(0.0);
        if (window)
            glfwGetCursorPos(window, &position.x, &position.y);
        return position;
    }

    double time() override { return glfwGetTime(); }
};

GlfwInput glfwInput;
InputSource* activeSource = &glfwInput;

} // namespace

InputSource& input()
{
    return *activeSource;
}

void setInputSource(InputSource* source)
{
    activeSource = source ? source : &glfwInput;
}

} // namespace fennik::core
