#pragma once

#include "render/Framebuffer.hpp"
#include "render/QuadRender.hpp"
#include "render/Shader.hpp"

#include <memory>
#include <string>

namespace fennik::core {
struct GameSettings;
}

namespace fennik::render {

// One full-screen pass of the post-processing chain: its own program, its own
// window-sized float framebuffer and its own quad. The chain sets `input` (read on
// unit 0) before each run; each pass binds whatever else it needs in `setUniforms`.
class PostProcess {
public:
    PostProcess(const std::string& vertexFile, const std::string& fragmentFile, const core::GameSettings& settings);
    virtual ~PostProcess() = default;

    PostProcess(const PostProcess&) = delete;
    PostProcess& operator=(const PostProcess&) = delete;

    // Called with the pass's program current and `input` bound on unit 0.
    // `sceneTexture` is the lit scene's colour texture (its alpha holds the
    // depth-of-field blur amount written by the scene program).
    virtual void setUniforms(GLuint sceneTexture) = 0;

    // Draws the pass into its framebuffer and leaves the window framebuffer bound.
    void renderPass(GLuint sceneTexture);

    std::shared_ptr<Shader> shader;
    GLuint input = 0;
    std::shared_ptr<Framebuffer> framebuffer;
    std::shared_ptr<QuadRender> quad;
};

} // namespace fennik::render
