#include "gui/Text.hpp"

#include "gui/TextRenderer.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
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
    glBindVertexArray(vertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, quadBytes, nullptr, GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

float Text::pixelsOf(float scale)
{
    return static_cast<float>(TextRenderer::gamePixelSize) * scale * scale;
}

float Text::width(float pixels)
{
    const GlyphSet& set = font->sized(pixels);
    float sum = 0.0f;
    for (const char code : text)
        sum += advanceInPixels(set.glyphs[static_cast<unsigned char>(code) & 127u]);
    return sum;
}

float Text::getWidth(float scale)
{
    return scale > 0.0f ? width(pixelsOf(scale)) / scale : 0.0f;
}

std::vector<Text::GlyphQuad> Text::layOut(float pixels, bool centered)
{
    std::vector<GlyphQuad> quads;
    quads.reserve(text.size());

    float penX = centered ? -std::round(width(pixels) * 0.5f) : 0.0f;
    const GlyphSet& set = font->sized(pixels);
    for (const char code : text) {
        // Codes past 127 have no glyph: empty, like the font's own control codes.
        const Character empty;
        const Character& character = static_cast<unsigned char>(code) < 128 ? set.glyphs[static_cast<std::size_t>(code)] : empty;
        const float x = penX + static_cast<float>(character.bearing.x);
        const float bottom = -static_cast<float>(character.size.y - character.bearing.y);
        const float top = bottom + static_cast<float>(character.size.y);
        const float right = x + static_cast<float>(character.size.x);
        const glm::vec4 uv = character.uv;

        // Texture v runs down the bitmap: FreeType's first row is the glyph's top.
        quads.push_back({character.textureId,
                         {x, top, 0.0f, uv.x, uv.y,
                          x, bottom, 0.0f, uv.x, uv.w,
                          right, bottom, 0.0f, uv.z, uv.w,
                          x, top, 0.0f, uv.x, uv.y,
                          right, bottom, 0.0f, uv.z, uv.w,
                          right, top, 0.0f, uv.z, uv.y}});
        penX += advanceInPixels(character);
    }
    return quads;
}

void Text::draw(const glm::vec2& position, float pixels, const glm::mat4& projection, bool centered)
{
    // Whole pixels: glyphs rasterised at their size stay crisp only on the pixel grid.
    model = glm::translate(glm::mat4(1.0f), glm::vec3(std::round(position.x), std::round(position.y), 0.0f));
    render(pixels, projection, centered);
}

void Text::draw(const glm::vec3& position, float scale, const glm::vec3& rotation, const glm::mat4& projection,
                bool centered)
{
    model = glm::translate(glm::mat4(1.0f), position);
    model = glm::rotate(model, rotation.x * degreesToRadians, glm::vec3(1.0f, 0.0f, 0.0f));
    model = glm::rotate(model, rotation.y * degreesToRadians, glm::vec3(0.0f, 1.0f, 0.0f));
    model = glm::rotate(model, rotation.z * degreesToRadians, glm::vec3(0.0f, 0.0f, 1.0f));
    render(pixelsOf(scale), projection, centered);
}

void Text::render(float pixels, const glm::mat4& projection, bool centered)
{
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    const std::vector<GlyphQuad> quads = layOut(pixels, centered);

    render::Shader& shader = *font->shader;
    shader.use();

    shader.setVec3("textColor", color);
    shader.setMat4("projection", projection * model);

    std::vector<float> vertices;
    vertices.reserve(quads.size() * 30);
    for (const GlyphQuad& quad : quads)
        vertices.insert(vertices.end(), quad.vertices.begin(), quad.vertices.end());

    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vertexArray.id());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (!quads.empty()) {
        // Every glyph of one size lives in one atlas: one upload and one draw.
        glBindTexture(GL_TEXTURE_2D, quads.front().texture);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                     GL_DYNAMIC_DRAW);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
        glEnableVertexAttribArray(1);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(quads.size() * 6));
    }

    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    render::Shader::unuse();
}

} // namespace fennik::gui
