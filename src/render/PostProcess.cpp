#include "render/PostProcess.hpp"

#include "core/GameSettings.hpp"

#include <algorithm>

namespace fennik::render {

PostProcess::PostProcess(const std::string& vertexFile, const std::string& fragmentFile,
                         const core::GameSettings& settings)
    : shader(std::make_shared<Shader>(vertexFile, fragmentFile)),
      // A window that starts minimised still gets a complete one-pixel target; the
      // first real size arrives through the scene's resize.
      framebuffer(std::make_shared<Framebuffer>(std::max(1, static_cast<int>(settings.windowWidth)),
                                                std::max(1, static_cast<int>(settings.windowHeight)))),
      quad(std::make_shared<QuadRender>())
{
    framebuffer->create();
}

void PostProcess::renderPass(GLuint sceneTexture)
{
    framebuffer->bind();
    shader->use();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, input);
    setUniforms(sceneTexture);

    quad->draw(false, {0.5f, 0.5f}, {1.0f, 1.0f, 1.0f, 1.0f});
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

} // namespace fennik::render
