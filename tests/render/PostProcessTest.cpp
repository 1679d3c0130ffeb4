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

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace fennik::render {
namespace {

constexpr int size = 32;
using Size = std::array<GLint, 2>;

using Image = std::vector<float>; // RGBA rows, bottom row first

Image uniformImage(float r, float g, float b, float a)
{
    Image image;
    for (int i = 0; i < size * size; ++i)
        image.insert(image.end(), {r, g, b, a});
    return image;
}

void upload(GLuint texture, const Image& image)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_FLOAT, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

float at(const Image& image, int x, int y, int channel) { return image[(y * size + x) * 4 + channel]; }

bool isComplete(const FramebufferBase& target)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

class FramebufferTest : public test::GLTest {};

TEST_F(FramebufferTest, ResizeFollowsTheWindowAndIgnoresAMinimisedOne)
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

// The chain as the scene builds it, fed by a scene target the tests fill by hand.
class PostProcessTest : public test::GLTest {
protected:
    void SetUp() override
    {
        test::GLTest::SetUp(); // the passes build their programs and targets: context first
        blurHorizontal = std::make_shared<PPBloomBlurHorizontal>(settings);
        combine = std::make_shared<PPBloomCombine>(settings);
        chain.add(blurHorizontal);
        chain.add(std::make_shared<PPBloomBlurVertical>(settings));
        chain.add(combine);
        chain.add(std::make_shared<PPDOFHorizontal>(settings));
        chain.add(std::make_shared<PPDOFVertical>(settings));
        scene.create();
        scene.resize(size, size);
        glViewport(0, 0, size, size);
        upload(scene.brightTexture, uniformImage(0, 0, 0, 1));
    }

    Image run()
    {
        blurHorizontal->brightInput = scene.brightTexture;
        chain.run(scene.texture);
        Image image(size * size * 4);
        glBindTexture(GL_TEXTURE_2D, chain.currentTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return image;
    }

    core::GameSettings settings = test::gameSettings(size, size);
    FramebufferExtra scene{size, size};
    std::shared_ptr<PPBloomBlurHorizontal> blurHorizontal;
    std::shared_ptr<PPBloomCombine> combine;
    PostProcessor chain;
};

TEST_F(PostProcessTest, EachPassReadsThePreviousAndCombineAppliesExposureThenGamma)
{
    // Without ACES: 1 - exp(-x * exposure), then the 1 / gamma power. A pass that read the
    // raw scene instead of the pass before it would show the input unchanged.
    combine->useAces = false;
    combine->exposure = 2.0f;
    combine->gamma = 2.2f;
    upload(scene.texture, uniformImage(0.3f, 0.6f, 0.0f, 0.0f));
    const Image out = run();
    EXPECT_NEAR(at(out, 5, 5, 0), std::pow(1.0f - std::exp(-0.6f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(at(out, 5, 5, 1), std::pow(1.0f - std::exp(-1.2f), 1.0f / 2.2f), 2e-3f);
    EXPECT_FLOAT_EQ(at(out, 5, 5, 3), 1.0f) << "the final image is opaque";

    // ACES changes the curve, stays in range, and still grows with exposure.
    combine->useAces = true;
    float previous = 0.0f;
    for (float exposure : {0.25f, 1.0f, 4.0f}) {
        combine->exposure = exposure;
        const float shade = at(run(), 5, 5, 1);
        EXPECT_GT(shade, previous + 0.01f) << "exposure " << exposure;
        EXPECT_LE(shade, 1.0f);
        previous = shade;
    }
}

TEST_F(PostProcessTest, BloomSpreadsBrightPartsAroundThemInBothDirections)
{
    upload(scene.texture, uniformImage(0, 0, 0, 0));
    Image bright = uniformImage(0, 0, 0, 1);
    std::fill_n(bright.begin() + (16 * size + 16) * 4, 4, 40.0f);
    upload(scene.brightTexture, bright);
    const Image out = run();
    for (auto [dx, dy] : {std::pair{3, 0}, {-3, 0}, {0, 3}, {0, -3}, {2, 2}}) {
        EXPECT_GT(at(out, 16 + dx, 16 + dy, 0), 0.01f) << dx << "," << dy;
        EXPECT_LT(at(out, 16 + dx, 16 + dy, 0), at(out, 16, 16, 0)) << dx << "," << dy;
    }
    EXPECT_LT(at(out, 28, 16, 0), at(out, 19, 16, 0)) << "fading with distance";
}

} // namespace
} // namespace fennik::render
