// The enemies and dummies as the player meets them, through the game's own Model, Scene,
// Player and Enemy on a real Bullet world.

#include "physics/Enemy.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"
#include "support/GLTestContext.hpp"
#include "support/MeshVertices.hpp"
#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace fennik;

constexpr float stompNormalY = 0.2f; // the normal's y (towards the player) from which a contact is a landing

struct Contacts { int count = 0; float lowestY = 1.0f, highestY = -1.0f; };

struct Bounds {
    glm::vec3 lo{1e9f}, hi{-1e9f};
    // The extent from the origin along a horizontal unit axis.
    float reach(glm::vec3 axis) const { return glm::dot(glm::max(lo * axis, hi * axis), glm::vec3(1, 0, 1)); }
    explicit Bounds(const render::Model& model)
    {
        for (const auto& vertex : test::verticesOf(model.meshes.front()))
            lo = glm::min(lo, vertex.position), hi = glm::max(hi, vertex.position);
    }
};

class CharacterContact : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { ASSERT_EQ(model.meshes.size(), 1u) << "the game only places the first mesh"; }
    // A floor, the enemy standing on it as the levels place it, the player's capsule at
    // `player` walking along `walk` for 30 ticks, or (without `walk`) falling until it
    // first touches the enemy. Returns the contacts the scene reports with the enemy.
    Contacts meet(glm::vec3 player, glm::vec3 walk)
    {
        btBoxShape floorShape(btVector3(100.0f, 1.0f, 100.0f));
        btRigidBody floor(0.0f, nullptr, &floorShape); // outlives the world that holds it
        floor.getWorldTransform().setOrigin(btVector3(0.0f, -1.0f, 0.0f));
        scene::Scene scene(nullptr, &settings, scene::Scene::PhysicsOnly{});
        scene.dynamicsWorld->addRigidBody(&floor);
        auto enemy = scene.addEnemy(&model.meshes.front(), 20.0f, {0.0f, 1.9f, 0.0f}, false);
        scene.createPlayer(&fennik.meshes.front(), 11.0f, player, false);
        Contacts seen;
        scene.collisionCallback = [&](physics::Entity*, physics::Entity* other, btManifoldPoint&, glm::vec3& normal) {
            if (other == enemy.get())
                seen = {seen.count + 1, std::min(seen.lowestY, normal.y), std::max(seen.highestY, normal.y)};
        };
        const bool walking = walk != glm::vec3(0.0f);
        for (int tick = 0; tick < (walking ? 30 : 45) && (walking || seen.count == 0); ++tick) {
            scene.player->moveDirection = walk;
            scene.player->applyMovement();
            scene.stepPhysics();
            scene.dispatchCollisions();
        }
        return seen;
    }

    const bool context = test::sharedGLContext() != nullptr; // the models upload their meshes
    render::Model model{std::string("assets/models/") + GetParam() + ".obj"};
    render::Model fennik{"assets/models/Fennik.obj"};
    core::GameSettings settings = test::gameSettings();
    Bounds box{model};
};

TEST_P(CharacterContact, StandsOnTheFloorWalkingIntoItIsASideHitAndFallingOnItsBackIsALanding)
{
    // Placed with its origin 1.9 above the floor, its feet must be right there; no taller than a jump lifts the player.
    EXPECT_TRUE(std::abs(box.lo.y + 1.9f) < 0.005f && box.hi.y - box.lo.y <= 1.7f && box.hi.x - box.lo.x > 1.0f &&
                box.hi.z - box.lo.z < 5.0f)
        << "feet off the floor, too tall, too small a target or wide enough to block a passage: y " << box.lo.y
        << " .. " << box.hi.y;
    for (glm::vec3 walk : {glm::vec3(-1, 0, 0), glm::vec3(1, 0, 0), glm::vec3(0, 0, -1), glm::vec3(0, 0, 1)}) {
        const glm::vec3 side(-walk.z, 0.0f, walk.x);
        // Straight at the middle and two thirds of the way to either flank.
        for (float share : {0.0f, 0.66f, -0.66f}) {
            const float offset = share * box.reach(share > 0.0f ? side : -side);
            const glm::vec3 start = -walk * (box.reach(-walk) + 2.5f) + side * offset;
            const Contacts seen = meet(start + glm::vec3(0.0f, 1.875f, 0.0f), walk); // standing on the floor
            EXPECT_TRUE(seen.count > 0 && seen.highestY < stompNormalY)
                << "walking " << walk.x << ", " << walk.z << " at " << offset << " off the middle is no side hit";
        }
    }
    // Dropped on the middle of its back and halfway from there to each rim.
    const glm::vec3 back = 0.5f * (box.lo + box.hi) * glm::vec3(1, 0, 1);
    for (glm::vec3 axis :
         {glm::vec3(0), glm::vec3(1, 0, 0), glm::vec3(-1, 0, 0), glm::vec3(0, 0, 1), glm::vec3(0, 0, -1)}) {
        const glm::vec3 spot = back + axis * 0.5f * (box.reach(axis) - glm::dot(back, axis));
        const Contacts seen = meet(spot + glm::vec3(0.0f, 1.9f + 4.5f, 0.0f), glm::vec3(0.0f));
        // Any contact at all, every one a landing, and one nearly straight up: a flat back.
        EXPECT_TRUE(seen.count > 0 && seen.lowestY >= stompNormalY && seen.highestY > 0.9f)
            << "dropped at " << spot.x << ", " << spot.z << ": normal y " << seen.lowestY << " .. " << seen.highestY;
    }
}

INSTANTIATE_TEST_SUITE_P(Enemies, CharacterContact, ::testing::Values("enemy", "boss_enemy", "dummy", "dummy2"));

TEST(CharacterModels, FennikFitsThePlayersCapsule)
{
    ASSERT_NE(test::sharedGLContext(), nullptr);
    // Drawn 1.7 below its centre, the capsule (radius 1.5, 3.75 tall) spans model y -0.175 .. 3.575.
    const Bounds fennik(render::Model("assets/models/Fennik.obj"));
    EXPECT_TRUE(std::abs(fennik.lo.y + 0.175f) < 0.005f && fennik.hi.y > 2.5f && fennik.hi.y <= 3.575f)
        << fennik.lo.y << " .. " << fennik.hi.y;
    EXPECT_TRUE(fennik.reach({0, 0, 1}) <= 1.5f && fennik.reach({0, 0, -1}) <= 1.5f &&
                fennik.reach({1, 0, 0}) <= 2.2f && fennik.reach({-1, 0, 0}) <= 2.2f);
}

} // namespace
