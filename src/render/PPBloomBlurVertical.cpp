#include "render/PPBloomBlurVertical.hpp"

namespace fennik::render {

PPBloomBlurVertical::PPBloomBlurVertical(const core::GameSettings& settings)
    : PostProcess("bloomBlurShader.vert", "bloomBlurShader.frag", settings)
{
}

void PPBloomBlurVertical::setUniforms(GLuint sceneTexture)
{
    shader->setInt("image", 0);
    shader->setInt("horizontal", 0);
}

} // namespace fennik::render
