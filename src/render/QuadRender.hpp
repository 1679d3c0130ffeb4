#pragma once

#include "render/GL.hpp"

namespace fennik::render {

// One rectangle covering the whole viewport, texture coordinates 0..1 with (0, 0) at
// the bottom left: every full-screen pass draws it, and the splash window shows its
// picture on it. Draws with the caller's current program, which reads whatever the
// caller bound.
class QuadRender {
public:
    QuadRender();
    ~QuadRender();

    QuadRender(const QuadRender&) = delete;
    QuadRender& operator=(const QuadRender&) = delete;

    void draw() const;

    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
};

} // namespace fennik::render
