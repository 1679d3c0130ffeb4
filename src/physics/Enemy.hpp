#pragma once

#include "physics/Entity.hpp"

#include <glm/mat4x4.hpp>

namespace fennik::gui {
class ShapeRenderer;
}

namespace fennik::physics {

// An enemy wakes when the player comes near, walks towards the player along one
// axis at a time, walks back home when the player leaves, and loses health when the
// player lands on it. Dies after five stomps.
class Enemy : public Entity {
public:
    Enemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates);

    void damage() override;
    // Chases `target`, or heads home when `returnHome` is set.
    void act(glm::vec3 target, bool returnHome) override;

    // The floating bar above the enemy: filled by health from green to red, inside a
    // black outline. Stands in the plane facing the default camera, over `at` (where
    // the body is drawn this frame).
    void drawHealthBar(const glm::mat4& viewProjection, const glm::vec3& at);

    // The axis an enemy walks along for a horizontal offset: only the larger of the
    // two counts, and a tie goes to Z. Zero when there is nowhere to go.
    static glm::vec3 walkDirection(float dx, float dz);
    // The way home along one axis: the offset with its sign, or 0 within the dead
    // zone, so a returned enemy stands still instead of rocking about its start.
    static float homeDelta(float offset);

    static constexpr float homeDeadZone = 0.1f;
    static constexpr float healthBarLength = 4.0f;
    static constexpr float healthBarHeight = 0.5f;

    // Taken on first draw: the renderer needs a context, the physics does not.
    gui::ShapeRenderer* shapes = nullptr;
};

// A practice target: never moves, and its health never drops to zero.
class DummyEnemy final : public Enemy {
public:
    using Enemy::Enemy;

    void damage() override;
    void act(glm::vec3, bool) override {}

    static constexpr float lowestHealth = 0.1f;
};

// The boss chases like any enemy but takes half the damage: ten stomps.
class BossEnemy final : public Enemy {
public:
    using Enemy::Enemy;

    void damage() override;
};

} // namespace fennik::physics
