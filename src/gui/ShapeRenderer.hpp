#pragma once

#include "gui/ShapeBatch.hpp"
#include "render/GL.hpp"
#include "render/GLObject.hpp"
#include "render/Shader.hpp"

#include <glm/mat4x4.hpp>

#include <memory>

namespace fennik::gui {

// Immediate-mode flat shapes: open a batch with `beginShape`, emit rectangles,
// circles and arcs (set `color`, `texture` and `model` between them), and
// `endShape` draws the whole batch with one upload and one draw call. One batch
// for the whole process: two users must not interleave their shapes.
class ShapeRenderer : public ShapeBatch {
public:
    // The process-wide renderer, built on first use (a context must be current
    // then). The game keeps it, its program and its buffers for the whole process:
    // it is never destroyed, so nothing of it makes GL calls after the windowing
    // library has terminated.
    static ShapeRenderer& instance();

    // Needs a current context. Renderers of one's own (tests) release their program
    // and buffers when destroyed.
    ShapeRenderer();

    ShapeRenderer(const ShapeRenderer&) = delete;
    ShapeRenderer& operator=(const ShapeRenderer&) = delete;

    // Opens a batch drawn with `projection` in `mode` (GL_LINES or GL_TRIANGLES);
    // resets `model` and `texture`. While a batch is open it warns and changes
    // nothing.
    void beginShape(const glm::mat4& projection, GLenum mode);

    // Draws the open batch, if it has vertices, and closes it. Without an open batch
    // it warns and draws nothing.
    void endShape();

    std::unique_ptr<render::Shader> shader;
    bool drawing = false;
    glm::mat4 projection{1.0f};
    GLuint texture = 0; // 0 draws the vertex colours
    glm::mat4 model{1.0f};

private:
    void flush();

    render::GLVertexArray vertexArray;
    render::GLBuffer vertexBuffer;
};

} // namespace fennik::gui
