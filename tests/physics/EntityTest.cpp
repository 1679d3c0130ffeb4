#include "physics/Entity.hpp"
#include "render/Model.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <memory>

namespace fennik::physics {
namespace {


// A bare Bullet world with a static ground plane at y = 0, for entities that need
// something to stand on. It owns the entities it makes and takes their bodies out
// of the world before they are freed.
struct GroundWorld {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    btStaticPlaneShape groundShape{btVector3(0, 1, 0), 0};
    btDefaultMotionState groundState;
    btRigidBody ground{0.0f, &groundState, &groundShape};
    std::vector<std::unique_ptr<Entity>> entities;

    GroundWorld()
    {
        world.setGravity(btVector3(0, -9.81f, 0));
        ground.setFriction(1.0f);
        world.addRigidBody(&ground);
    }
    ~GroundWorld()
    {
        for (const auto& entity : entities)
            world.removeRigidBody(entity->body.get());
        world.removeRigidBody(&ground);
        entities.clear();
    }
    Entity& add(glm::vec3 position, bool rotates)
    {
        entities.push_back(std::make_unique<Entity>(nullptr, 1.0f, position, rotates, Entity::enemyType, true));
        world.addRigidBody(entities.back()->body.get());
        return *entities.back();
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            world.stepSimulation(2.0f / 60.0f, 2, 1.0f / 60.0f);
    }
};

// --- bodies ---------------------------------------------------------------------

TEST(EntityBody, WithoutAMeshIsAHalfUnitStaticBox)
{
    Entity marker(nullptr, 0.0f, {1, 2, 3}, false, Entity::interactableType, true);
    ASSERT_NE(marker.body, nullptr);
    ASSERT_EQ(marker.body->getCollisionShape()->getShapeType(), BOX_SHAPE_PROXYTYPE);
    const auto* box = static_cast<const btBoxShape*>(marker.body->getCollisionShape());
    EXPECT_NEAR(box->getHalfExtentsWithMargin().x(), 0.25f, 1e-6f);
    EXPECT_TRUE(marker.body->isStaticObject());
    EXPECT_EQ(marker.body->getCenterOfMassPosition(), btVector3(1, 2, 3));
    EXPECT_EQ(marker.body->getUserPointer(), &marker);
    EXPECT_FLOAT_EQ(marker.body->getFriction(), 1.0f);
    EXPECT_FLOAT_EQ(marker.health, 100.0f);
}

TEST(EntityBody, NeverFallsAsleep)
{
    GroundWorld ground;
    Entity& resting = ground.add({0, 0.25f, 0}, false);
    ground.tick(200);
    EXPECT_TRUE(resting.body->isActive());
    resting.body->applyCentralImpulse(btVector3(1, 0, 0));
    ground.tick();
    EXPECT_GT(resting.body->getCenterOfMassPosition().x(), 0.0f);
}

class EntityMeshTest : public test::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        test::LogCapture quiet;
        model = std::make_unique<render::Model>("tests/render/fixtures/shapes.obj");
    }
    std::unique_ptr<render::Model> model;
};

TEST_F(EntityMeshTest, BoxBodyStartsAtTheMeshCentreAndIsDrawnAroundIt)
{
    render::Mesh* sphere = model->findMesh("Sphere");
    ASSERT_NE(sphere, nullptr);
    Entity rock(sphere, 2.0f, {10, 0, 0}, false, Entity::enemyType, true);
    EXPECT_EQ(rock.body->getCollisionShape(), sphere->collisionShape.get());
    const btVector3 start = rock.body->getCenterOfMassPosition();
    EXPECT_NEAR(start.x(), 13.0f, 1e-5f);
    EXPECT_NEAR(start.y(), -0.5f, 1e-5f);
    EXPECT_NEAR(start.z(), 12.0f, 1e-5f);

    // Drawn shifted down by the centre's height only.
    const glm::mat4 drawn = rock.getModelMatrix();
    EXPECT_NEAR(drawn[3].x, 13.0f, 1e-5f);
    EXPECT_NEAR(drawn[3].y, 0.0f, 1e-5f);
    EXPECT_NEAR(drawn[3].z, 12.0f, 1e-5f);
    EXPECT_NEAR(rock.position.y, -0.5f, 1e-5f);
}

TEST_F(EntityMeshTest, HullBodyStaysAtTheGivenPosition)
{
    render::Mesh* hull = model->findMesh("Sphere.001");
    ASSERT_NE(hull, nullptr);
    Entity wall(hull, 0.0f, {0, 0, 0}, false, Entity::levelGeometryType, true);
    EXPECT_EQ(wall.body->getCenterOfMassPosition(), btVector3(0, 0, 0));
    EXPECT_EQ(wall.getModelMatrix(), glm::mat4(1.0f));
}

// --- movement -------------------------------------------------------------------

TEST(EntityMovement, ImpulsesStopAtTwentyTwo)
{
    Entity walker(nullptr, 1.0f, {0, 0, 0}, false, Entity::enemyType, true);
    walker.moveDirection = {0, 0, -1};

    walker.body->setLinearVelocity(btVector3(21.9f, 0, 0));
    walker.applyMovement();
    EXPECT_NEAR(walker.body->getLinearVelocity().z(), -15.0f, 1e-4f);

    // Speed counts on all three axes: falling fast also stops the walking impulse.
    walker.body->setLinearVelocity(btVector3(0, -22.0f, 0));
    walker.applyMovement();
    EXPECT_EQ(walker.body->getLinearVelocity(), btVector3(0, -22.0f, 0));
    EXPECT_EQ(walker.impulse, glm::vec3(0, 0, -15.0f));
    // The facing still follows the input.
    EXPECT_EQ(walker.facing, glm::vec3(0, 0, -1));
}

