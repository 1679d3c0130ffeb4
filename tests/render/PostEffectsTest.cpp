#include "render/GpuResources.hpp"
#include "render/PostEffects.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"

#include <glm/vec4.hpp>

#include <array>
#include <cmath>
#include <vector>

namespace fennik::render {
namespace {

constexpr int size = 32;
using Size = std::array<GLint, 2>;

void fill(GLuint texture, glm::vec4 colour)
{
    const std::vector<glm::vec4> image(size * size, colour);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_FLOAT, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool isComplete(const RenderTarget& target)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer());
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

class PostEffectsTest : public test::GLTest {};

// One set of targets follows the window: names stay, storage and size change, the
// format stays the one the targets were made with, and a minimised window changes nothing.
TEST_F(PostEffectsTest, TheSharedTargetsFollowTheWindowInPlace)
{
    GpuResources& resources = gpu();
    RenderTarget& scene = resources.sceneTarget();
    const GLint format = test::textureFormat(scene.texture());
    const GLuint sceneTexture = scene.texture();
    for (auto [w, h] : {Size{64, 48}, Size{0, 0}, Size{0, 600}, Size{800, 0}})
        resources.resizeTargets(w, h);
    EXPECT_EQ(scene.texture(), sceneTexture);
    for (GLuint texture : {scene.texture(), scene.texture(1), resources.postTarget(0).texture(),
                           resources.postTarget(1).texture()}) {
        EXPECT_EQ(test::textureSize(texture), (Size{64, 48}));
        EXPECT_EQ(test::textureFormat(texture), format);
    }
    EXPECT_TRUE(isComplete(scene)) << "the depth-stencil storage must follow the colour size";
    EXPECT_TRUE(isComplete(resources.postTarget(0)));
    EXPECT_EQ(test::textureSize(resources.bloomTarget(1).texture()), (Size{32, 24})) << "the half-size glow";
    resources.resizeTargets(size, size);
}

// The combine pass reads the blurred glow and the scene, and applies exposure, the
// tone curve and gamma in that order.
TEST_F(PostEffectsTest, CombineAppliesExposureThenTheToneCurveThenGamma)
{
    GpuResources& resources = gpu();
    resources.resizeTargets(size, size);
    RenderTarget& scene = resources.sceneTarget();
    PostEffects effects(resources);
    fill(scene.texture(1), {0, 0, 0, 1}); // no glow
    const auto drawn = [&](PostEffects::Tone tone, int channel) {
        effects.blurBloom(scene.texture(1), false);
        effects.combine(scene.texture(), effects.bloomResult(false), tone, resources.postTarget(0).framebuffer(), false);
        std::vector<glm::vec4> image(size * size);
        glBindTexture(GL_TEXTURE_2D, resources.postTarget(0).texture());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return image[5 * size + 5][channel];
    };

    // Without ACES: 1 - exp(-x * exposure), then the 1 / gamma power.
    fill(scene.texture(), {0.3f, 0.6f, 0.0f, 0.0f});
    EXPECT_NEAR(drawn({2.0f, 2.2f, false}, 0), std::pow(1.0f - std::exp(-0.6f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(drawn({2.0f, 2.2f, false}, 1), std::pow(1.0f - std::exp(-1.2f), 1.0f / 2.2f), 2e-3f);

    // ACES changes the curve, stays in range, and still grows with exposure.
    float previous = 0.0f;
    for (float exposure : {0.25f, 1.0f, 4.0f}) {
        const float shade = drawn({exposure, 2.2f, true}, 1);
        EXPECT_GT(shade, previous + 0.01f) << "exposure " << exposure;
        EXPECT_LE(shade, 1.0f);
        previous = shade;
    }
}

} // namespace
} // namespace fennik::render
