#include "render/PPDOFVertical.hpp"

namespace fennik::render {

PPDOFVertical::PPDOFVertical(const core::GameSettings& settings)
    : PostProcess("dofShader.vert", "dofShader.frag", settings)
{
}

void PPDOFVertical::setUniforms(GLuint sceneTexture)
{
    shader->setInt("image2", 0);
    shader->setFloat("bokehRadius", 40.0f);
    shader->setInt("isHorizontal", 0);
    shader->setInt("ignore", 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, input);
}

} // namespace fennik::render
