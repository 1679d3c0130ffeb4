#include "gui/ShapeRenderer.hpp"

#include "core/Log.hpp"
#include "render/GpuResources.hpp"

namespace fennik::gui {

namespace {

constexpr GLsizei vertexStride = ShapeBatch::floatsPerVertex * sizeof(float);

void describeVertexLayout()
{
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, vertexStride, nullptr);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, vertexStride, reinterpret_cast<void*>(3 * sizeof(float)));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, vertexStride, reinterpret_cast<void*>(7 * sizeof(float)));
    for (GLuint attribute = 0; attribute < 3; ++attribute)
        glEnableVertexAttribArray(attribute);
}

} // namespace

ShapeRenderer& ShapeRenderer::instance()
{
    // Deliberately never deleted: the renderer outlives the windows and the context.
    static ShapeRenderer* const renderer = new ShapeRenderer();
    return *renderer;
}

ShapeRenderer::ShapeRenderer() : shader(std::make_unique<render::Shader>("shapeShader.vert", "shapeShader.frag"))
{
    glBindVertexArray(vertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW);
    describeVertexLayout();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ShapeRenderer::beginShape(const glm::mat4& shapeProjection, GLenum shapeMode)
{
    if (drawing) {
        log::warn("Already drawing a shape!");
        return;
    }
    projection = shapeProjection;
    model = glm::mat4(1.0f);
    mode = shapeMode;
    drawing = true;
    texture = 0;
    // Shapes emitted while no batch was open are dropped here, so the batch holds
    // exactly what was emitted since this call.
    vertices.clear();
    vertexCount = 0;
}

void ShapeRenderer::endShape()
{
    if (!drawing) {
        log::warn("Tried to endShape without beginning one!");
        return;
    }
    flush();
    drawing = false;
}

void ShapeRenderer::flush()
{
    if (vertexCount == 0)
        return;

    shader->use();
    glBindVertexArray(vertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                 GL_STATIC_DRAW);

    shader->setMat4("projectionMatrix", projection);
    shader->setMat4("modelMatrix", model);
    shader->setInt("tex", 0);
    shader->setInt("useTexture", texture != 0 ? 1 : 0);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture != 0 ? texture : render::gpu().blankTexture());

    // Culling is on so a projection that flips y (faces turned away) draws nothing.
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    describeVertexLayout();
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertexCount));
    for (GLuint attribute = 0; attribute < 3; ++attribute)
        glDisableVertexAttribArray(attribute);

    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);

    vertices.clear();
    vertexCount = 0;
    color = glm::vec4(1.0f);
    model = glm::mat4(1.0f);
    render::Shader::unuse();
}

} // namespace fennik::gui
