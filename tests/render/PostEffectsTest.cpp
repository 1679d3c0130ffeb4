#include "render/Framebuffer.hpp"
#include "render/FramebufferExtra.hpp"
#include "render/PPBloomBlurHorizontal.hpp"
#include "render/PPBloomBlurVertical.hpp"
#include "render/PPBloomCombine.hpp"
#include "render/PPDOFHorizontal.hpp"
#include "render/PPDOFVertical.hpp"
#include "render/PostProcessor.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"
#include "support/TestSettings.hpp"

#include <glm/vec4.hpp>

#include <array>
#include <cmath>
#include <memory>
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

bool isComplete(const FramebufferBase& target)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

class PostProcessTest : public test::GLTest {};

TEST_F(PostProcessTest, ResizeFollowsTheWindowAndIgnoresAMinimisedOne)
{
    Framebuffer target(16, 16);
    target.create();
    FramebufferExtra scene(256, 256);
    scene.create();
    const GLuint sceneTexture = scene.texture;
    for (auto [w, h] : {Size{64, 48}, Size{0, 0}, Size{0, 600}, Size{800, 0}}) {
        target.resize(w, h);
        scene.resize(w, h);
    }
    EXPECT_EQ(scene.texture, sceneTexture) << "names stay, only the storage changes";
    EXPECT_EQ(test::textureSize(target.texture), (Size{64, 48}));
    EXPECT_EQ(test::textureSize(scene.texture), (Size{64, 48}));
    EXPECT_EQ(test::textureSize(scene.brightTexture), (Size{64, 48})) << "the bloom source follows too";
    EXPECT_EQ(test::textureFormat(scene.brightTexture), GL_RGBA32F);
    EXPECT_TRUE(isComplete(target));
    EXPECT_TRUE(isComplete(scene)) << "the depth-stencil storage must follow the colour size";
}

// The chain as the scene builds it, fed by a scene target filled by hand.
TEST_F(PostProcessTest, EachPassReadsThePreviousAndCombineAppliesExposureThenGamma)
{
    core::GameSettings settings = test::gameSettings(size, size);
    auto blurHorizontal = std::make_shared<PPBloomBlurHorizontal>(settings);
    auto combine = std::make_shared<PPBloomCombine>(settings);
    PostProcessor chain;
    chain.add(blurHorizontal);
    chain.add(std::make_shared<PPBloomBlurVertical>(settings));
    chain.add(combine);
    chain.add(std::make_shared<PPDOFHorizontal>(settings));
    chain.add(std::make_shared<PPDOFVertical>(settings));
    FramebufferExtra scene{size, size};
    scene.create();
    glViewport(0, 0, size, size);
    fill(scene.brightTexture, {0, 0, 0, 1}); // no bloom
    blurHorizontal->brightInput = scene.brightTexture;
    const auto drawn = [&](int channel) {
        chain.run(scene.texture);
        std::vector<glm::vec4> image(size * size);
        glBindTexture(GL_TEXTURE_2D, chain.currentTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return image[5 * size + 5][channel];
    };

    // Without ACES: 1 - exp(-x * exposure), then the 1 / gamma power. A pass that read the
    // raw scene instead of the pass before it would show the input unchanged.
    combine->useAces = false;
    combine->exposure = 2.0f;
    combine->gamma = 2.2f;
    fill(scene.texture, {0.3f, 0.6f, 0.0f, 0.0f});
    EXPECT_NEAR(drawn(0), std::pow(1.0f - std::exp(-0.6f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(drawn(1), std::pow(1.0f - std::exp(-1.2f), 1.0f / 2.2f), 2e-3f);
    EXPECT_FLOAT_EQ(drawn(3), 1.0f) << "the final image is opaque";

    // ACES changes the curve, stays in range, and still grows with exposure.
    combine->useAces = true;
    float previous = 0.0f;
    for (float exposure : {0.25f, 1.0f, 4.0f}) {
        combine->exposure = exposure;
        const float shade = drawn(1);
        EXPECT_GT(shade, previous + 0.01f) << "exposure " << exposure;
        EXPECT_LE(shade, 1.0f);
        previous = shade;
    }
}

} // namespace
} // namespace fennik::render
