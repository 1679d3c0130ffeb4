#pragma once

#include "render/GL.hpp"
#include "render/Shader.hpp"

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <memory>

namespace fennik::render {

// One screen-aligned rectangle centred on the viewport, texture coordinates 0..1
// with (0, 0) at the bottom left. It presents the finished frame, carries every
// post-processing pass and shows the splash picture. The texture is whatever the
// caller bound to unit 0.
class QuadRender {
public:
    QuadRender();
    ~QuadRender();

    QuadRender(const QuadRender&) = delete;
    QuadRender& operator=(const QuadRender&) = delete;

    // `extent` (0.5, 0.5) covers the whole viewport. With `useOwnShader` false the
    // caller's current program draws and stays current.
    void draw(bool useOwnShader, glm::vec2 extent, glm::vec4 colour);

    std::unique_ptr<Shader> shader;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;

private:
    void uploadCorners(float halfWidth, float halfHeight);
};

} // namespace fennik::render
