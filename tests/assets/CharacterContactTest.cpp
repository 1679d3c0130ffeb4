// The enemies and dummies as the player meets them: their hulls in a Bullet world set up
// like the game's, the player's capsule walking into them from every side and falling on
// their backs. The levels count a contact whose normal (towards the player) has a y
// below 0.2 as a touch from the side, which hurts the player; anything steeper is a
// landing, which hurts the enemy. Walking into an enemy must never count as landing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <btBulletDynamicsCommon.h>

#include "AssetTestSupport.hpp"

namespace fennik::test {
namespace {

// The levels' dividing line between a touch from the side and a landing.
constexpr float stompNormalY = 0.2f;

// The player as the game builds it: a capsule of radius 1.5 with 0.75 of cylinder
// between its half spheres (3.75 tall), mass 11, never tipping over.
constexpr float capsuleRadius = 1.5f;
constexpr float capsuleCylinder = 0.75f;
constexpr float capsuleCentreOnFloor = capsuleRadius + capsuleCylinder * 0.5f;
constexpr float playerMass = 11.0f;
// Walking: an impulse of 15 per tick while slower than 25 - 3; jumping: an impulse of 90.
constexpr float walkImpulse = 15.0f;
constexpr float walkSpeedLimit = 22.0f;
constexpr float jumpImpulse = 90.0f;
// Enemies weigh 20 and stand with their origin 1.9 above the floor.
constexpr float enemyMass = 20.0f;
constexpr float enemyOriginHeight = 1.9f;
constexpr float gravity = 9.81f;

struct Contacts {
    int count = 0;
    float lowestY = 1.0f;
    float highestY = -1.0f;
};

// Floor, one enemy and the player, stepped as the game steps its world: one tick is
// an extra application of gravity and two sub-steps of 1/60 s.
class EncounterWorld {
public:
    explicit EncounterWorld(const aiMesh& mesh)
        : dispatcher(&configuration), world(&dispatcher, &broadphase, &solver, &configuration), hull(true, true)
    {
        world.setGravity(btVector3(0.0f, -gravity, 0.0f));

        makeBody(floorShape, 0.0f, btVector3(0.0f, -1.0f, 0.0f));
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) {
                continue;
            }
            auto v = [&](unsigned k) {
                const aiVector3D& p = mesh.mVertices[face.mIndices[k]];
                return btVector3(p.x, p.y, p.z);
            };
            hull.addTriangle(v(0), v(1), v(2), false);
        }
        hullShape = std::make_unique<btConvexTriangleMeshShape>(&hull, true);
        enemyBody = makeBody(*hullShape, enemyMass, btVector3(0.0f, enemyOriginHeight, 0.0f));
        lowCorner = minCorner(mesh);
        highCorner = maxCorner(mesh);
    }

    ~EncounterWorld()
    {
        for (auto& body : bodies) {
            world.removeRigidBody(body.get());
        }
    }

    EncounterWorld(const EncounterWorld&) = delete;
    EncounterWorld& operator=(const EncounterWorld&) = delete;

    // Puts the player's capsule at `centre`, at rest.
    void placePlayer(glm::vec3 centre)
    {
        if (!playerBody) {
            playerBody = makeBody(capsule, playerMass, btVector3(centre.x, centre.y, centre.z));
        }
        place(playerBody, btVector3(centre.x, centre.y, centre.z));
    }

    // The enemy back home, at rest.
    void placeEnemy() { place(enemyBody, btVector3(0.0f, enemyOriginHeight, 0.0f)); }

    // One tick; contacts between player and enemy that penetrate, with their normal
    // turned towards the player, go into `seen`.
    void tick(Contacts& seen)
    {
        world.applyGravity();
        world.stepSimulation(2.0f / 60.0f, 2, 1.0f / 60.0f);
        for (int i = 0; i < dispatcher.getNumManifolds(); ++i) {
            btPersistentManifold* manifold = dispatcher.getManifoldByIndexInternal(i);
            const bool playerFirst = manifold->getBody0() == playerBody;
            const bool playerSecond = manifold->getBody1() == playerBody;
            const btCollisionObject* other = playerFirst ? manifold->getBody1() : manifold->getBody0();
            if ((!playerFirst && !playerSecond) || other != enemyBody) {
                continue;
            }
            for (int j = 0; j < manifold->getNumContacts(); ++j) {
                const btManifoldPoint& point = manifold->getContactPoint(j);
                if (!(point.getDistance() < 0.0f)) {
                    continue;
                }
                const float y = (playerFirst ? point.m_normalWorldOnB : -point.m_normalWorldOnB).y();
                ++seen.count;
                seen.lowestY = std::min(seen.lowestY, y);
                seen.highestY = std::max(seen.highestY, y);
            }
        }
    }

