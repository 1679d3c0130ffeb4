#include "render/PPDOFHorizontal.hpp"

namespace fennik::render {

PPDOFHorizontal::PPDOFHorizontal(const core::GameSettings& settings)
    : PostProcess("dofShader.vert", "dofShader.frag", settings)
{
}

void PPDOFHorizontal::setUniforms(GLuint sceneTexture)
{
    shader->setInt("image2", 0);
    shader->setFloat("bokehRadius", 40.0f);
    shader->setInt("isHorizontal", 1);
    shader->setInt("ignore", 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
}

} // namespace fennik::render
