#include "gui/GUIElement.hpp"

#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/LevelManager.hpp"
#include "core/Log.hpp"
#include "gui/ShapeRenderer.hpp"

#include <GLFW/glfw3.h>

namespace fennik::gui {

GUIElement::GUIElement(int elementKind, const glm::vec3& elementPosition, float elementWidth, float elementHeight)
    : kind(elementKind),
      width(elementWidth),
      height(elementHeight),
      position(elementPosition),
      basePosition(elementPosition.x, elementPosition.y),
      shapes(&ShapeRenderer::instance())
{
    if (const core::GameSettings* settings = core::LevelManager::instance().settings) {
        referenceWidth = static_cast<float>(settings->windowWidth);
        referenceHeight = static_cast<float>(settings->windowHeight);
    } else {
        log::warn("GUI element created before the window settings are known: it will not follow the window size");
    }
}

void GUIElement::update()
{
    const core::GameSettings* settings = core::LevelManager::instance().settings;
    const float windowHeight = settings ? static_cast<float>(settings->windowHeight) : 0.0f;

    // Only the position follows the window; the size stays in pixels. It moves before
    // the cursor is tested, so a click in the first frame after a resize hits the
    // element where it is drawn.
    if (settings && referenceWidth > 0.0f && referenceHeight > 0.0f) {
        position.x = static_cast<float>(settings->windowWidth) * basePosition.x / referenceWidth;
        position.y = static_cast<float>(settings->windowHeight) * basePosition.y / referenceHeight;
    }

    // The cursor comes in window coordinates, y downward.
    const glm::dvec2 cursor = core::input().cursorPosition(nullptr);
    const float cursorX = static_cast<float>(cursor.x);
    const float cursorY = windowHeight - static_cast<float>(cursor.y);

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

void GUIElement::draw(const glm::mat4& projection)
{
    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->rect(position.x, position.y, width, height, shapes->color, shapes->color);
    shapes->endShape();
}

} // namespace fennik::gui