    void walk(glm::vec3 direction)
    {
        if (playerBody->getLinearVelocity().length() < walkSpeedLimit) {
            playerBody->applyCentralImpulse(btVector3(direction.x, 0.0f, direction.z) * walkImpulse);
        }
    }

    void jump() { playerBody->applyCentralImpulse(btVector3(0.0f, jumpImpulse, 0.0f)); }

    glm::vec3 playerCentre() const { return at(playerBody); }
    glm::vec3 enemyOrigin() const { return at(enemyBody); }

    // The model's extent from its origin along a horizontal unit axis.
    float reach(glm::vec3 axis) const
    {
        glm::vec3 corner = glm::max(lowCorner * axis, highCorner * axis);
        return corner.x + corner.z;
    }

    // Top of the enemy's hull as the world collides with it: the highest point of the
    // model where the body stands, and the shape's collision margin around it.
    float hullTop() const { return enemyOrigin().y + highCorner.y + hullShape->getMargin(); }

    glm::vec3 lowCorner{0.0f};
    glm::vec3 highCorner{0.0f};

private:
    btRigidBody* makeBody(btCollisionShape& shape, float mass, btVector3 origin)
    {
        btTransform transform;
        transform.setIdentity();
        transform.setOrigin(origin);
        motionStates.push_back(std::make_unique<btDefaultMotionState>(transform));
        // No inertia: like the game's upright bodies, neither player nor enemy tips over.
        btRigidBody::btRigidBodyConstructionInfo info(mass, motionStates.back().get(), &shape, btVector3(0.0f, 0.0f, 0.0f));
        bodies.push_back(std::make_unique<btRigidBody>(info));
        btRigidBody* body = bodies.back().get();
        body->setFriction(1.0f);
        body->forceActivationState(DISABLE_DEACTIVATION);
        world.addRigidBody(body);
        return body;
    }

    static void place(btRigidBody* body, btVector3 origin)
    {
        btTransform transform;
        transform.setIdentity();
        transform.setOrigin(origin);
        body->setWorldTransform(transform);
        body->getMotionState()->setWorldTransform(transform);
        body->setLinearVelocity(btVector3(0.0f, 0.0f, 0.0f));
        body->clearForces();
    }

    static glm::vec3 at(const btRigidBody* body)
    {
        const btVector3& p = body->getWorldTransform().getOrigin();
        return glm::vec3(p.x(), p.y(), p.z());
    }

    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher;
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world;
    btBoxShape floorShape{btVector3(100.0f, 1.0f, 100.0f)};
    btCapsuleShape capsule{capsuleRadius, capsuleCylinder};
    btTriangleMesh hull;
    std::unique_ptr<btConvexTriangleMeshShape> hullShape;
    std::vector<std::unique_ptr<btDefaultMotionState>> motionStates;
    std::vector<std::unique_ptr<btRigidBody>> bodies;
    btRigidBody* enemyBody = nullptr;
    btRigidBody* playerBody = nullptr;
};

const std::vector<std::string> enemies = {"enemy", "boss_enemy", "dummy", "dummy2"};

class CharacterContactTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        model = importModel("assets/models/" + GetParam() + ".obj");
        ASSERT_NE(model.scene, nullptr);
        ASSERT_GE(model.scene->mNumMeshes, 1u);
        encounter = std::make_unique<EncounterWorld>(*model.scene->mMeshes[0]);
    }

    // The player starts a step away from the enemy on the line `offset` off its centre,
    // and walks into it along `direction` (the enemy is approached from -direction).
    Contacts walkInto(glm::vec3 direction, float offset)
    {
        glm::vec3 side(-direction.z, 0.0f, direction.x);
        float gap = encounter->reach(-direction) + capsuleRadius + 1.0f;
        encounter->placePlayer(-direction * gap + side * offset + glm::vec3(0.0f, capsuleCentreOnFloor, 0.0f));
        Contacts seen;
        for (int tick = 0; tick < 30; ++tick) {
            encounter->walk(direction);
            encounter->tick(seen);
        }
        return seen;
    }

    // The player falls from well above onto the enemy's back, `offset` off its origin.
    Contacts dropOnto(glm::vec3 offset)
    {
        Contacts seen;
        encounter->placePlayer(encounter->enemyOrigin() + offset + glm::vec3(0.0f, 4.5f, 0.0f));
        for (int tick = 0; tick < 45 && seen.count == 0; ++tick) {
            encounter->tick(seen);
        }
        return seen;
    }

    // The enemy back at home standing on the floor, the player far away.
    void settle()
    {
        Contacts ignored;
        encounter->placeEnemy();
        encounter->placePlayer({0.0f, 40.0f, 60.0f});
        for (int tick = 0; tick < 15; ++tick) {
            encounter->tick(ignored);
        }
    }

    ImportedModel model;
    std::unique_ptr<EncounterWorld> encounter;
};

