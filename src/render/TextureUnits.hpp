#pragma once

#include "render/GL.hpp"

namespace fennik::render {

// The texture units the C++ side binds and the programs read, named once: programs
// receive them through their sampler uniforms, set from these, and no shader names a
// unit itself. Units 0 to 2 carry a mesh's own maps and a full-screen pass's inputs.
namespace units {

constexpr GLint passInput = 0;
constexpr GLint passSecondInput = 1;
constexpr GLint skybox = 10;
constexpr GLint shadowMap = 11;

// glActiveTexture's name for a unit.
constexpr GLenum active(GLint unit)
{
    return GL_TEXTURE0 + static_cast<GLenum>(unit);
}

} // namespace units
} // namespace fennik::render
