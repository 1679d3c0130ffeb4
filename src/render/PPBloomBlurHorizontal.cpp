#include "render/PPBloomBlurHorizontal.hpp"

namespace fennik::render {

PPBloomBlurHorizontal::PPBloomBlurHorizontal(const core::GameSettings& settings)
    : PostProcess("bloomBlurShader.vert", "bloomBlurShader.frag", settings)
{
}

void PPBloomBlurHorizontal::setUniforms(GLuint sceneTexture)
{
    shader->setInt("image", 0);
    shader->setInt("horizontal", 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, brightInput);
}

} // namespace fennik::render
