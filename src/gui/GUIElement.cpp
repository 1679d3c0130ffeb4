#include "gui/GUIElement.hpp"

#include "core/Input.hpp"
#include "gui/ShapeRenderer.hpp"

#include <GLFW/glfw3.h>

#include <cmath>

namespace fennik::gui {

GUIElement::GUIElement(int elementKind, Anchor elementAnchor, glm::vec2 elementCentre, glm::vec2 elementSize)
    : kind(elementKind),
      anchor(elementAnchor),
      centre(elementCentre),
      size(elementSize),
      shapes(&ShapeRenderer::instance())
{
}

void GUIElement::place(const UiFrame& frame, glm::vec2 pixelSize)
{
    const glm::vec2 middle = frame.point(anchor, centre);
    width = std::round(pixelSize.x);
    height = std::round(pixelSize.y);
    position = glm::vec3(std::round(middle.x - width * 0.5f), std::round(middle.y - height * 0.5f), 0.0f);
}

void GUIElement::layout(const UiFrame& frame)
{
    place(frame, size * frame.scale);
}

void GUIElement::update(const UiFrame& frame)
{
    layout(frame);

    // The cursor comes in window coordinates, y downward.
    const glm::dvec2 cursor = core::input().cursorPosition(nullptr);
    const float cursorX = static_cast<float>(cursor.x);
    const float cursorY = frame.height - static_cast<float>(cursor.y);

    // The edges count as inside.
    const bool outside = cursorX > position.x + width || cursorX < position.x || cursorY < position.y ||
                         cursorY > position.y + height;
    hoverState = outside ? 1 : 0;
    if (outside && !focused) {
        if (onIdle)
            onIdle();
    } else if (onHover) {
        onHover();
    }

    // No edge detection: a held button clicks in every frame it is held over us.
    if (hoverState == 0 && core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_LEFT) && onClick)
        onClick();
}

void GUIElement::draw(const glm::mat4& projection, const UiFrame& frame)
{
    update(frame);
    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->rect(position.x, position.y, width, height, shapes->color, shapes->color);
    shapes->endShape();
}

} // namespace fennik::gui
