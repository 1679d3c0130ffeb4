#include "gui/MenuPage.hpp"

#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "gui/GUIButton.hpp"
#include "gui/ShapeRenderer.hpp"
#include "gui/Text.hpp"
#include "render/GpuResources.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace fennik::gui {

namespace {

const glm::vec3 hoveredCaption(0.19f, 0.19f, 0.19f);
const glm::vec3 idleCaption(1.0f);

} // namespace

void drawDimmedPage(const glm::mat4& projection, const UiFrame& frame, Text& title, float titleY, float dimming)
{
    ShapeRenderer& shapes = ShapeRenderer::instance();
    shapes.beginShape(projection, GL_TRIANGLES);
    shapes.texture = 0;
    const glm::vec4 dim(0.0f, 0.0f, 0.0f, dimming);
    shapes.rect(0.0f, 0.0f, frame.width, frame.height, dim, dim);
    shapes.endShape();
    title.color = glm::vec3(1.0f);
    title.draw(frame.point(Anchor::Centre, {0.0f, titleY}), frame.captionPixels(1.0f), projection, true);
}

void shareWidth(const std::vector<GUIButton*>& buttons, const UiFrame& frame)
{
    float widest = 0.0f;
    for (GUIButton* button : buttons)
        widest = std::max(widest, button->naturalWidth(frame));
    for (GUIButton* button : buttons)
        button->minimumWidth = widest;
}

void styleButton(GUIButton& button)
{
    const GLuint idle = render::gpu().texture(core::dataPath("textures/button.png"), true);
    const GLuint hover = render::gpu().texture(core::dataPath("textures/button_hover.png"), true);
    button.texture = idle;
    button.onHover = [&button, hover] {
        button.texture = hover;
        button.label.color = hoveredCaption;
    };
    button.onIdle = [&button, idle] {
        button.texture = idle;
        button.label.color = idleCaption;
    };
}

void EdgeClicks::poll()
{
    const bool leftDown = core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_LEFT);
    const bool rightDown = core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_RIGHT);
    leftClick = leftDown && !leftWasDown;
    rightClick = rightDown && !rightWasDown;
    leftWasDown = leftDown;
    rightWasDown = rightDown;
}

} // namespace fennik::gui
