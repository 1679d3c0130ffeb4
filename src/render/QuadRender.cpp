#include "render/QuadRender.hpp"

namespace fennik::render {

QuadRender::QuadRender()
{
    // Triangle strip: top left, bottom left, top right, bottom right; position, then uv.
    const float corners[] = {
        -1.0f, 1.0f,  0.0f, 0.0f, 1.0f,
        -1.0f, -1.0f, 0.0f, 0.0f, 0.0f,
        1.0f,  1.0f,  0.0f, 1.0f, 1.0f,
        1.0f,  -1.0f, 0.0f, 1.0f, 0.0f,
    };
    glBindVertexArray(vertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
}

void QuadRender::draw() const
{
    glBindVertexArray(vertexArray.id());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
}

} // namespace fennik::render
