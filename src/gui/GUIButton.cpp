#include "gui/GUIButton.hpp"

#include "gui/ShapeRenderer.hpp"
#include "gui/TextRenderer.hpp"

namespace fennik::gui {

GUIButton::GUIButton(float x, float y, const std::string& caption, float scale, float buttonWidth,
                     float buttonHeight, bool isCentered)
    : GUIElement(0, glm::vec3(x, y, 0.0f), buttonWidth, buttonHeight),
      label(&TextRenderer::instance(), caption),
      textScale(scale),
      centered(isCentered)
{
    layout();
}

void GUIButton::layout()
{
    TextRenderer& font = *label.font;

    // The caption's height is taken as the glyph rows it uses, spread over the whole
    // glyph set; small, but it keeps the caption's baseline a little below the
    // middle, which is where the eye expects it.
    float rows = 0.0f;
    for (const char code : label.text)
        rows += static_cast<float>(font.glyph(code).size.y) * textScale;
    const float labelHeight = font.glyphs.empty() ? 0.0f : rows / static_cast<float>(font.glyphs.size());
    const float labelWidth = label.getWidth(textScale);

    if (centered) {
        position.x -= width * 0.5f;
        position.y -= height * 0.5f;
    }
    const float margin = static_cast<float>(this->margin);
    if (height < labelHeight) {
        height = margin + labelHeight;
        position.y = position.y - labelHeight * 0.25f + margin * 0.5f;
    }
    if (width < labelWidth) {
        width = margin + labelWidth;
        position.x = position.x - labelWidth * 0.25f + margin * 0.5f;
    }

    labelPosition.x = position.x + width * 0.5f;
    labelPosition.y = position.y + height * 0.5f - labelHeight / 0.2f;
}

void GUIButton::draw(const glm::mat4& projection)
{
    update();
    layout();

    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = backgroundColor;
    shapes->texture = texture;
    shapes->rect(position.x, position.y, width, height, backgroundColor, backgroundColor);
    shapes->endShape();

    label.draw(labelPosition, textScale, glm::vec3(0.0f), projection, true);
}

} // namespace fennik::gui
