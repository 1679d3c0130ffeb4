#include "render/DepthFramebuffer.hpp"
#include "render/Framebuffer.hpp"
#include "render/FramebufferExtra.hpp"

#include "support/GLPictures.hpp"
#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"

#include <array>

namespace fennik::render {
namespace {

using Size = std::array<GLint, 2>;

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

    DepthFramebuffer shadow(64, 64);
    shadow.create();
    shadow.resize(800, 600);
    EXPECT_EQ(test::textureSize(shadow.texture), (Size{64, 64})) << "the shadow map has its own size";
}

TEST_F(FramebufferTest, IncompleteTargetIsReportedAndStillUsable)
{
    test::LogCapture log;
    Framebuffer empty(0, 0);
    empty.create();
    EXPECT_EQ(log.count("ERROR::FRAMEBUFFER:: Framebuffer is not complete!"), 1u);
    empty.resize(8, 8);
    EXPECT_TRUE(isComplete(empty));
}

TEST_F(FramebufferTest, DestructionReleasesTheObjects)
{
    GLuint framebuffer = 0, bright = 0;
    {
        FramebufferExtra scene(4, 4);
        scene.create();
        framebuffer = scene.framebuffer;
        bright = scene.brightTexture;
    }
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    EXPECT_FALSE(glIsTexture(bright));
}

} // namespace
} // namespace fennik::render
