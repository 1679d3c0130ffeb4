#include "physics/Enemy.hpp"

#include "gui/ShapeRenderer.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace fennik::physics {

namespace {

float sign(float value)
{
    return value > 0.0f ? 1.0f : (value < 0.0f ? -1.0f : 0.0f);
}

} // namespace

Enemy::Enemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
    : Entity(mesh, mass, position, rotates, enemyType, true)
{
}

void Enemy::damage()
{
    health -= 20.0f;
}

glm::vec3 Enemy::walkDirection(float dx, float dz)
{
    if (dx == 0.0f && dz == 0.0f)
        return glm::vec3(0.0f);
    if (std::abs(dz) < std::abs(dx))
        return {sign(dx), 0.0f, 0.0f};
    return {0.0f, 0.0f, sign(dz)};
}

float Enemy::homeDelta(float offset)
{
    return std::abs(offset) < homeDeadZone ? 0.0f : offset;
}

void Enemy::act(glm::vec3 target, bool returnHome)
{
    moveDirection = glm::vec3(0.0f);
    getModelMatrix();

    float dx = target.x - position.x;
    float dz = target.z - position.z;
    if (returnHome) {
        const btVector3& home = startTransform.getOrigin();
        dx = homeDelta(home.x() - position.x);
        dz = homeDelta(home.z() - position.z);
    }
    const glm::vec3 direction = walkDirection(dx, dz);
    if (direction == glm::vec3(0.0f))
        return; // keeps its facing
    moveDirection = direction;
    applyMovement();
}

void Enemy::drawHealthBar(const glm::mat4& viewProjection, const glm::vec3& at)
{
    if (!shapes)
        shapes = &gui::ShapeRenderer::instance();
    const float fraction = health / 100.0f;
    // A quarter turn the other way stands the bar in the plane facing the camera,
    // which looks along -X at its default yaw.
    const glm::mat4 upright = glm::rotate(glm::mat4(1.0f), -4.712389f, glm::vec3(0.0f, 1.0f, 0.0f));

    shapes->beginShape(viewProjection, GL_TRIANGLES);
    shapes->color = glm::vec4(1.0f - fraction, fraction, 0.0f, 1.0f);
    shapes->model = shapes->model * upright;
    const float x = -at.z - healthBarLength / 2.0f;
    const float y = at.y + healthBarLength / 2.0f;
    shapes->rectDepth(x, y, at.x, healthBarLength * fraction, healthBarHeight, shapes->color, shapes->color);
    shapes->endShape();

    shapes->beginShape(viewProjection, GL_LINES);
    shapes->color = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    shapes->model = shapes->model * upright;
    shapes->rectDepth(x, y, at.x, healthBarLength, healthBarHeight, shapes->color, shapes->color);
    shapes->endShape();
}

void DummyEnemy::damage()
{
    health -= 20.0f;
    if (health <= 0.0f)
        health = lowestHealth;
}

void BossEnemy::damage()
{
    health -= 10.0f;
}

} // namespace fennik::physics
