#include "render/PostEffects.hpp"

#include "render/GpuResources.hpp"
#include "render/TextureUnits.hpp"

namespace fennik::render {

namespace {

// How far the depth of field spreads a pixel at the largest blur amount, and in how
// many taps on each side.
constexpr float bokehRadius = 40.0f;
constexpr int depthOfFieldTaps = 16;

void bindTexture(GLint unit, GLuint texture)
{
    glActiveTexture(units::active(unit));
    glBindTexture(GL_TEXTURE_2D, texture);
}

} // namespace

PostEffects::PostEffects(GpuResources& gpu)
    : gpu(gpu),
      blurProgram(gpu.program("bloomBlurShader.vert", "bloomBlurShader.frag")),
      combineProgram(gpu.program("bloomCombineShader.vert", "bloomCombineShader.frag")),
      depthOfFieldProgram(gpu.program("dofShader.vert", "dofShader.frag")),
      copyProgram(gpu.program("quadRender.vert", "quadRender.frag"))
{
}

void PostEffects::drawInto(GLuint framebuffer)
{
    // The scene target's size: the window's, or its last real one while minimised.
    const FramebufferExtra& scene = gpu.sceneTarget();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, scene.width, scene.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    gpu.quad().draw();
}

void PostEffects::blurBloom(GLuint brightParts)
{
    blurProgram->use();
    blurProgram->setInt("image", units::passInput);
    blurProgram->setInt("horizontal", 1);
    bindTexture(units::passInput, brightParts);
    drawInto(gpu.postTarget(0).framebuffer);
    blurProgram->setInt("horizontal", 0);
    bindTexture(units::passInput, gpu.postTarget(0).texture);
    drawInto(gpu.postTarget(1).framebuffer);
}

void PostEffects::combine(GLuint sceneColour, const Tone& tone)
{
    combineProgram->use();
    combineProgram->setInt("bloomBlur", units::passInput);
    combineProgram->setInt("scene", units::passSecondInput);
    combineProgram->setInt("bloom", 1);
    combineProgram->setInt("useACES", tone.aces ? 1 : 0);
    combineProgram->setFloat("gamma", tone.gamma);
    combineProgram->setFloat("exposure", tone.exposure);
    bindTexture(units::passInput, gpu.postTarget(1).texture);
    bindTexture(units::passSecondInput, sceneColour);
    drawInto(gpu.postTarget(0).framebuffer);
}

void PostEffects::depthOfField(GLuint framebuffer)
{
    depthOfFieldProgram->use();
    depthOfFieldProgram->setInt("image", units::passInput);
    depthOfFieldProgram->setFloat("bokehRadius", bokehRadius);
    depthOfFieldProgram->setInt("tapsPerSide", depthOfFieldTaps);
    depthOfFieldProgram->setInt("isHorizontal", 1);
    bindTexture(units::passInput, gpu.postTarget(0).texture);
    drawInto(gpu.postTarget(1).framebuffer);
    depthOfFieldProgram->setInt("isHorizontal", 0);
    bindTexture(units::passInput, gpu.postTarget(1).texture);
    drawInto(framebuffer);
    bindTexture(units::passInput, 0);
}

void PostEffects::copy(GLuint texture, GLuint framebuffer)
{
    copyProgram->use();
    copyProgram->setInt("screenTexture", units::passInput);
    copyProgram->setVec4("_quadcolor", glm::vec4(1.0f));
    bindTexture(units::passInput, texture);
    drawInto(framebuffer);
    bindTexture(units::passInput, 0);
}

} // namespace fennik::render
