#include "render/PostProcessor.hpp"

namespace fennik::render {

void PostProcessor::run(GLuint sceneTexture)
{
    GLuint previous = sceneTexture;
    for (const auto& pass : passes) {
        pass->input = previous;
        pass->renderPass(sceneTexture);
        previous = currentTexture = pass->framebuffer->texture;
    }
}

} // namespace fennik::render
