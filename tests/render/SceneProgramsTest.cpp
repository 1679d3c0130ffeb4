#include "render/Cubemap.hpp"
#include "render/DepthFramebuffer.hpp"
#include "render/FramebufferExtra.hpp"
#include "render/Mesh.hpp"
#include "render/Shader.hpp"
#include "render/Skylight.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace fennik::render {
namespace {

// Square faces given by normal and tangent, pushed out along the normal for a box or
// through the origin for a flat quad, so that these tests look at the programs and not
// at a model file.
Mesh facesMesh(const std::vector<std::array<glm::vec3, 2>>& faces, float half, bool box)
{
    std::vector<Vertex> vertices;
    std::vector<unsigned int> indices;
    for (const auto& [normal, tangent] : faces) {
        const glm::vec3 bitangent = glm::cross(normal, tangent);
        for (unsigned int i : {0u, 1u, 2u, 0u, 2u, 3u})
            indices.push_back(static_cast<unsigned int>(vertices.size()) + i);
        for (auto [u, v] : {std::array<float, 2>{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
            vertices.push_back(Vertex{((box ? normal : glm::vec3(0.0f)) + tangent * u + bitangent * v) * half,
                                      normal, {u * 0.5f + 0.5f, v * 0.5f + 0.5f}, tangent, bitangent});
    }
    return Mesh("faces", Material{}, {}, std::move(indices), std::move(vertices));
}

struct Drawn {
    Mesh* mesh;
    glm::mat4 model;
};

// The renderer's shadow and scene stages reduced to what the programs need: a shadow
// map around the origin, the lit scene into the two-target float framebuffer, then
// a light blue sky box where nothing was drawn.
class SceneProgramsTest : public test::GLTest {
protected:
    static constexpr int size = 128;

    void SetUp() override
    {
        test::GLTest::SetUp();
        pbr = std::make_shared<Shader>("normalShader.vert", "pbrShader.frag");
        depth = std::make_shared<Shader>("depthShader.vert", "depthShader.frag");
        skyboxShader = std::make_shared<Shader>("skybox.vert", "skybox.frag");
        sky = std::make_unique<Cubemap>();
        floorMesh = std::make_unique<Mesh>(facesMesh({{glm::vec3(0, 1, 0), glm::vec3(1, 0, 0)}}, 10.0f, false));
        shadow.create();
        scene.create();
        scene.resize(size, size);
        const std::array<unsigned char, 3> skyBlue{120, 170, 230};
        glActiveTexture(GL_TEXTURE10);
        glBindTexture(GL_TEXTURE_CUBE_MAP, sky->texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        for (GLenum face = 0; face < 6; ++face)
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         skyBlue.data());
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glActiveTexture(GL_TEXTURE0);
    }

    void TearDown() override
    {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }

    void render(const std::vector<Drawn>& drawn, glm::vec3 eye, glm::vec3 target, bool withSky)
    {
        light.follow(glm::vec3(0.0f));
        depth->use();
        depth->setMat4("lightSpaceMatrix", light.lightSpaceMatrix);
        glViewport(0, 0, shadow.width, shadow.height);
        shadow.bind();
        glEnable(GL_DEPTH_TEST);
        glClear(GL_DEPTH_BUFFER_BIT);
        for (const Drawn& d : drawn)
            d.mesh->draw(*depth, d.model);

        viewProjection = glm::perspective(glm::radians(45.0f), 1.0f, 0.1f, 100.0f) *
                         glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
        scene.bind();
        glViewport(0, 0, size, size);
        glEnable(GL_CULL_FACE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        pbr->use();
        pbr->setMat4("viewProjMatrix", viewProjection);
        pbr->setVec3("camera_world", eye);
        pbr->setFloat("nearZ", 0.1f);
        pbr->setFloat("farZ", 100.0f);
        pbr->setFloat("gamma", 2.2f);
        pbr->setFloat("focalDepth", -30.0f);
        pbr->setFloat("focalRange", 700.0f);
        pbr->setVec3("dirL.color", light.light->color);
        pbr->setVec3("dirL.direction", light.light->direction);
        pbr->setInt("dirL.enabled", 1);
        pbr->setInt("skybox", 10);
        pbr->setInt("shadowMap", 11);
        pbr->setMat4("lightSpaceMatrix", light.lightSpaceMatrix);
        glActiveTexture(GL_TEXTURE11);
        glBindTexture(GL_TEXTURE_2D, shadow.texture);
        for (const Drawn& d : drawn)
            d.mesh->draw(*pbr, d.model);
        if (withSky) {
            glActiveTexture(GL_TEXTURE10);
            glBindTexture(GL_TEXTURE_CUBE_MAP, sky->texture);
            skyboxShader->use();
            skyboxShader->setInt("skybox", 10);
            const glm::mat4 view = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
            skyboxShader->setMat4("viewProjMatrix", glm::perspective(glm::radians(45.0f), 1.0f, 0.1f, 100.0f) *
                                                        glm::mat4(glm::mat3(view)));
            glDepthFunc(GL_LEQUAL);
            sky->draw();
            glDepthFunc(GL_LESS);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
    }

    // Luminance where a world point lands on the scene target (or the bloom target);
    // -1 where it is off screen.
    float luminance(glm::vec3 world, GLenum attachment = GL_COLOR_ATTACHMENT0)
    {
        const glm::vec4 clip = viewProjection * glm::vec4(world, 1.0f);
        const glm::ivec2 p = glm::floor((glm::vec2(clip) / clip.w * 0.5f + 0.5f) * float(size));
        if (p.x < 0 || p.y < 0 || p.x >= size || p.y >= size)
            return -1.0f;
        const auto c = test::framebufferPixel(scene.framebuffer, attachment, p.x, p.y);
        return 0.2126f * c[0] + 0.7152f * c[1] + 0.0722f * c[2];
    }

    std::shared_ptr<Shader> pbr, depth, skyboxShader;
    DepthFramebuffer shadow{2048, 2048};
    FramebufferExtra scene{size, size};
    std::unique_ptr<Cubemap> sky; // made in SetUp: they need the context current
    std::unique_ptr<Mesh> floorMesh;
    Skylight light;
    glm::mat4 viewProjection{1.0f};
};

TEST_F(SceneProgramsTest, ShadowMeetsTheFootOfABoxAndTheOpenFloorHasNoAcne)
{
    // The light falls along (-1, -1, 1): a cube's shadow lies towards -X and +Z from its base.
    Mesh cube = facesMesh({{glm::vec3(1, 0, 0), glm::vec3(0, 0, -1)}, {glm::vec3(-1, 0, 0), glm::vec3(0, 0, 1)},
                           {glm::vec3(0, 1, 0), glm::vec3(1, 0, 0)}, {glm::vec3(0, -1, 0), glm::vec3(1, 0, 0)},
                           {glm::vec3(0, 0, 1), glm::vec3(1, 0, 0)}, {glm::vec3(0, 0, -1), glm::vec3(-1, 0, 0)}},
                          1.0f, true);
    render({{floorMesh.get(), glm::mat4(1.0f)}, {&cube, glm::translate(glm::mat4(1.0f), glm::vec3(1.0f))}},
           glm::vec3(0.0f, 25.0f, 0.01f), glm::vec3(0.0f), true);
    const float lit = luminance({5.0f, 0.0f, -3.0f});
    ASSERT_GT(lit, 0.0f);
    EXPECT_LT(luminance({-0.3f, 0.0f, 1.0f}), 0.5f * lit) << "a gap of light under the box";
    EXPECT_GT(luminance({-1.0f, 0.0f, 2.5f}), 0.0f) << "the sky still lights what the sun cannot reach";
    EXPECT_GT(luminance({2.4f, 0.0f, 1.0f}), 0.8f * lit) << "the lit side of the base";

    // A low camera sees the open floor at a grazing angle across many shadow texels.
    render({{floorMesh.get(), glm::mat4(1.0f)}}, glm::vec3(12.0f, 3.0f, 0.0f), glm::vec3(0.0f), false);
    std::vector<float> shades;
    for (float x = -6.0f; x <= 6.0f; x += 0.37f)
        for (float z = -6.0f; z <= 6.0f; z += 0.41f)
            if (const float l = luminance({x, 0.0f, z}); l >= 0.0f)
                shades.push_back(l);
    ASSERT_GT(shades.size(), 300u);
    EXPECT_GT(*std::min_element(shades.begin(), shades.end()), 0.8f * *std::max_element(shades.begin(), shades.end()))
        << "self-shadowing stripes on an open floor";
}

TEST_F(SceneProgramsTest, SkyShowsOnlyWhereNothingWasDrawnAndOnlyLightAboveOneBlooms)
{
    render({{floorMesh.get(), glm::mat4(1.0f)}}, glm::vec3(0.0f, 5.0f, 20.0f), glm::vec3(0.0f, 5.0f, 0.0f), true);
    const auto top = test::framebufferPixel(scene.framebuffer, GL_COLOR_ATTACHMENT0, size / 2, size - 4);
    const auto ground = test::framebufferPixel(scene.framebuffer, GL_COLOR_ATTACHMENT0, size / 2, 4);
    EXPECT_NEAR(top[2], std::pow(230.0f / 255.0f, 2.2f), 0.01f);
    EXPECT_FLOAT_EQ(top[3], 1.0f) << "the sky is as far out of focus as anything";
    EXPECT_LT(ground[2] / std::max(ground[0], 1e-3f), top[2] / top[0]) << "the floor is not overdrawn by the sky";

    const glm::vec3 spot{3.0f, 0.0f, 3.0f};
    render({{floorMesh.get(), glm::mat4(1.0f)}}, glm::vec3(0.0f, 30.0f, 0.01f), glm::vec3(0.0f), false);
    ASSERT_TRUE(luminance(spot) >= 0.0f && luminance(spot) < 1.0f);
    EXPECT_FLOAT_EQ(luminance(spot, GL_COLOR_ATTACHMENT1), 0.0f);
    pbr->use();
    pbr->setVec3("emission", glm::vec3(4.0f, 2.0f, 1.0f));
    render({{floorMesh.get(), glm::mat4(1.0f)}}, glm::vec3(0.0f, 30.0f, 0.01f), glm::vec3(0.0f), false);
    pbr->use();
    pbr->setVec3("emission", glm::vec3(0.0f));
    EXPECT_GT(luminance(spot), 2.0f);
    EXPECT_GT(luminance(spot, GL_COLOR_ATTACHMENT1), 0.5f);
    EXPECT_LT(luminance(spot, GL_COLOR_ATTACHMENT1), luminance(spot)) << "only the part above 1";
}

} // namespace
} // namespace fennik::render
