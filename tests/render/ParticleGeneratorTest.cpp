#include "render/FramebufferExtra.hpp"
#include "render/ParticleGenerator.hpp"
#include "render/Shader.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <array>
#include <memory>

namespace fennik::render {
namespace {

// Stand-ins with the members the generator's templates read, as the game's entity
// and camera have them.
struct Source {
    glm::vec3 position{0.0f};
    glm::vec3 impulse{0.0f};
    int refreshed = 0;
    glm::mat4 getModelMatrix()
    {
        ++refreshed;
        return glm::translate(glm::mat4(1.0f), position);
    }
};

struct Camera {
    glm::vec3 position{0.0f, 0.0f, 10.0f};
    glm::mat4 projection = glm::perspective(glm::radians(45.0f), 1.0f, 0.1f, 100.0f);
    glm::mat4 getViewMatrix() const { return glm::lookAt(position, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f)); }
};

class ParticleGeneratorTest : public test::GLTest {
protected:
    static constexpr int size = 64;

    void SetUp() override
    {
        test::GLTest::SetUp();
        ParticlePool::lastUsedParticle = 0;
        particles = std::make_unique<ParticleGenerator>();
        shader = std::make_shared<Shader>("particleShader.vert", "particleShader.frag");
        target.create();
    }

    void drawFrame()
    {
        target.bind();
        glViewport(0, 0, size, size);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        particles->draw(*shader, camera);
        glBindVertexArray(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    std::array<float, 4> pixel(int x, int y)
    {
        return test::framebufferPixel(target.framebuffer, GL_COLOR_ATTACHMENT0, x, y);
    }

    std::unique_ptr<ParticleGenerator> particles;
    std::shared_ptr<Shader> shader;
    FramebufferExtra target{size, size};
    Camera camera;
};

TEST_F(ParticleGeneratorTest, LiveParticlesDrawAsFacingSquaresInTheirColour)
{
    Source source;
    particles->emit(source, 1, 1, 1.0f, glm::vec3(0.5f), glm::vec4(200.0f, 40.0f, 10.0f, 50.0f));
    EXPECT_EQ(source.refreshed, 1) << "the source's position is refreshed before use";
    // spread 1 puts the particle at -0.5 on every axis; with the offset it sits at the origin.
    ASSERT_EQ(particles->particles()[0].position, glm::vec3(0.0f));
    particles->particles()[0].velocity = glm::vec3(0.0f);
    particles->particles()[0].life = 1.5f; // drawn 1.5 units across

    particles->update(0.01f, camera);
    ASSERT_EQ(particles->liveCount, 1u);
    drawFrame();

    const auto centre = pixel(size / 2, size / 2);
    EXPECT_GT(centre[0], 0.5f);
    EXPECT_GT(centre[0], 3.0f * centre[1]);
    EXPECT_FLOAT_EQ(centre[3], 0.0f) << "flecks are kept in focus";
    // 1.5 units at distance 10 with a 45 degree view cover about 9 of 64 pixels.
    EXPECT_NEAR(pixel(size / 2 + 12, size / 2)[0], 0.1f, 1e-3f) << "cleared background beside it";
}

TEST_F(ParticleGeneratorTest, NothingIsDrawnWhenEveryParticleDied)
{
    Source source;
    particles->emit(source, 50, 3, 1.0f, glm::vec3(0.5f), glm::vec4(255.0f));
    particles->update(5.0f, camera);
    ASSERT_EQ(particles->liveCount, 0u);
    drawFrame();
    EXPECT_NEAR(pixel(size / 2, size / 2)[0], 0.1f, 1e-3f);
}

TEST_F(ParticleGeneratorTest, DrawLeavesBlendAndDepthStateAlone)
{
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    Source source;
    particles->emit(source, 10, 3, 1.0f, glm::vec3(0.0f), glm::vec4(0.0f));
    particles->update(0.01f, camera);
    drawFrame();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_BLEND);
}

TEST_F(ParticleGeneratorTest, MovedGeneratorKeepsItsBuffersAndParticles)
{
    Source source;
    particles->emit(source, 5, 3, 1.0f, glm::vec3(0.0f), glm::vec4(1.0f));
    const GLuint vertexArray = particles->vertexArray;
    const GLuint positions = particles->positionBuffer;

    ParticleGenerator moved(std::move(*particles));
    EXPECT_EQ(moved.vertexArray, vertexArray);
    EXPECT_EQ(moved.positionBuffer, positions);
    EXPECT_EQ(particles->vertexArray, 0u);
    EXPECT_EQ(particles->positionBuffer, 0u);
    EXPECT_GT(moved.particles()[4].life, 0.0f);

    particles.reset(); // the emptied one must not take the buffers with it
    EXPECT_TRUE(glIsVertexArray(vertexArray));
    EXPECT_TRUE(glIsBuffer(positions));
}

} // namespace
} // namespace fennik::render
