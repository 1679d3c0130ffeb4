#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "render/DrawChecks.hpp"
#include "render/GpuResources.hpp"
#include "render/Model.hpp"
#include "render/Shader.hpp"
#include "render/Skylight.hpp"
#include "render/DirectionalLight.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/MeshVertices.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace fennik::scene {
namespace {

class SceneRenderTest : public test::GLTest {};

// The picture the renderer is judged by: the showroom (floor, crates, a brass pillar,
// stone far behind) at 800 x 800 with Fennik in the middle and the lantern glowing,
// saved to <build>/screenshots for people to look at.
TEST_F(SceneRenderTest, ShowroomPictureHasShadowsABloomHaloAndAFarBlur)
{
    constexpr int size = 800;
    // The scene target starts small; the level's first resize brings it to the window's size.
    core::GameSettings settings = test::gameSettings(size, size);
    test::LogCapture quiet;
    glfwSetWindowSize(window, size, size);
    int width = 0, height = 0;
    for (int i = 0; i < 50 && width != size; ++i, glfwPollEvents())
        glfwGetFramebufferSize(window, &width, &height);
    ASSERT_EQ(width, size) << "the test window could not grow to the picture size";
    glfwSwapBuffers(window); // the drawable follows at the next swap

    render::Model showroom("tests/scene/fixtures/showroom.obj");
    render::Model fennik("assets/models/Fennik.obj");
    Scene scene(window, &settings);
    scene.addLevelGeometry(showroom, true);
    scene.createPlayer(&fennik.meshes.at(0), 11.0f, {0.0f, 2.0f, 0.0f}, false);
    scene.createCamera();
    scene.resizeFramebuffers();
    EXPECT_EQ(render::gpu().sceneTarget().width(), size) << "the lit scene is drawn at the window's size";
    scene.camera->pitch = 12.0f; // lower than the game's view: the horizon and the sky show
    for (int tick = 0; tick < 60; ++tick, scene.stepPhysics())
        scene.update(); // Fennik lands and the camera glides to its place behind him

    // A frame as the levels draw it. The lantern glows: drawn with the scene program
    // after the entities, where the levels draw particles.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const render::Frame frame = scene.buildFrame({[&] {
        scene.sceneShader->use();
        scene.sceneShader->setVec3("emission", glm::vec3(9.0f, 4.5f, 1.2f));
        showroom.findMesh("lantern_interactable")->draw(*scene.sceneShader, glm::mat4(1.0f));
        scene.sceneShader->setVec3("emission", glm::vec3(0.0f));
    }, true, {}});
    EXPECT_TRUE(frame.wellOrdered());
    scene.draw(frame, 1.0f);

    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    std::vector<std::uint8_t> picture = test::readPixels(size, size);
    for (std::size_t i = 3; i < picture.size(); i += 4)
        picture[i] = 255;
    test::saveScreenshot("showroom.png", size, size, picture);
    // The presented picture leaves no depth behind: overlays drawn over it would fail against it.
    float depth = 0.0f;
    glReadPixels(size / 2, size / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    std::vector<float> litScene(static_cast<std::size_t>(size) * size * 4);
    glBindTexture(GL_TEXTURE_2D, render::gpu().sceneTarget().texture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, litScene.data());
    glBindTexture(GL_TEXTURE_2D, 0);

    const auto at = [&](glm::vec3 world) {
        const glm::vec4 clip = scene.camera->projection * scene.camera->view * glm::vec4(world, 1.0f);
        const glm::ivec2 p((clip.x / clip.w * 0.5f + 0.5f) * size, (clip.y / clip.w * 0.5f + 0.5f) * size);
        return glm::clamp(p, 0, size - 1);
    };
    const auto brightness = [&](glm::ivec2 p) {
        const std::uint8_t* c = &picture[(static_cast<std::size_t>(p.y) * size + p.x) * 4];
        return c[0] + c[1] + c[2];
    };
    // The crate's shadow on the floor beside it, against open floor nearby.
    EXPECT_LT(brightness(at({-7.0f, 0.0f, -3.5f})), 0.7f * brightness(at({-7.0f, 0.0f, 3.5f})));
    // The lantern burns near white, and its glow spills over the pillar beside it.
    EXPECT_GT(brightness(at({-2.0f, 5.1f, 3.5f})), 600);
    EXPECT_GT(brightness(at({-7.0f, 4.5f, 5.3f})), brightness(at({-7.0f, 7.5f, 5.3f})) + 100);

    // Depth of field: the tower's edge far behind is sharp in the lit scene and soft on
    // screen. Sharpness along a row: the largest step between neighbours over the whole rise.
    const glm::ivec2 from = at({-17.0f, 7.0f, -15.0f}), to = at({-17.0f, 7.0f, -11.0f});
    const auto sharpness = [&](auto value) {
        float largestStep = 0.0f;
        for (int x = std::min(from.x, to.x); x < std::max(from.x, to.x); ++x)
            largestStep = std::max(largestStep, std::abs(value(x + 1) - value(x)));
        return largestStep / std::abs(value(to.x) - value(from.x));
    };
    const float litSharpness = sharpness([&](int x) {
        const float* c = &litScene[(static_cast<std::size_t>(from.y) * size + x) * 4];
        return c[0] + c[1] + c[2];
    });
    const float shownSharpness = sharpness([&](int x) { return static_cast<float>(brightness({x, from.y})); });
    EXPECT_GT(litSharpness, 0.5f);
    EXPECT_LT(shownSharpness, 0.5f * litSharpness);

    // The health gauge in the top-left corner, over the picture, full: its ring is green.
    const std::uint8_t* ring = &picture[(static_cast<std::size_t>(size - 100) * size + 100) * 4];
    EXPECT_TRUE(ring[1] > 150 && ring[0] < 80) << int(ring[0]) << ", " << int(ring[1]);
}

