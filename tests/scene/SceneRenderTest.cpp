#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "gui/GUIPlayerHealthBar.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/Cubemap.hpp"
#include "render/DepthFramebuffer.hpp"
#include "render/FramebufferExtra.hpp"
#include "render/Model.hpp"
#include "render/PPBloomBlurHorizontal.hpp"
#include "render/PPBloomBlurVertical.hpp"
#include "render/PPBloomCombine.hpp"
#include "render/PPDOFHorizontal.hpp"
#include "render/PPDOFVertical.hpp"
#include "render/ParticleGenerator.hpp"
#include "render/PostProcessor.hpp"
#include "render/Shader.hpp"
#include "render/Skylight.hpp"

#include "PlayTicks.hpp"
#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fennik::scene {
namespace {

// A real scene on the showroom fixture: floor, crates, a brass pillar, stone far
// behind, and Fennik standing in the middle.
class SceneRenderTest : public test::GLTest {
protected:
    void build(int width, int height, const std::string& levelPath = "tests/scene/fixtures/showroom.obj",
               glm::vec3 start = {0.0f, 2.0f, 0.0f})
    {
        settings = test::gameSettings(width, height);
        test::LogCapture quiet;
        showroom = std::make_unique<render::Model>(levelPath);
        fennik = std::make_unique<render::Model>("assets/models/Fennik.obj");
        scene = std::make_unique<Scene>(window, &settings);
        scene->addLevelGeometry(*showroom, true);
        ASSERT_FALSE(fennik->meshes.empty());
        scene->createPlayer(&fennik->meshes.front(), 11.0f, start, false);
        scene->createCamera();
        scene->resizeFramebuffers();
    }

    // Grows the test window to a picture's size; the context's drawable follows at
    // the next buffer swap.
    void growWindow(int size)
    {
        glfwSetWindowSize(window, size, size);
        int width = 0, height = 0;
        for (int i = 0; i < 50 && (width != size || height != size); ++i) {
            glfwPollEvents();
            glfwGetFramebufferSize(window, &width, &height);
        }
        ASSERT_EQ(width, size) << "the test window could not grow to the picture size";
        glfwSwapBuffers(window);
    }

    void shrinkWindow()
    {
        scene.reset();
        glfwSetWindowSize(window, viewportSize, viewportSize);
        glfwPollEvents();
        glfwSwapBuffers(window);
    }

    // The window's picture, bottom row first, made opaque and saved to <build>/screenshots.
    std::vector<std::uint8_t> savePicture(int size, const std::string& name)
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        std::vector<std::uint8_t> pixels = test::readPixels(size, size);
        for (std::size_t i = 3; i < pixels.size(); i += 4)
            pixels[i] = 255;
        test::saveScreenshot(name, size, size, pixels);
        return pixels;
    }

    void TearDown() override
    {
        scene.reset();
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    // Lets the player land and the camera glide to its place behind him.
    void settle(int ticks = 60) { playTicks(*scene, ticks); }

    // A frame as the levels draw it, with `betweenSceneAndSky` where they draw the particles.
    template <typename Between>
    void frame(bool showNormals, Between betweenSceneAndSky, bool healthBars = true)
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, static_cast<GLsizei>(settings.windowWidth), static_cast<GLsizei>(settings.windowHeight));
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->drawNormal = showNormals;
        scene->setShadingMode(1);
        scene->render(0);
        glEnable(GL_CULL_FACE);
        scene->render(1);
        betweenSceneAndSky();
        scene->render(2);
        if (!showNormals)
            scene->render(3);
        scene->render(4);
        if (healthBars)
            scene->render(5);
    }

    void frame(bool showNormals = false)
    {
        frame(showNormals, [] {});
    }

    core::ScriptedInput input;
    core::ScopedInputSource scripted{input};
    core::GameSettings settings;
    std::unique_ptr<render::Model> showroom;
    std::unique_ptr<render::Model> fennik;
    std::unique_ptr<Scene> scene;
};

TEST_F(SceneRenderTest, BuildsTheChainInOrderAndStartsOnPhysicallyBasedShading)
{
    build(64, 48);
    EXPECT_EQ(scene->sceneShader, scene->pbrShader);
    const std::vector<std::shared_ptr<render::PostProcess>> expected{
        scene->bloomBlurHorizontal, scene->bloomBlurVertical, scene->bloomCombine, scene->dofHorizontal,
        scene->dofVertical};
    EXPECT_EQ(scene->postProcessor->passes, expected);
    EXPECT_EQ(scene->shadowFramebuffer->width, 2048);
    EXPECT_EQ(scene->postProcessor->passes.front()->framebuffer->height, 48);
    EXPECT_EQ(scene->skylight->light->color, glm::vec3(0.9f));
}

