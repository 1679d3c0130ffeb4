#include "render/FramebufferExtra.hpp"
#include "render/PPBloomBlurHorizontal.hpp"
#include "render/PPBloomBlurVertical.hpp"
#include "render/PPBloomCombine.hpp"
#include "render/PPDOFHorizontal.hpp"
#include "render/PPDOFVertical.hpp"
#include "render/PostProcessor.hpp"

#include "core/GameSettings.hpp"

#include "support/GLTestContext.hpp"
#include "support/TestSettings.hpp"

#include <algorithm>
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
    for (int i = 0; i < size * size; ++i) {
        image[i * 4 + 0] = r;
        image[i * 4 + 1] = g;
        image[i * 4 + 2] = b;
        image[i * 4 + 3] = a;
    }
    return image;
}

void upload(GLuint texture, const Image& image)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_FLOAT, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

Image download(GLuint texture)
{
    Image image(size * size * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

float at(const Image& image, int x, int y, int channel) { return image[(y * size + x) * 4 + channel]; }

// The chain as the scene builds it, on a small window, fed by a scene target whose
// colour and bright textures the tests fill by hand.
class PostProcessTest : public test::GLTest {
protected:
    void SetUp() override
    {
        test::GLTest::SetUp();
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
        return download(chain.currentTexture);
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

TEST_F(PostProcessTest, EachPassReadsThePreviousOneAndTheLastIsTheOutput)
{
    upload(scene.texture, uniformImage(0.2f, 0.2f, 0.2f, 0.0f));
    run();

    EXPECT_EQ(chain.currentTexture, dofVertical->framebuffer->texture);
    EXPECT_EQ(blurHorizontal->input, scene.texture);
    EXPECT_EQ(blurVertical->input, blurHorizontal->framebuffer->texture);
    EXPECT_EQ(combine->input, blurVertical->framebuffer->texture);
    EXPECT_EQ(dofHorizontal->input, combine->framebuffer->texture);
    EXPECT_EQ(dofVertical->input, dofHorizontal->framebuffer->texture);

    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(PostProcessTest, EmptyChainDrawsNothingAndKeepsItsTexture)
{
    PostProcessor empty;
    empty.currentTexture = 77;
    empty.run(scene.texture);
    EXPECT_EQ(empty.currentTexture, 77u);
}

TEST_F(PostProcessTest, ToneMappedOutputStaysInRangeAndGrowsWithExposure)
{
    for (bool aces : {true, false}) {
        SCOPED_TRACE(aces ? "ACES" : "exponential");
        combine->useAces = aces;
        std::vector<float> previous(3, -1.0f);
        for (float exposure : {0.25f, 1.0f, 4.0f}) {
            combine->exposure = exposure;
            std::vector<float> shades;
            for (float radiance : {0.05f, 1.0f, 50.0f}) {
                upload(scene.texture, uniformImage(radiance, radiance, radiance, 0.0f));
                const float shade = at(run(), size / 2, size / 2, 0);
                EXPECT_GE(shade, 0.0f);
                EXPECT_LE(shade, 1.0f);
                shades.push_back(shade);
            }
            for (std::size_t i = 0; i < shades.size(); ++i) {
                EXPECT_GT(shades[i] + 1e-4f, previous[i]) << "exposure " << exposure;
                if (i > 0 && shades[i - 1] < 0.99f) {
                    EXPECT_GT(shades[i], shades[i - 1]) << "brighter radiance, brighter pixel";
                }
            }
            previous = shades;
        }
    }
}

TEST_F(PostProcessTest, CombineAppliesExposureCurveThenGamma)
{
    // Without ACES: 1 - exp(-x * exposure), then the 1 / gamma power.
    combine->useAces = false;
    combine->exposure = 2.0f;
    combine->gamma = 2.2f;
    upload(scene.texture, uniformImage(0.3f, 0.6f, 0.0f, 0.0f));
    const Image out = run();
    EXPECT_NEAR(at(out, 5, 5, 0), std::pow(1.0f - std::exp(-0.6f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(at(out, 5, 5, 1), std::pow(1.0f - std::exp(-1.2f), 1.0f / 2.2f), 2e-3f);
    EXPECT_NEAR(at(out, 5, 5, 2), 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(at(out, 5, 5, 3), 1.0f) << "the final image is opaque";

    combine->useAces = true;
    const float withAces = at(run(), 5, 5, 0);
    EXPECT_GT(std::abs(withAces - at(out, 5, 5, 0)), 0.01f) << "the switch changes the curve";
}

TEST_F(PostProcessTest, BloomSpreadsBrightPartsAroundThemInBothDirections)
{
    upload(scene.texture, uniformImage(0.0f, 0.0f, 0.0f, 0.0f));
    Image bright = uniformImage(0, 0, 0, 1);
    const int c = size / 2;
    for (int i = 0; i < 4; ++i)
        bright[((c) * size + c) * 4 + i] = 40.0f;
    upload(scene.brightTexture, bright);

    const Image out = run();
    const float centre = at(out, c, c, 0);
    EXPECT_GT(centre, 0.0f);
    // Lit around the spot along both axes and diagonally, fading with distance.
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
    // Vertical stripes of black and white; the left half is in focus (alpha 0),
    // the right half fully out of focus (alpha 1).
    Image stripes(size * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float shade = (x / 2) % 2 ? 1.0f : 0.0f;
            float* p = &stripes[(y * size + x) * 4];
            p[0] = p[1] = p[2] = shade * 4.0f;
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
