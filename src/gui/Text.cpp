#include "gui/Text.hpp"

#include "gui/TextRenderer.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <utility>

namespace fennik::gui {

namespace {

constexpr float degreesToRadians = 0.017453292f;
constexpr GLsizei quadBytes = sizeof(Text::GlyphQuad::vertices);

// Advances are in 1/64 pixel.
float advanceInPixels(const Character& character)
{
    return static_cast<float>(character.advance >> 6);
}

} // namespace

Text::Text(TextRenderer* textFont, std::string string) : font(textFont), text(std::move(string))
{
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, quadBytes, nullptr, GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

Text::~Text()
{
    release();
}

Text::Text(Text&& other) noexcept
    : font(other.font),
      text(std::move(other.text)),
      color(other.color),
      vertexArray(std::exchange(other.vertexArray, 0)),
      vertexBuffer(std::exchange(other.vertexBuffer, 0)),
      model(other.model)
{
}

Text& Text::operator=(Text&& other) noexcept
{
    if (this != &other) {
        release();
        font = other.font;
        text = std::move(other.text);
        color = other.color;
        vertexArray = std::exchange(other.vertexArray, 0);
        vertexBuffer = std::exchange(other.vertexBuffer, 0);
        model = other.model;
    }
    return *this;
}

void Text::release()
{
    if (vertexBuffer != 0)
        glDeleteBuffers(1, &vertexBuffer);
    if (vertexArray != 0)
        glDeleteVertexArrays(1, &vertexArray);
    vertexBuffer = 0;
    vertexArray = 0;
}

float Text::getWidth(float scale)
{
    float width = 0.0f;
    for (const char code : text)
        width += advanceInPixels(font->glyph(code)) * scale;
    return width;
}

std::vector<Text::GlyphQuad> Text::layOut(float scale, bool centered)
{
    std::vector<GlyphQuad> quads;
    quads.reserve(text.size());

    float penX = centered ? -(getWidth(scale) * 0.5f) : 0.0f;
    for (const char code : text) {
        const Character& character = font->glyph(code);
        const float x = penX + static_cast<float>(character.bearing.x) * scale;
        const float bottom = -static_cast<float>(character.size.y - character.bearing.y) * scale;
        const float top = bottom + static_cast<float>(character.size.y) * scale;
        const float right = x + static_cast<float>(character.size.x) * scale;

        // Texture v runs down the bitmap: FreeType's first row is the glyph's top.
        quads.push_back({character.textureId,
                         {x, top, 0.0f, 0.0f, 0.0f,
                          x, bottom, 0.0f, 0.0f, 1.0f,
                          right, bottom, 0.0f, 1.0f, 1.0f,
                          x, top, 0.0f, 0.0f, 0.0f,
                          right, bottom, 0.0f, 1.0f, 1.0f,
                          right, top, 0.0f, 1.0f, 0.0f}});
        penX += advanceInPixels(character) * scale;
    }
    return quads;
}

void Text::draw(const glm::vec3& position, float scale, const glm::vec3& rotation, const glm::mat4& projection,
                bool centered)
{
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    const std::vector<GlyphQuad> quads = layOut(scale, centered);

    render::Shader& shader = *font->shader;
    shader.use();

    model = glm::translate(glm::mat4(1.0f), position);
    model = glm::scale(model, glm::vec3(scale));
    model = glm::rotate(model, rotation.x * degreesToRadians, glm::vec3(1.0f, 0.0f, 0.0f));
    model = glm::rotate(model, rotation.y * degreesToRadians, glm::vec3(0.0f, 1.0f, 0.0f));
    model = glm::rotate(model, rotation.z * degreesToRadians, glm::vec3(0.0f, 0.0f, 1.0f));

    shader.setVec3("textColor", color);
    shader.setMat4("projection", projection * model);

    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vertexArray);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // One upload and one draw per glyph: the text system is for a few short strings
    // per frame.
    for (const GlyphQuad& quad : quads) {
        glBindTexture(GL_TEXTURE_2D, quad.texture);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
        glEnableVertexAttribArray(1);
        glBufferData(GL_ARRAY_BUFFER, quadBytes, quad.vertices.data(), GL_STATIC_DRAW);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    render::Shader::unuse();
}

} // namespace fennik::gui
