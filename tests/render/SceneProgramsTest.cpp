#include "render/Cubemap.hpp"
#include "render/DepthFramebuffer.hpp"
#include "render/FramebufferExtra.hpp"
#include "render/Mesh.hpp"
#include "render/Shader.hpp"
#include "render/Skylight.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace fennik::render {
namespace {

// Geometry built in code, so that these tests look at the programs and not at a model
// file: square faces, each given by its normal and tangent, pushed out along the
// normal for a box or lying through the origin for a flat quad.
using Face = std::array<glm::vec3, 2>;

Mesh facesMesh(const std::string& name, const std::vector<Face>& faces, glm::vec3 halfExtents, bool box)
{
    std::vector<Vertex> vertices;
    std::vector<unsigned int> indices;
    for (const auto& [normal, tangent] : faces) {
        const glm::vec3 bitangent = glm::cross(normal, tangent);
        const auto base = static_cast<unsigned int>(vertices.size());
        for (auto [u, v] : {std::array<float, 2>{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
            Vertex vertex;
            vertex.position = ((box ? normal : glm::vec3(0.0f)) + tangent * u + bitangent * v) * halfExtents;
            vertex.normal = normal;
            vertex.texCoords = {u * 0.5f + 0.5f, v * 0.5f + 0.5f};
            vertex.tangent = tangent;
            vertex.bitangent = bitangent;
            vertices.push_back(vertex);
        }
        for (unsigned int i : {0u, 1u, 2u, 0u, 2u, 3u})
            indices.push_back(base + i);
    }
    return Mesh(name, Material{}, {}, std::move(indices), std::move(vertices));
}

Mesh boxMesh(const std::string& name, glm::vec3 halfExtents)
{
    return facesMesh(name,
                     {{glm::vec3(1, 0, 0), glm::vec3(0, 0, -1)}, {glm::vec3(-1, 0, 0), glm::vec3(0, 0, 1)},
                      {glm::vec3(0, 1, 0), glm::vec3(1, 0, 0)}, {glm::vec3(0, -1, 0), glm::vec3(1, 0, 0)},
                      {glm::vec3(0, 0, 1), glm::vec3(1, 0, 0)}, {glm::vec3(0, 0, -1), glm::vec3(-1, 0, 0)}},
                     halfExtents, true);
}

struct Drawn {
    Mesh* mesh;
    glm::mat4 model;
};

// The shadow and scene stages of the renderer, reduced to what the programs need:
// a shadow map around the origin, then the lit scene into a two-target float
// framebuffer, then the sky box where nothing was drawn.
class SceneProgramsTest : public test::GLTest {
protected:
    static constexpr int size = 128;

    void SetUp() override
    {
        test::GLTest::SetUp();
        pbr = std::make_shared<Shader>("normalShader.vert", "pbrShader.frag");
        plain = std::make_shared<Shader>("normalShader.vert", "normalShader.frag");
        depth = std::make_shared<Shader>("depthShader.vert", "depthShader.frag");
        skyboxShader = std::make_shared<Shader>("skybox.vert", "skybox.frag");
        sky = std::make_unique<Cubemap>();
        floorMesh = std::make_unique<Mesh>(facesMesh("floor", {{glm::vec3(0, 1, 0), glm::vec3(1, 0, 0)}},
                                                     glm::vec3(10.0f), false));
        shadow.create();
        scene.create();
        scene.resize(size, size);
        // A sky of one colour on every face: light blue.
        const std::array<unsigned char, 3> skyBlue{120, 170, 230};
        glActiveTexture(GL_TEXTURE10);
        glBindTexture(GL_TEXTURE_CUBE_MAP, sky->texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        for (GLenum face = 0; face < 6; ++face)
            glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         skyBlue.data());
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glActiveTexture(GL_TEXTURE0);
        lookFrom(glm::vec3(0.0f, 30.0f, 0.01f), glm::vec3(0.0f));
    }

    void TearDown() override
    {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }

    void lookFrom(glm::vec3 eye, glm::vec3 target)
    {
        cameraPosition = eye;
        view = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
        projection = glm::perspective(glm::radians(45.0f), 1.0f, 0.1f, 100.0f);
    }

    void renderShadows(const std::vector<Drawn>& drawn)
    {
        light.follow(glm::vec3(0.0f));
        depth->use();
        depth->setMat4("lightSpaceMatrix", light.lightSpaceMatrix);
        glViewport(0, 0, shadow.width, shadow.height);
        shadow.bind();
        glEnable(GL_DEPTH_TEST);
        glClear(GL_DEPTH_BUFFER_BIT);
        glDisable(GL_CULL_FACE);
        for (const Drawn& d : drawn)
            d.mesh->draw(*depth, d.model);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    void renderScene(Shader& program, const std::vector<Drawn>& drawn, bool withSky = true)
    {
        scene.bind();
        glViewport(0, 0, size, size);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        program.use();
        program.setMat4("viewProjMatrix", projection * view);
        program.setVec3("camera_world", cameraPosition);
        program.setFloat("nearZ", 0.1f);
        program.setFloat("farZ", 100.0f);
        program.setInt("showDepthMap", showDepthMap);
        program.setInt("drawNormal", drawNormal);
        program.setFloat("gamma", 2.2f);
        program.setFloat("focalDepth", focalDepth);
        program.setFloat("focalRange", 700.0f);
        program.setVec3("dirL.color", light.light->color);
        program.setVec3("dirL.direction", light.light->direction);
        program.setInt("dirL.enabled", 1);
        program.setInt("skybox", 10);
        program.setInt("shadowMap", 11);
        glActiveTexture(GL_TEXTURE11);
        glBindTexture(GL_TEXTURE_2D, shadow.texture);
        program.setMat4("lightSpaceMatrix", light.lightSpaceMatrix);
        for (const Drawn& d : drawn)
            d.mesh->draw(program, d.model);

        if (withSky) {
            glActiveTexture(GL_TEXTURE10);
            glBindTexture(GL_TEXTURE_CUBE_MAP, sky->texture);
            skyboxShader->use();
            skyboxShader->setInt("skybox", 10);
            skyboxShader->setMat4("viewProjMatrix", projection * glm::mat4(glm::mat3(view)));
            glDepthFunc(GL_LEQUAL);
            sky->draw();
            glDepthFunc(GL_LESS);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
    }

    // The pixel of the scene target where a world point lands.
    std::array<float, 4> pixelAt(glm::vec3 world, GLenum attachment = GL_COLOR_ATTACHMENT0)
    {
        const glm::ivec2 p = screenPoint(world);
        EXPECT_TRUE(onScreen(p)) << "test point off screen";
        return pixel(p.x, p.y, attachment);
    }

    glm::ivec2 screenPoint(glm::vec3 world) const
    {
        const glm::vec4 clip = projection * view * glm::vec4(world, 1.0f);
        const glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return {static_cast<int>(std::floor((ndc.x * 0.5f + 0.5f) * size)),
                static_cast<int>(std::floor((ndc.y * 0.5f + 0.5f) * size))};
    }

    static bool onScreen(glm::ivec2 p) { return p.x >= 0 && p.y >= 0 && p.x < size && p.y < size; }

    std::array<float, 4> pixel(int x, int y, GLenum attachment = GL_COLOR_ATTACHMENT0)
    {
        return test::framebufferPixel(scene.framebuffer, attachment, x, y);
    }

    static float luminance(const std::array<float, 4>& p) { return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2]; }

    std::shared_ptr<Shader> pbr, plain, depth, skyboxShader;
    DepthFramebuffer shadow{2048, 2048};
    FramebufferExtra scene{size, size};
    // Made in SetUp: they need the context current.
    std::unique_ptr<Cubemap> sky;
    std::unique_ptr<Mesh> floorMesh;
    Skylight light;
    glm::vec3 cameraPosition{0.0f};
    glm::mat4 view{1.0f}, projection{1.0f};
    int showDepthMap = 0;
    int drawNormal = 0;
    float focalDepth = -30.0f;
};

TEST_F(SceneProgramsTest, OpenFloorIsEvenlyLitWithoutAcne)
{
    const std::vector<Drawn> drawn{{floorMesh.get(), glm::mat4(1.0f)}};
    renderShadows(drawn);
    // A low camera, so the floor is seen at a grazing angle across many shadow texels.
    lookFrom(glm::vec3(12.0f, 3.0f, 0.0f), glm::vec3(0.0f));
    renderScene(*pbr, drawn, false);

    float lowest = 1e9f, highest = 0.0f;
    int samples = 0;
    for (float x = -6.0f; x <= 6.0f; x += 0.37f)
        for (float z = -6.0f; z <= 6.0f; z += 0.41f) {
            if (!onScreen(screenPoint({x, 0.0f, z})))
                continue;
            ++samples;
            const float l = luminance(pixelAt({x, 0.0f, z}));
            lowest = std::min(lowest, l);
            highest = std::max(highest, l);
        }
    ASSERT_GT(samples, 300);
    ASSERT_GT(highest, 0.0f);
    EXPECT_GT(lowest, 0.8f * highest) << "self-shadowing stripes on an open floor";
}

TEST_F(SceneProgramsTest, ShadowMeetsTheFootOfABoxStandingOnTheFloor)
{
    // A 2-unit cube standing on the floor. The light falls along (-1, -1, 1), so the
    // shadow lies towards -X and +Z and starts right at the cube's base.
    Mesh cube = boxMesh("cube", {1.0f, 1.0f, 1.0f});
    const std::vector<Drawn> drawn{{floorMesh.get(), glm::mat4(1.0f)},
                                   {&cube, glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 1.0f, 1.0f))}};
    renderShadows(drawn);
    lookFrom(glm::vec3(0.0f, 25.0f, 0.01f), glm::vec3(0.0f));
    renderScene(*pbr, drawn);

    const float lit = luminance(pixelAt({5.0f, 0.0f, -3.0f}));
    // 0.3 units beside the base on the shadow side, and well inside the shadow.
    EXPECT_LT(luminance(pixelAt({-0.3f, 0.0f, 1.0f})), 0.5f * lit) << "a gap of light under the box";
    const float shaded = luminance(pixelAt({-1.0f, 0.0f, 2.5f}));
    EXPECT_LT(shaded, 0.5f * lit);
    EXPECT_GT(shaded, 0.0f) << "the sky still lights what the sun cannot reach";
    // And not on the lit side of the base.
    EXPECT_GT(luminance(pixelAt({2.4f, 0.0f, 1.0f})), 0.8f * lit);
}

TEST_F(SceneProgramsTest, SkyShowsOnlyWhereNothingWasDrawn)
{
    lookFrom(glm::vec3(0.0f, 5.0f, 20.0f), glm::vec3(0.0f, 5.0f, 0.0f)); // horizon across the middle
    const std::vector<Drawn> drawn{{floorMesh.get(), glm::mat4(1.0f)}};
    renderShadows(drawn);
    renderScene(*pbr, drawn);

    const float skyBlue = std::pow(230.0f / 255.0f, 2.2f);
    const auto top = pixel(size / 2, size - 4);
    EXPECT_NEAR(top[2], skyBlue, 0.01f);
    EXPECT_GT(top[2], top[0]);
    EXPECT_FLOAT_EQ(top[3], 1.0f) << "the sky is as far out of focus as anything";

    const auto ground = pixel(size / 2, 4);
    EXPECT_GT(std::abs(ground[2] - skyBlue), 0.05f) << "the floor in front is not overdrawn by the sky";
    EXPECT_LT(ground[2] / std::max(ground[0], 1e-3f), top[2] / top[0]) << "a grey floor is not sky blue";
}

TEST_F(SceneProgramsTest, NormalDisplayShowsTheFacingDirection)
{
    Mesh cube = boxMesh("cube", {2.0f, 2.0f, 2.0f});
    const std::vector<Drawn> drawn{{&cube, glm::mat4(1.0f)}};
    lookFrom(glm::vec3(10.0f, 10.0f, 10.0f), glm::vec3(0.0f));
    renderShadows(drawn);

    drawNormal = 1;
    for (Shader* program : {pbr.get(), plain.get()}) {
        renderScene(*program, drawn, false);
        const auto top = pixelAt({0.0f, 2.0f, 0.0f});
        const auto side = pixelAt({2.0f, 0.0f, 0.0f});
        EXPECT_NEAR(top[0], 0.5f, 0.02f);
        EXPECT_NEAR(top[1], 1.0f, 0.02f);
        EXPECT_NEAR(side[0], 1.0f, 0.02f);
        EXPECT_NEAR(side[1], 0.5f, 0.02f);
    }

    // The plain program shows the normals as colours without the toggle too.
    drawNormal = 0;
    renderScene(*plain, drawn, false);
    const auto top = pixelAt({0.0f, 2.0f, 0.0f});
    const auto front = pixelAt({0.0f, 0.0f, 2.0f});
    EXPECT_GT(top[1], top[0]);
    EXPECT_GT(top[1], top[2]);
    EXPECT_GT(front[2], front[0]);
    EXPECT_GT(front[2], front[1]);
}

TEST_F(SceneProgramsTest, DepthDisplayDarkensTowardsTheCamera)
{
    const std::vector<Drawn> drawn{{floorMesh.get(), glm::mat4(1.0f)}};
    lookFrom(glm::vec3(0.0f, 4.0f, 14.0f), glm::vec3(0.0f));
    renderShadows(drawn);
    showDepthMap = 1;
    renderScene(*pbr, drawn, false);
    const float nearShade = pixelAt({0.0f, 0.0f, 8.0f})[0];
    const float farShade = pixelAt({0.0f, 0.0f, -8.0f})[0];
    EXPECT_LT(nearShade, farShade);
    EXPECT_GT(farShade, 0.0f);
}

TEST_F(SceneProgramsTest, FocusAmountGrowsAwayFromTheFocalPlane)
{
    const std::vector<Drawn> drawn{{floorMesh.get(), glm::mat4(1.0f)}};
    lookFrom(glm::vec3(0.0f, 10.0f, 40.0f), glm::vec3(0.0f));
    focalDepth = -glm::length(glm::vec3(0.0f, 10.0f, 40.0f));
    renderShadows(drawn);
    renderScene(*pbr, drawn);

    EXPECT_FLOAT_EQ(pixelAt({0.0f, 0.0f, 0.0f})[3], 0.0f) << "sharp at the focal plane";
    const float behind = pixelAt({0.0f, 0.0f, -9.0f})[3];
    EXPECT_GT(behind, 0.0f);
    EXPECT_LT(behind, 1.0f);
}

TEST_F(SceneProgramsTest, OnlyPartsBrighterThanOneReachTheBloomTarget)
{
    const std::vector<Drawn> drawn{{floorMesh.get(), glm::mat4(1.0f)}};
    renderShadows(drawn);
    renderScene(*pbr, drawn, false);
    const auto lit = pixelAt({3.0f, 0.0f, 3.0f});
    ASSERT_LT(luminance(lit), 1.0f);
    EXPECT_FLOAT_EQ(luminance(pixelAt({3.0f, 0.0f, 3.0f}, GL_COLOR_ATTACHMENT1)), 0.0f);

    pbr->use();
    pbr->setVec3("emission", glm::vec3(4.0f, 2.0f, 1.0f));
    renderScene(*pbr, drawn, false);
    pbr->use();
    pbr->setVec3("emission", glm::vec3(0.0f));
    const auto glowing = pixelAt({3.0f, 0.0f, 3.0f});
    const auto bright = pixelAt({3.0f, 0.0f, 3.0f}, GL_COLOR_ATTACHMENT1);
    EXPECT_GT(luminance(glowing), 2.0f);
    EXPECT_GT(luminance(bright), 0.5f);
    EXPECT_LT(luminance(bright), luminance(glowing)) << "only the part above 1";
    EXPECT_GT(bright[0], bright[2]) << "keeps its hue";
}

TEST_F(SceneProgramsTest, DiffuseTextureReplacesTheMaterialColour)
{
    const GLuint red = test::solidTexture({220, 30, 30, 255});
    Mesh textured("textured", Material{}, {Texture{red, "texture_diffuse", "red.png"}}, floorMesh->indices,
                  floorMesh->vertices);
    const std::vector<Drawn> drawn{{&textured, glm::mat4(1.0f)}};
    renderShadows(drawn);
    renderScene(*pbr, drawn, false);
    const auto p = pixelAt({2.0f, 0.0f, 2.0f});
    EXPECT_GT(p[0], 4.0f * p[1]);

    GLint boundOnUnitZero = -1;
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundOnUnitZero);
    EXPECT_EQ(boundOnUnitZero, 0);
    glDeleteTextures(1, &red);
}

TEST_F(SceneProgramsTest, NormalMapTiltsTheShading)
{
    // The floor's tangent is +X and the sun shines from +X (and above, and -Z):
    // a map leaning along +X tangent turns the surface towards it, -X away.
    const GLuint towardsLight = test::solidTexture({200, 128, 200, 255});
    const GLuint awayFromLight = test::solidTexture({55, 128, 200, 255});
    Mesh tiltedToLight("toLight", Material{}, {Texture{towardsLight, "texture_normal", "a.png"}}, floorMesh->indices,
                       floorMesh->vertices);
    Mesh tiltedAway("away", Material{}, {Texture{awayFromLight, "texture_normal", "b.png"}}, floorMesh->indices,
                    floorMesh->vertices);

    renderShadows({{floorMesh.get(), glm::mat4(1.0f)}});
    renderScene(*pbr, {{&tiltedToLight, glm::mat4(1.0f)}}, false);
    const float towards = luminance(pixelAt({2.0f, 0.0f, 2.0f}));
    renderScene(*pbr, {{&tiltedAway, glm::mat4(1.0f)}}, false);
    const float away = luminance(pixelAt({2.0f, 0.0f, 2.0f}));
    EXPECT_GT(towards, 1.3f * away);
    glDeleteTextures(1, &towardsLight);
    glDeleteTextures(1, &awayFromLight);
}

} // namespace
} // namespace fennik::render