TEST_F(SceneRenderTest, ShadingModeSwapsProgramAndLight)
{
    build(64, 64);
    scene->setShadingMode(0);
    EXPECT_EQ(scene->sceneShader, scene->normalShader);
    EXPECT_EQ(scene->skylight->light->color, glm::vec3(0.3f));

    scene->setShadingMode(7);
    EXPECT_EQ(scene->sceneShader, scene->normalShader) << "unknown modes change nothing";
    EXPECT_EQ(scene->skylight->light->color, glm::vec3(0.3f));

    scene->setShadingMode(1);
    EXPECT_EQ(scene->sceneShader, scene->pbrShader);
    EXPECT_EQ(scene->skylight->light->color, glm::vec3(0.9f));
}

TEST_F(SceneRenderTest, ResizeAndScreenProjectionFollowTheWindowExceptTheShadowMapAndIgnoreZero)
{
    build(64, 64);
    std::vector<GLuint> names{scene->sceneFramebuffer->texture, scene->sceneFramebuffer->brightTexture,
                              scene->shadowFramebuffer->texture};
    for (const auto& pass : scene->postProcessor->passes)
        names.push_back(pass->framebuffer->texture);

    // Overlays draw in window pixels from the bottom left: the settings' size at once,
    // and the last usable one while minimised.
    const auto expectScreenProjection = [this](float width, float height) {
        const glm::mat4 projection = scene->screenProjection();
        const glm::vec4 origin = projection * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
        const glm::vec4 corner = projection * glm::vec4(width, height, 0.0f, 1.0f);
        EXPECT_NEAR(origin.x, -1.0f, 1e-6f);
        EXPECT_NEAR(origin.y, -1.0f, 1e-6f);
        EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
        EXPECT_NEAR(corner.y, 1.0f, 1e-5f);
    };
    settings.windowWidth = 96;
    settings.windowHeight = 40;
    expectScreenProjection(96.0f, 40.0f);
    scene->resizeFramebuffers();
    EXPECT_EQ(scene->sceneFramebuffer->width, 96);
    EXPECT_EQ(scene->sceneFramebuffer->height, 40);
    EXPECT_EQ(test::textureFormat(scene->sceneFramebuffer->texture), GL_RGBA32F);
    for (const auto& pass : scene->postProcessor->passes)
        EXPECT_EQ(pass->framebuffer->width, 96);
    EXPECT_EQ(scene->shadowFramebuffer->width, 2048);

    settings.windowWidth = 0;
    settings.windowHeight = 0;
    scene->resizeFramebuffers();
    EXPECT_EQ(scene->sceneFramebuffer->width, 96) << "a minimised window keeps the last size";
    EXPECT_EQ(scene->postProcessor->passes.back()->framebuffer->height, 40);

    std::vector<GLuint> after{scene->sceneFramebuffer->texture, scene->sceneFramebuffer->brightTexture,
                              scene->shadowFramebuffer->texture};
    for (const auto& pass : scene->postProcessor->passes)
        after.push_back(pass->framebuffer->texture);
    EXPECT_EQ(after, names) << "every texture keeps its name";
    expectScreenProjection(96.0f, 40.0f);
}

