#pragma once

#include "render/GL.hpp"

#include <array>

namespace fennik::render {

// The GL state a 2D overlay changes as it draws (depth test, blending and its
// function, face culling, the program and the active texture unit), saved when made
// and put back when destroyed, so what is drawn after the overlay finds the state
// it left.
class SavedGLState {
public:
    SavedGLState()
    {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
        glGetIntegerv(GL_BLEND_SRC_RGB, &blendSource);
        glGetIntegerv(GL_BLEND_DST_RGB, &blendDestination);
        for (std::size_t i = 0; i < capabilities.size(); ++i)
            enabled[i] = glIsEnabled(capabilities[i]);
    }
    ~SavedGLState()
    {
        for (std::size_t i = 0; i < capabilities.size(); ++i)
            (enabled[i] ? glEnable : glDisable)(capabilities[i]);
        glBlendFunc(static_cast<GLenum>(blendSource), static_cast<GLenum>(blendDestination));
        glActiveTexture(static_cast<GLenum>(activeTexture));
        glUseProgram(static_cast<GLuint>(program));
    }
    SavedGLState(const SavedGLState&) = delete;
    SavedGLState& operator=(const SavedGLState&) = delete;

private:
    static constexpr std::array<GLenum, 3> capabilities{GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE};
    std::array<GLboolean, 3> enabled{};
    GLint program = 0;
    GLint activeTexture = GL_TEXTURE0;
    GLint blendSource = GL_ONE;
    GLint blendDestination = GL_ZERO;
};

} // namespace fennik::render
