#include "physics/BulletDebugDrawer.hpp"

#include "render/Shader.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/OffscreenTarget.hpp"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

namespace fennik::physics {
namespace {

// Counts the segments Bullet hands over, and still draws them.
class CountingDrawer : public BulletDebugDrawer {
public:
    void drawLine(const btVector3& from, const btVector3& to, const btVector3& color) override
    {
        ++segments;
        BulletDebugDrawer::drawLine(from, to, color);
    }
    int segments = 0;
};

const char* const lineVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 viewProjMatrix;
void main() { gl_Position = viewProjMatrix * vec4(position, 1.0); }
)";
const char* const lineFragment = R"(#version 330 core
out vec4 colour;
void main() { colour = vec4(1.0, 1.0, 0.0, 1.0); }
)";

struct BoxWorld {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    btBoxShape shape{btVector3(1, 1, 1)};
    btDefaultMotionState leftState{btTransform(btQuaternion::getIdentity(), btVector3(-2, 0, 0))};
    btDefaultMotionState rightState{btTransform(btQuaternion::getIdentity(), btVector3(2, 0, 0))};
    btRigidBody left{0.0f, &leftState, &shape};
    btRigidBody right{0.0f, &rightState, &shape};

    BoxWorld()
    {
        world.addRigidBody(&left);
        world.addRigidBody(&right);
    }
    ~BoxWorld()
    {
        world.removeRigidBody(&left);
        world.removeRigidBody(&right);
    }
};

class DebugDrawerTest : public test::GLTest {};

TEST_F(DebugDrawerTest, EachBoxIsTwelveSegmentsDrawnWithTheCurrentProgram)
{
    BoxWorld boxes;
    CountingDrawer drawer;
    drawer.setDebugMode(btIDebugDraw::DBG_DrawWireframe);
    boxes.world.setDebugDrawer(&drawer);
    EXPECT_EQ(drawer.lineVertexArray, 0u) << "no GL objects before the first segment";

    auto shader = render::Shader::fromSources(lineVertex, lineFragment);
    shader->use();
    shader->setMat4("viewProjMatrix", glm::ortho(-4.0f, 4.0f, -4.0f, 4.0f, -10.0f, 10.0f));
    test::OffscreenTarget target(viewportSize, viewportSize);
    glDisable(GL_DEPTH_TEST);

    boxes.world.debugDrawWorld();
    EXPECT_EQ(drawer.segments, 24);
    EXPECT_NE(drawer.lineVertexArray, 0u);

    target.save("debug_lines.png");
    const auto yellow = [&target](int x, int y) { return target.pixel(x, y) == glm::u8vec4(255, 255, 0, 255); };
    // Box edges at x = -3, -1, 1, 3 (pixels 8, 24, 40, 56); the box insides stay empty.
    int yellowOnLeftEdge = 0;
    for (int y = 0; y < viewportSize; ++y)
        yellowOnLeftEdge += yellow(8, y) || yellow(7, y) ? 1 : 0;
    EXPECT_GE(yellowOnLeftEdge, 14);
    EXPECT_FALSE(yellow(16, 32));
    EXPECT_FALSE(yellow(32, 32));
    boxes.world.setDebugDrawer(nullptr);
}

TEST(DebugDrawerReports, WarningsGoToTheConsoleWithoutATag)
{
    test::LogCapture log;
    BulletDebugDrawer drawer;
    drawer.reportErrorWarning("too many contacts");
    EXPECT_EQ(log.text(), "too many contacts\n");
}

} // namespace
} // namespace fennik::physics