TEST_F(SceneRenderTest, ShadowStageFollowsThePlayerAndLeavesCullingOn)
{
    build(64, 64);
    settle(10);
    glDisable(GL_CULL_FACE);
    scene->render(0);

    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(scene->outputTexture, scene->shadowFramebuffer->texture);
    EXPECT_EQ(scene->lightSpaceMatrix, scene->skylight->lightSpaceMatrix);
    // The player stands in the middle of the shadow box.
    scene->player->getModelMatrix();
    const glm::vec4 centre = scene->lightSpaceMatrix * glm::vec4(scene->player->position, 1.0f);
    EXPECT_NEAR(centre.x, 0.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-4f);
    EXPECT_NEAR(centre.z, 0.0f, 1e-4f);
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(SceneRenderTest, UnknownStageDoesNothing)
{
    build(64, 64);
    scene->outputTexture = 1234;
    for (int stage : {-1, 6, 42}) {
        scene->render(stage);
        EXPECT_EQ(scene->outputTexture, 1234u);
    }
}

TEST_F(SceneRenderTest, WithNormalsShownTheChainDoesNotRunAndTheRawSceneIsShown)
{
    build(64, 64);
    settle();
    // Mark the chain's output; a run of the chain would overwrite it.
    const std::vector<float> marker(64 * 64 * 4, 0.25f);
    const GLuint chainOutput = scene->dofVertical->framebuffer->texture;
    glBindTexture(GL_TEXTURE_2D, chainOutput);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 64, 64, GL_RGBA, GL_FLOAT, marker.data());

    // Without the gauge, which covers all of so small a window.
    frame(true, [] {}, false);

    EXPECT_EQ(scene->outputTexture, scene->sceneFramebuffer->texture);
    std::array<float, 4> texel{};
    glBindTexture(GL_TEXTURE_2D, chainOutput);
    std::vector<float> after(64 * 64 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, after.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(after, marker);

    // The floor below the player faces up: normal colour (0.5, 1, 0.5) on screen.
    texel = test::framebufferPixel(0, GL_BACK, 32, 20);
    EXPECT_NEAR(texel[0], 0.5f, 0.05f);
    EXPECT_NEAR(texel[1], 1.0f, 0.05f);
    EXPECT_NEAR(texel[2], 0.5f, 0.05f);

    frame(false);
    EXPECT_EQ(scene->outputTexture, chainOutput) << "the chain's output is shown again";
}

// The picture the renderer is judged by: the showroom at 800 x 800 with the lantern
// glowing and a cloud of dust around Fennik, saved as a PNG next to the tests.
TEST_F(SceneRenderTest, ShowroomPicture)
{
    constexpr int size = 800;
    growWindow(size);
    build(size, size);
    // Lower than the game's default view, so the horizon and the sky are in the picture.
    scene->camera->pitch = 12.0f;
    settle();

    auto particles = std::make_unique<render::ParticleGenerator>();
    auto particleShader = std::make_shared<render::Shader>("particleShader.vert", "particleShader.frag");
    for (int tick = 0; tick < 15; ++tick) {
        particles->emit(*scene->player, 10, 3, 1.2f, glm::vec3(1.0f, -1.8f, 0.0f), glm::vec4(0.0f));
        particles->update(1.0f / 30.0f, *scene->camera);
    }
    render::Mesh* lantern = showroom->findMesh("lantern_interactable");
    ASSERT_NE(lantern, nullptr);

    frame(false, [&] {
        particles->draw(*particleShader, *scene->camera);
        glBindVertexArray(0);
        // The lantern glows: drawn with the scene program after the entities, as
        // the particles are.
        scene->sceneShader->use();
        scene->sceneShader->setVec3("emission", glm::vec3(9.0f, 4.5f, 1.2f));
        lantern->draw(*scene->sceneShader, glm::mat4(1.0f));
        scene->sceneShader->setVec3("emission", glm::vec3(0.0f));
    });

    const std::vector<unsigned char> pixels = savePicture(size, "showroom.png");

    const auto pixel = [&](glm::vec3 world) {
        const glm::vec4 clip = scene->camera->projection * scene->camera->view * glm::vec4(world, 1.0f);
        const int x = static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * size);
        const int y = static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * size);
        EXPECT_TRUE(x >= 0 && y >= 0 && x < size && y < size);
        const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * size + x) * 4];
        return glm::vec3(p[0], p[1], p[2]);
    };
    const auto brightness = [](glm::vec3 c) { return c.r + c.g + c.b; };
    // The crate's shadow on the floor beside it, against open floor nearby.
    EXPECT_LT(brightness(pixel({-7.0f, 0.0f, -3.5f})), 0.7f * brightness(pixel({-7.0f, 0.0f, 3.5f})));
    // The lantern burns near white.
    EXPECT_GT(brightness(pixel({-2.0f, 5.1f, 3.5f})), 600.0f);
    // The health gauge in the top-left corner, full: its ring is green.
    const unsigned char* ring = &pixels[(static_cast<std::size_t>(size - 100) * size + 100) * 4];
    EXPECT_GT(ring[1], 150);
    EXPECT_LT(ring[0], 80);

    shrinkWindow();
}

} // namespace
} // namespace fennik::scene