struct Approach {
    const char* name;
    glm::vec3 direction; // the way the player walks
};

// Walking in along each axis, straight at the middle and off to either side of it.
const Approach approaches[] = {
    {"walking -X into its front", {-1.0f, 0.0f, 0.0f}},
    {"walking +X into its back", {1.0f, 0.0f, 0.0f}},
    {"walking -Z into its +Z flank", {0.0f, 0.0f, -1.0f}},
    {"walking +Z into its -Z flank", {0.0f, 0.0f, 1.0f}},
};

TEST_P(CharacterContactTest, WalkingIntoItFromAnySideIsASideHit)
{
    for (const Approach& approach : approaches) {
        glm::vec3 side(-approach.direction.z, 0.0f, approach.direction.x);
        // Straight at the middle, and off it by two thirds of its half width either way.
        for (float share : {0.0f, 0.66f, -0.66f}) {
            settle();
            float offset = share * (share > 0.0f ? encounter->reach(side) : encounter->reach(-side));
            Contacts seen = walkInto(approach.direction, offset);
            std::cout << GetParam() << ", " << approach.name << " " << offset << " off the middle: " << seen.count
                      << " contacts, normal y " << seen.lowestY << " .. " << seen.highestY << "\n";
            EXPECT_GT(seen.count, 0) << approach.name << ", " << offset << " off the middle: never met";
            EXPECT_LT(seen.highestY, stompNormalY) << approach.name << ", " << offset
                                                   << " off the middle: counted as a landing";
        }
    }
}

TEST_P(CharacterContactTest, FallingOnItsBackIsALanding)
{
    const glm::vec3 back = 0.5f * (encounter->lowCorner + encounter->highCorner) * glm::vec3(1.0f, 0.0f, 1.0f);
    // The middle of its back, and halfway from there to each rim.
    std::vector<glm::vec3> spots = {back};
    for (glm::vec3 axis : {glm::vec3(1, 0, 0), glm::vec3(-1, 0, 0), glm::vec3(0, 0, 1), glm::vec3(0, 0, -1)}) {
        spots.push_back(back + axis * 0.5f * (encounter->reach(axis) - glm::dot(back, axis)));
    }
    for (glm::vec3 spot : spots) {
        settle();
        Contacts seen = dropOnto(spot);
        std::cout << GetParam() << ", dropped at (" << spot.x << ", " << spot.z << "): " << seen.count
                  << " contacts, normal y " << seen.lowestY << " .. " << seen.highestY << "\n";
        ASSERT_GT(seen.count, 0) << "the drop at (" << spot.x << ", " << spot.z << ") missed";
        EXPECT_GE(seen.lowestY, stompNormalY) << "dropped at (" << spot.x << ", " << spot.z << ")";
        EXPECT_GT(seen.highestY, 0.9f) << "its back is not flat enough to land on";
    }
}

TEST_P(CharacterContactTest, AJumpFromTheFloorClearsItsBack)
{
    // Standing clear of the enemy, the player jumps straight up: its capsule's bottom
    // must rise above the top of the enemy's hull, or it could never land there.
    settle();
    glm::vec3 start(0.0f, capsuleCentreOnFloor, encounter->reach({0, 0, 1}) + capsuleRadius + 3.0f);
    encounter->placePlayer(start);
    Contacts ignored;
    for (int tick = 0; tick < 5; ++tick) {
        encounter->tick(ignored);
    }
    const float standing = encounter->playerCentre().y;
    encounter->jump();
    float highest = standing;
    for (int tick = 0; tick < 30; ++tick) {
        encounter->tick(ignored);
        highest = std::max(highest, encounter->playerCentre().y);
    }
    const float bottom = highest - capsuleCentreOnFloor;
    std::cout << GetParam() << ": jump lifts the capsule's bottom to " << bottom << ", hull top "
              << encounter->hullTop() << "\n";
    EXPECT_GT(bottom, encounter->hullTop() + 0.05f);
}

INSTANTIATE_TEST_SUITE_P(Enemies, CharacterContactTest, ::testing::ValuesIn(enemies),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
} // namespace fennik::test