// Values no display shows but every later pass spreads: a NaN or an infinity in a
// float target is black on one implementation and a white blotch on another. Neither
// an extreme exposure, a light far above 1 nor a level model with zero normals and
// faces of no area may leave one in any target.
TEST_F(SceneRenderTest, ExtremeLightAndBrokenGeometryLeaveOnlyFiniteValuesInEveryTarget)
{
    constexpr int size = 160;
    core::GameSettings settings = test::gameSettings(size, size);
    test::LogCapture quiet;
    render::Model showroom("tests/scene/fixtures/showroom.obj");
    render::Model broken("tests/scene/fixtures/degenerate.obj");
    // The loader keeps what the file says: normals of no length reach the shaders.
    const auto floor = test::verticesOf(*broken.findMesh("floor_solid_zero_normals"));
    ASSERT_FALSE(floor.empty());
    EXPECT_EQ(glm::length(floor[0].normal), 0.0f);
    render::Model fennik("assets/models/Fennik.obj");
    Scene scene(window, &settings);
    scene.addLevelGeometry(showroom, true);
    scene.addLevelGeometry(broken, true);
    scene.createPlayer(&fennik.meshes.at(0), 11.0f, {0.0f, 2.0f, 0.0f}, false);
    scene.createCamera();
    scene.resizeFramebuffers();
    scene.camera->pitch = 30.0f;
    for (int tick = 0; tick < 30; ++tick, scene.stepPhysics())
        scene.update();
    const render::Frame frame = scene.buildFrame({[] {}, true, {}});
    const render::DrawChecks draws;

    auto& gpu = render::gpu();
    const std::pair<const char*, GLuint> targets[] = {{"scene colour", gpu.sceneTarget().texture(0)},
                                                      {"bright parts", gpu.sceneTarget().texture(1)},
                                                      {"bloom", gpu.postTarget(1).texture()},
                                                      {"tone-mapped", gpu.postTarget(0).texture()}};
    struct Case {
        const char* name;
        float exposure;
        glm::vec3 light;
        bool aces;
    };
    for (const Case& lighting : {Case{"as shipped", 1.0f, glm::vec3(0.9f), true},
                                 Case{"extreme exposure", 1e30f, glm::vec3(0.9f), true},
                                 Case{"extreme exposure, no ACES", 1e30f, glm::vec3(0.9f), false},
                                 Case{"blinding sun", 1.0f, glm::vec3(1e8f), true}}) {
        settings.exposure = lighting.exposure;
        settings.useAces = lighting.aces;
        scene.skylight->light->color = lighting.light;
        scene.draw(frame, 1.0f);
        for (const auto& [name, texture] : targets) {
            const auto [width, height] = test::textureSize(texture);
            std::vector<float> values(static_cast<std::size_t>(width) * height * 4);
            glBindTexture(GL_TEXTURE_2D, texture);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, values.data());
            const auto bad = std::count_if(values.begin(), values.end(), [](float v) { return !std::isfinite(v); });
            EXPECT_EQ(bad, 0) << lighting.name << ": " << name;
            // More exposure is never darker: at 1e30 every pixel tone-maps to white (a
            // NaN there would be turned black by one driver's clamp and kept by another's).
            if (lighting.exposure > 1.0f && texture == gpu.postTarget(0).texture()) {
                float darkest = 1.0f;
                for (std::size_t i = 0; i < values.size(); i += 4)
                    darkest = std::min({darkest, values[i], values[i + 1], values[i + 2]});
                EXPECT_GT(darkest, 0.99f) << lighting.name;
            }
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    for (const std::string& fault : draws.faults())
        ADD_FAILURE() << fault;
}

} // namespace
} // namespace fennik::scene
