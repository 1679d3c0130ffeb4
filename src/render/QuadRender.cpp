#include "render/QuadRender.hpp"

namespace fennik::render {

QuadRender::QuadRender() : shader(std::make_unique<Shader>("quadRender.vert", "quadRender.frag"))
{
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    uploadCorners(1.0f, 1.0f);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(1);
}

QuadRender::~QuadRender()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
}

void QuadRender::uploadCorners(float halfWidth, float halfHeight)
{
    // Triangle strip: top left, bottom left, top right, bottom right.
    const float corners[] = {
        -halfWidth, halfHeight,  0.0f, 0.0f, 1.0f,
        -halfWidth, -halfHeight, 0.0f, 0.0f, 0.0f,
        halfWidth,  halfHeight,  0.0f, 1.0f, 1.0f,
        halfWidth,  -halfHeight, 0.0f, 1.0f, 0.0f,
    };
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
}

void QuadRender::draw(bool useOwnShader, glm::vec2 extent, glm::vec4 colour)
{
    if (useOwnShader)
        shader->use();

    // Rewriting 80 bytes per draw keeps one buffer for any quad size.
    glBindVertexArray(vertexArray);
    uploadCorners(2.0f * extent.x, 2.0f * extent.y);
    // The colour belongs to the quad's own program; pass programs and the splash
    // program do not read it.
    if (useOwnShader)
        shader->setVec4("_quadcolor", colour);

    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);

    if (useOwnShader)
        Shader::unuse();
}

} // namespace fennik::render
