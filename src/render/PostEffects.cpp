#include "render/PostEffects.hpp"

#include "render/GpuResources.hpp"
#include "render/TextureUnits.hpp"

namespace fennik::render {

namespace {

// How far the depth of field spreads a pixel at the largest blur amount (in pixels of
// a full-size picture), and in how many taps on each side.
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
      combineProgram(gpu.program("bloomCombineShader.vert", "bloomCombineShader.frag")),
      copyProgram(gpu.program("quadRender.vert", "quadRender.frag"))
{
}

void PostEffects::drawInto(GLuint framebuffer)
{
    // The scene target's size: the window's times the render scale, or its last real
    // one while minimised.
    const RenderTarget& scene = gpu.sceneTarget();
    drawInto(framebuffer, scene.width(), scene.height());
}

void PostEffects::drawInto(GLuint framebuffer, int width, int height)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    gpu.quad().draw();
}

void PostEffects::blurBloom(GLuint brightParts, bool half)
{
    if (!blurProgram)
        blurProgram = gpu.program("bloomBlurShader.vert", "bloomBlurShader.frag");
    blurProgram->use();
    blurProgram->setInt("image", units::passInput);
    blurProgram->setInt("horizontal", 1);
    bindTexture(units::passInput, brightParts);
    RenderTarget& rows = half ? gpu.bloomTarget(0) : gpu.postTarget(0);
    RenderTarget& columns = half ? gpu.bloomTarget(1) : gpu.postTarget(1);
    drawInto(rows.framebuffer(), rows.width(), rows.height());
    blurProgram->setInt("horizontal", 0);
    bindTexture(units::passInput, rows.texture());
    drawInto(columns.framebuffer(), columns.width(), columns.height());
}

GLuint PostEffects::bloomResult(bool half)
{
    return half ? gpu.bloomTarget(1).texture() : gpu.postTarget(1).texture();
}

void PostEffects::combine(GLuint sceneColour, GLuint bloom, const Tone& tone, GLuint framebuffer, bool finished)
{
    combineProgram->use();
    combineProgram->setInt("bloomBlur", units::passInput);
    combineProgram->setInt("scene", units::passSecondInput);
    combineProgram->setInt("bloom", bloom != 0 ? 1 : 0);
    combineProgram->setInt("useACES", tone.aces ? 1 : 0);
    combineProgram->setFloat("gamma", tone.gamma);
    combineProgram->setFloat("exposure", tone.exposure);
    combineProgram->setInt("finalPicture", finished ? 1 : 0);
    // Without bloom the sampler still gets a complete texture: an empty unit is undefined.
    bindTexture(units::passInput, bloom != 0 ? bloom : gpu.blankTexture());
    bindTexture(units::passSecondInput, sceneColour);
    drawInto(framebuffer);
}

void PostEffects::depthOfField(GLuint framebuffer, float renderScale)
{
    if (!depthOfFieldProgram)
        depthOfFieldProgram = gpu.program("dofShader.vert", "dofShader.frag");
    depthOfFieldProgram->use();
    depthOfFieldProgram->setInt("image", units::passInput);
    depthOfFieldProgram->setFloat("bokehRadius", bokehRadius * renderScale);
    depthOfFieldProgram->setInt("tapsPerSide", depthOfFieldTaps);
    depthOfFieldProgram->setInt("isHorizontal", 1);
    bindTexture(units::passInput, gpu.postTarget(0).texture());
    drawInto(gpu.postTarget(1).framebuffer());
    depthOfFieldProgram->setInt("isHorizontal", 0);
    bindTexture(units::passInput, gpu.postTarget(1).texture());
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

void PostEffects::scaleUp(GLuint texture, int width, int height)
{
    copyProgram->use();
    copyProgram->setInt("screenTexture", units::passInput);
    copyProgram->setVec4("_quadcolor", glm::vec4(1.0f));
    // The post targets filter linearly: each window pixel blends the four nearest.
    bindTexture(units::passInput, texture);
    drawInto(0, width, height);
    bindTexture(units::passInput, 0);
}

} // namespace fennik::render
