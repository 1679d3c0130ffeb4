#pragma once

#include "render/GL.hpp"

#include <glm/vec4.hpp>

#include <cstdint>
#include <vector>

namespace fennik::gui {

// The vertices of flat shapes, nine floats each: position x, y, z; colour r, g, b,
// a; texture u, v. The geometry lives here, apart from OpenGL, so that it can be
// built and checked without a context; `ShapeRenderer` draws it.
//
// `mode` decides the form of every shape: GL_LINES (1) gives outlines, any other
// value filled triangles. Triangles wind counter-clockwise in a y-up projection.
class ShapeBatch {
public:
    static constexpr std::size_t floatsPerVertex = 9;

    // Appends one vertex in the current `color`.
    void vertex(float x, float y, float z, float u, float v);

    // Corners at y get `colorBottom`, corners at y + height `colorTop`. The colours
    // are written into `color` as the corners are emitted, so afterwards `color`
    // holds the bottom colour. Passing `color` itself for both gives one colour.
    void rect(float x, float y, float width, float height, const glm::vec4& colorTop, const glm::vec4& colorBottom);
    void rectDepth(float x, float y, float z, float width, float height, const glm::vec4& colorTop,
                   const glm::vec4& colorBottom);

    // Starts at (x + radius, y) and closes on that exact point. Fewer than one
    // segment emits nothing.
    void circle(float x, float y, float radius, int segments);

    // A sector of `angle` degrees, counter-clockwise from startFactor x angle. With
    // fewer than one segment the count follows the size: the cube root of the radius
    // times six per full turn, at least one.
    void arc(float x, float y, float radius, float startFactor, float angle, int segments);

    glm::vec4 color{1.0f};
    std::vector<float> vertices;
    std::uint32_t vertexCount = 0;
    GLenum mode = GL_TRIANGLES;

private:
    bool drawsLines() const { return mode == GL_LINES; }
    // A point on a circle around (x, y) with texture coordinates that map the
    // circle's bounding square onto 0..1.
    void circlePoint(float x, float y, float radius, float pointX, float pointY);
};

} // namespace fennik::gui
