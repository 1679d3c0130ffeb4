#include "gui/GUIButton.hpp"

#include "gui/ShapeRenderer.hpp"
#include "gui/TextRenderer.hpp"

#include <algorithm>

namespace fennik::gui {

GUIButton::GUIButton(Anchor buttonAnchor, glm::vec2 buttonCentre, const std::string& caption, float scale,
                     glm::vec2 buttonSize)
    : GUIElement(0, buttonAnchor, buttonCentre, buttonSize), label(&TextRenderer::instance(), caption), textScale(scale)
{
}

float GUIButton::naturalWidth(const UiFrame& frame)
{
    const float pixels = frame.captionPixels(textScale);
    return std::max(size.x * frame.scale, label.width(pixels) + std::max(frame.size(margin), 6.0f));
}

void GUIButton::layout(const UiFrame& frame)
{
    labelPixels = frame.captionPixels(textScale);
    const float heightNeeded = labelPixels * 1.2f;
    place(frame, {std::max(naturalWidth(frame), minimumWidth), std::max(size.y * frame.scale, heightNeeded)});

    // The capitals' height centred on the button: where the eye expects the caption.
    const float capitals = static_cast<float>(label.font->sized(labelPixels).glyphs['H'].bearing.y);
    labelPosition = {position.x + width * 0.5f, position.y + (height - capitals) * 0.5f};
}

void GUIButton::draw(const glm::mat4& projection, const UiFrame& frame)
{
    update(frame);

    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = backgroundColor;
    shapes->texture = texture;
    shapes->rect(position.x, position.y, width, height, backgroundColor, backgroundColor);
    shapes->endShape();

    label.draw(labelPosition, labelPixels, projection, true);
}

} // namespace fennik::gui
