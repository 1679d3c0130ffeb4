#include "render/FramebufferExtra.hpp"
#include "render/PPBloomBlurHorizontal.hpp"
#include "render/PPBloomBlurVertical.hpp"
#include "render/PPBloomCombine.hpp"
#include "render/PPDOFHorizontal.hpp"
#include "render/PPDOFVertical.hpp"
#include "render/PostProcessor.hpp"

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

using Image = std::vector<float>; // RGBA rows, bottom row first

Image uniformImage(float r, float g, float b, float a)
{
    Image image(size * size * 4);
    for (int i = 0; i < size * size; ++i)
        std::copy_n(std::array{r, g, b, a}.begin(), 4, image.begin() + i * 4);
    return image;
}

void upload(GLuint texture, const Image& image)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_FLOAT, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

float at(const Image& image, int x, int y, int channel) { return image[(y * size + x) * 4 + channel]; }

// The chain as the scene builds it, fed by a scene target the tests fill by hand.
class PostProcessTest : public test::GLTest {
protected:
    void SetUp() override
    {
        test::GLTest::SetUp(); // the passes build their programs and targets: context first
        blurHorizontal = std::make_shared<PPBloomBlurHorizontal>(settings);
        blurVertical = std::make_shared<PPBloomBlurVertical>(settings);
        combine = std::make_shared<PPBloomCombine>(settings);
        dofHorizontal = std::make_shared<PPDOFHorizontal>(settings);
        dofVertical = std::make_shared<PPDOFVertical>(settings);
        for (const auto& pass : std::vector<std::shared_ptr<PostProcess>>{blurHorizontal, blurVertical, combine,
                                                                          dofHorizontal, dofVertical})
            chain.add(pass);
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
    std::shared_ptr<PPBloomBlurVertical> blurVertical;
    std::shared_ptr<PPBloomCombine> combine;
    std::shared_ptr<PPDOFHorizontal> dofHorizontal;
    std::shared_ptr<PPDOFVertical> dofVertical;
    PostProcessor chain;
};

TEST_F(PostProcessTest, CombineAppliesExposureCurveThenGammaAndTheLastPassIsTheOutput)
{
    // Without ACES: 1 - exp(-x * exposure), then the 1 / gamma power.
    combine->useAces = false;
    combine->exposure = 2.0f;
    combine->gamma = 2.2f;
    upload(scene.texture, uniformImage(0.3f, 0.6f, 0.0f, 0.0f));
    const Image out = run();
    EXPECT_EQ(chain.currentTexture, dofVertical->framebuffer->texture);
    EXPECT_NEAR(at(out, 5, 5, 0), std::pow(1.0f - std::exp(-0.6f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(at(out, 5, 5, 1), std::pow(1.0f - std::exp(-1.2f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(at(out, 5, 5, 2), 0.0f, 1e-4f);
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
    const int c = size / 2;
    std::fill_n(bright.begin() + (c * size + c) * 4, 4, 40.0f);
    upload(scene.brightTexture, bright);

    const Image out = run();
    const float centre = at(out, c, c, 0);
    for (auto [dx, dy] : {std::pair{3, 0}, {-3, 0}, {0, 3}, {0, -3}, {2, 2}}) {
        const float around = at(out, c + dx, c + dy, 0);
        EXPECT_GT(around, 0.01f) << dx << "," << dy;
        EXPECT_LT(around, centre);
    }
    EXPECT_NEAR(at(out, c + 3, c, 0), at(out, c, c + 3, 0), 0.02f) << "the same blur both ways";
    EXPECT_LT(at(out, c + 12, c, 0), at(out, c + 3, c, 0));
}

TEST_F(PostProcessTest, DepthOfFieldBlursOnlyWhereTheSceneIsOutOfFocus)
{
    // Vertical stripes; the left half is in focus (alpha 0), the right half not (alpha 1).
    Image stripes(size * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float* p = &stripes[(y * size + x) * 4];
            p[0] = p[1] = p[2] = (x / 2) % 2 ? 4.0f : 0.0f;
            p[3] = x < size / 2 ? 0.0f : 1.0f;
        }
    upload(scene.texture, stripes);
    combine->useAces = false;

    const Image out = run();
    auto contrast = [&](int x0, int x1) {
        float low = 1.0f, high = 0.0f;
        for (int x = x0; x < x1; ++x) {
            low = std::min(low, at(out, x, size / 2, 0));
            high = std::max(high, at(out, x, size / 2, 0));
        }
        return high - low;
    };
    EXPECT_GT(contrast(2, size / 2 - 4), 0.9f) << "sharp where the scene is in focus";
    EXPECT_LT(contrast(size / 2 + 4, size - 2), 0.3f) << "smoothed where it is not";
}

} // namespace
} // namespace fennik::render