TEST(EntityMovement, ImpulseScalesWithMassAndSmallSpeedLimits)
{
    Entity heavy(nullptr, 11.0f, {0, 0, 0}, false, Entity::playerType, true);
    heavy.moveDirection = {1, 0, 0};
    heavy.applyMovement();
    EXPECT_NEAR(heavy.body->getLinearVelocity().x(), 15.0f / 11.0f, 1e-5f);

    // Below a limit of 3 no impulse could ever pass the gate; the impulse is scaled
    // down and still not applied.
    Entity slow(nullptr, 1.0f, {0, 0, 0}, false, Entity::enemyType, true);
    slow.maxSpeed = 1.5f;
    slow.moveDirection = {1, 0, 0};
    slow.applyMovement();
    EXPECT_EQ(slow.impulse, glm::vec3(7.5f, 0, 0));
    EXPECT_EQ(slow.body->getLinearVelocity(), btVector3(0, 0, 0));
}

TEST(EntityMovement, FacingKeepsTheLastInputAndTurnsTheModel)
{
    Entity walker(nullptr, 1.0f, {0, 0, 0}, false, Entity::enemyType, true);
    EXPECT_EQ(walker.getModelMatrix(), glm::mat4(1.0f)) << "a zero facing adds no turn";

    const auto forward = [&walker] {
        const glm::mat4 matrix = walker.getModelMatrix();
        return glm::vec3(matrix * glm::vec4(1, 0, 0, 0));
    };
    const struct {
        glm::vec3 input;
        glm::vec3 drawnForward;
    } cases[] = {{{1, 0, 0}, {1, 0, 0}}, {{-1, 0, 0}, {-1, 0, 0}}, {{0, 0, 1}, {0, 0, 1}}, {{0, 0, -1}, {0, 0, -1}}};
    for (const auto& c : cases) {
        walker.moveDirection = c.input;
        walker.applyMovement();
        const glm::vec3 drawn = forward();
        EXPECT_NEAR(drawn.x, c.drawnForward.x, 1e-5f);
        EXPECT_NEAR(drawn.z, c.drawnForward.z, 1e-5f);
    }

    walker.moveDirection = glm::vec3(0.0f);
    walker.applyMovement();
    EXPECT_EQ(walker.facing, glm::vec3(0, 0, -1));
}

// --- knockback and damage ------------------------------------------------------

TEST(EntityKnockback, UprightBodyStaysUprightAndARotatingOneTips)
{
    GroundWorld ground;
    Entity& upright = ground.add({0, 0.25f, 0}, false);
    Entity& tumbling = ground.add({0, 0.25f, 20}, true);
    ground.tick(5);

    // The push goes through the centre, so it turns nothing by itself; a body that
    // can rotate is tipped over by the ground's friction as it is thrown sideways.
    upright.knockback({1, 0, 0});
    tumbling.knockback({1, 0, 0});
    EXPECT_NEAR(upright.body->getLinearVelocity().x(), 150.0f, 1e-3f);

    float tumblingSpin = 0.0f;
    for (int i = 0; i < 10; ++i) {
        ground.tick();
        EXPECT_EQ(upright.body->getAngularVelocity(), btVector3(0, 0, 0));
        tumblingSpin = std::max(tumblingSpin, tumbling.body->getAngularVelocity().length());
    }
    const btQuaternion uprightTurn = upright.body->getOrientation();
    EXPECT_NEAR(uprightTurn.getAngle(), 0.0f, 1e-6f);
    EXPECT_GT(tumblingSpin, 1.0f);
    EXPECT_GT(tumbling.body->getOrientation().getAngle(), 0.05f);
}

TEST(EntityDamage, HitPushesAndHurtsAndHealthMayGoNegative)
{
    test::LogCapture quiet; // the sound engine may report a missing device
    Entity target(nullptr, 2.0f, {0, 0, 0}, false, Entity::enemyType, true);
    target.health = 3.0f;
    target.hit({0, 0, -1});
    EXPECT_FLOAT_EQ(target.health, -2.0f);
    EXPECT_NEAR(target.body->getLinearVelocity().z(), -75.0f, 1e-3f);
}

// --- reset ----------------------------------------------------------------------

TEST(EntityReset, PutsTheBodyBackAtOnceWithFullHealth)
{
    GroundWorld ground;
    Entity& wanderer = ground.add({2, 0.25f, 3}, true);
    wanderer.knockback({1, 0, 0});
    ground.tick(10);
    wanderer.health = -10.0f;
    ASSERT_GT(wanderer.getModelMatrix()[3].x, 10.0f);

    wanderer.reset();
    EXPECT_FLOAT_EQ(wanderer.health, 100.0f);
    EXPECT_EQ(wanderer.body->getLinearVelocity(), btVector3(0, 0, 0));
    EXPECT_EQ(wanderer.body->getAngularVelocity(), btVector3(0, 0, 0));
    // The drawn position is current right away, not after the next step.
    EXPECT_NEAR(wanderer.position.x, 2.0f, 1e-5f);
    EXPECT_NEAR(wanderer.position.z, 3.0f, 1e-5f);
    EXPECT_NEAR(wanderer.body->getOrientation().getAngle(), 0.0f, 1e-6f);

    ground.tick();
    EXPECT_NEAR(wanderer.getModelMatrix()[3].x, 2.0f, 0.05f);
}

} // namespace
} // namespace fennik::physics
