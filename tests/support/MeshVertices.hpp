#pragma once

#include "render/Mesh.hpp"

#include <vector>

namespace fennik::test {

// A mesh's vertices as its vertex buffer holds them (the mesh keeps no copy).
inline std::vector<render::Vertex> verticesOf(const render::Mesh& mesh)
{
    GLint bytes = 0;
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer.id());
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<render::Vertex> vertices(static_cast<std::size_t>(bytes) / sizeof(render::Vertex));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, bytes, vertices.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return vertices;
}

} // namespace fennik::test
