#include "render/DepthFramebuffer.hpp"
#include "render/Framebuffer.hpp"
#include "render/FramebufferExtra.hpp"
#include "render/QuadRender.hpp"
#include "render/Shader.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"

#include <array>
#include <vector>

namespace fennik::render {
namespace {

constexpr const char* incompleteLine = "ERROR::FRAMEBUFFER:: Framebuffer is not complete!";

bool isComplete(const FramebufferBase& target)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

class FramebufferTest : public test::GLTest {};

TEST_F(FramebufferTest, ColourTargetIsCompleteFloatStorageAtItsSize)
{
    Framebuffer target(40, 24);
    test::LogCapture log;
    target.create();

    EXPECT_FALSE(log.contains(incompleteLine));
    EXPECT_TRUE(isComplete(target));
    EXPECT_EQ(test::textureFormat(target.texture), GL_RGBA32F);
    EXPECT_EQ(test::textureSize(target.texture), (std::array<GLint, 2>{40, 24}));

    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0) << "create leaves the window framebuffer bound";
}

TEST_F(FramebufferTest, ResizeKeepsEveryNameAndReallocatesTheSceneTargetAsFullFloat)
{
    Framebuffer target(16, 16);
    target.create();
    FramebufferExtra scene(256, 256);
    scene.create();
    const std::array<GLuint, 3> targetNames{target.framebuffer, target.texture, target.renderbuffer};
    const std::array<GLuint, 4> sceneNames{scene.framebuffer, scene.texture, scene.brightTexture, scene.renderbuffer};
    // Half float until the first resize, which the game makes at the size it has.
    EXPECT_EQ(test::textureFormat(scene.texture), GL_RGBA16F);
    EXPECT_EQ(test::textureFormat(scene.brightTexture), GL_RGBA16F);
    scene.resize(256, 256);
    EXPECT_EQ(test::textureFormat(scene.texture), GL_RGBA32F);
    EXPECT_EQ(test::textureFormat(scene.brightTexture), GL_RGBA32F);

    target.resize(64, 48);
    scene.resize(64, 48);

    EXPECT_EQ((std::array<GLuint, 3>{target.framebuffer, target.texture, target.renderbuffer}), targetNames);
    EXPECT_EQ((std::array<GLuint, 4>{scene.framebuffer, scene.texture, scene.brightTexture, scene.renderbuffer}),
              sceneNames);
    EXPECT_EQ(target.width, 64);
    EXPECT_EQ(target.height, 48);
    EXPECT_EQ(test::textureSize(target.texture), (std::array<GLint, 2>{64, 48}));
    EXPECT_EQ(test::textureSize(scene.texture), (std::array<GLint, 2>{64, 48}));
    EXPECT_EQ(test::textureSize(scene.brightTexture), (std::array<GLint, 2>{64, 48}));
    EXPECT_TRUE(isComplete(target));
    EXPECT_TRUE(isComplete(scene)) << "the depth-stencil storage must follow the colour size";
}

TEST_F(FramebufferTest, MinimisedWindowSizeResizesNothing)
{
    Framebuffer target(32, 32);
    target.create();
    FramebufferExtra scene(32, 32);
    scene.create();

    for (auto [w, h] : {std::array<int, 2>{0, 0}, {0, 600}, {800, 0}, {-4, -4}}) {
        target.resize(w, h);
        scene.resize(w, h);
    }

    EXPECT_EQ(target.width, 32);
    EXPECT_EQ(scene.height, 32);
    EXPECT_EQ(test::textureSize(target.texture), (std::array<GLint, 2>{32, 32}));
    EXPECT_EQ(test::textureFormat(scene.texture), GL_RGBA16F) << "an ignored resize is not a resize";
    EXPECT_TRUE(isComplete(target));
    EXPECT_TRUE(isComplete(scene));
}

TEST_F(FramebufferTest, SceneTargetWritesBothColoursInOneDraw)
{
    FramebufferExtra scene(8, 8);
    scene.create();
    auto twoOutputs = Shader::fromSources(
        "#version 430 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n",
        "#version 430 core\nlayout(location = 0) out vec4 colour;\nlayout(location = 1) out vec4 bright;\n"
        "void main() { colour = vec4(0.25, 0.5, 0.75, 1.0); bright = vec4(3.0, 0.0, 0.0, 1.0); }\n");
    QuadRender quad;

    scene.bind();
    glViewport(0, 0, 8, 8);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    twoOutputs->use();
    quad.draw(false, {0.5f, 0.5f}, {1.0f, 1.0f, 1.0f, 1.0f});
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    const auto colour = test::framebufferPixel(scene.framebuffer, GL_COLOR_ATTACHMENT0, 4, 4);
    const auto bright = test::framebufferPixel(scene.framebuffer, GL_COLOR_ATTACHMENT1, 4, 4);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    EXPECT_FLOAT_EQ(bright[0], 3.0f) << "the bright texture keeps values above 1";
}

TEST_F(FramebufferTest, IncompleteTargetIsReportedOnceAndStillUsable)
{
    test::LogCapture log;
    Framebuffer empty(0, 0);
    empty.create();
    FramebufferExtra emptyScene(0, 0);
    emptyScene.create();

    EXPECT_EQ(log.count(incompleteLine), 2u);
    for (const auto& line : log.lines())
        EXPECT_EQ(line.rfind("[", 0), std::string::npos) << "the report carries no level tag: " << line;

    // The game goes on with it: binding, clearing and a later real size all work.
    empty.bind();
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    empty.resize(8, 8);
    EXPECT_TRUE(isComplete(empty));
}

TEST_F(FramebufferTest, ShadowMapIsFixedSizeAndReadsOneOutsideItsArea)
{
    DepthFramebuffer shadow(64, 64);
    shadow.create();
    EXPECT_TRUE(isComplete(shadow));
    shadow.resize(800, 600);
    EXPECT_EQ(shadow.width, 64);
    EXPECT_EQ(test::textureSize(shadow.texture), (std::array<GLint, 2>{64, 64}));

    // Fill the map with a near depth, then sample it inside and well outside.
    shadow.bind();
    glViewport(0, 0, 64, 64);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);

    Framebuffer probe(2, 1);
    probe.create();
    auto sampler = Shader::fromSources(
        "#version 430 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n",
        "#version 430 core\nout vec4 colour;\nuniform sampler2D map;\n"
        "void main() { vec2 uv = gl_FragCoord.x < 1.0 ? vec2(0.5) : vec2(-0.7, 1.9);\n"
        "  colour = vec4(texture(map, uv).r); }\n");
    QuadRender quad;
    probe.bind();
    glViewport(0, 0, 2, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    sampler->use();
    sampler->setInt("map", 3);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, shadow.texture);
    quad.draw(false, {0.5f, 0.5f}, {1.0f, 1.0f, 1.0f, 1.0f});
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);

    EXPECT_NEAR(test::framebufferPixel(probe.framebuffer, GL_COLOR_ATTACHMENT0, 0, 0)[0], 0.25f, 1e-3f);
    EXPECT_FLOAT_EQ(test::framebufferPixel(probe.framebuffer, GL_COLOR_ATTACHMENT0, 1, 0)[0], 1.0f);
}

TEST_F(FramebufferTest, DestructionReleasesTheObjects)
{
    GLuint framebuffer = 0, texture = 0, bright = 0;
    {
        FramebufferExtra scene(4, 4);
        scene.create();
        framebuffer = scene.framebuffer;
        texture = scene.texture;
        bright = scene.brightTexture;
    }
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_FALSE(glIsTexture(bright));
}

} // namespace
} // namespace fennik::render
