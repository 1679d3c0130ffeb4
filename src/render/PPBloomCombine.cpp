#include "render/PPBloomCombine.hpp"

namespace fennik::render {

PPBloomCombine::PPBloomCombine(const core::GameSettings& settings)
    : PostProcess("bloomCombineShader.vert", "bloomCombineShader.frag", settings)
{
}

void PPBloomCombine::setUniforms(GLuint sceneTexture)
{
    shader->setInt("bloomBlur", 0);
    shader->setInt("scene", 1);
    shader->setInt("bloom", 1);
    shader->setInt("useACES", useAces ? 1 : 0);
    shader->setFloat("gamma", gamma);
    shader->setFloat("exposure", exposure);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
}

} // namespace fennik::render
