#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

namespace fennik::render {

// One rectangle covering the whole viewport, texture coordinates 0..1 with (0, 0) at
// the bottom left: every full-screen pass draws it, and the splash window shows its
// picture on it. Draws with the caller's current program, which reads whatever the
// caller bound.
class QuadRender {
public:
    QuadRender();

    void draw() const;

private:
    GLVertexArray vertexArray;
    GLBuffer vertexBuffer;
};

} // namespace fennik::render
