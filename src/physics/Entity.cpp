#define GLM_ENABLE_EXPERIMENTAL
#include "physics/Entity.hpp"

#include "core/DataDirectory.hpp"
#include "core/SoundEngine.hpp"
#include "render/Mesh.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <glm/gtx/matrix_decompose.hpp>

#include <algorithm>
#include <cassert>
#include <cmath>

namespace fennik::physics {

namespace {

btVector3 toBullet(const glm::vec3& v)
{
    return {v.x, v.y, v.z};
}

// Knockback strength: enough to throw the player clear of an enemy it touched.
constexpr float knockbackStrength = 150.0f;
// Movement impulses stop this far below maxSpeed, so a body walking on its own
// never quite reaches the limit.
constexpr float speedMargin = 3.0f;

} // namespace

Entity::Entity(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates, int type, bool solid)
    : mesh(mesh), type(type), mass(mass), startPosition(position), rotates(rotates), solid(solid)
{
    initPhysics(mass, position, rotates, mesh ? mesh->center : glm::vec3(0.0f));
}

Entity::~Entity()
{
    // A body still in a world would leave the world with a dangling pointer.
    assert(!body || !body->getBroadphaseHandle());
    body.reset();
    motionState.reset();
    ownShape.reset();
}

void Entity::initPhysics(float mass, glm::vec3 position, bool rotates, glm::vec3 offset)
{
    assert(!body || !body->getBroadphaseHandle());

    // A box shape sits around the mesh's own centre, so the body goes there; the
    // hull already carries the modelled vertex positions and stays at the origin.
    glm::vec3 origin = position;
    if (mesh && !mesh->hasTriangleShape)
        origin += offset;
    startTransform.setIdentity();
    startTransform.setOrigin(toBullet(origin));

    btCollisionShape* shape = ownShape.get();
    if (!shape && mesh && mesh->collisionShape)
        shape = mesh->collisionShape.get();
    if (!shape) {
        ownShape = std::make_unique<btBoxShape>(btVector3(0.25f, 0.25f, 0.25f));
        shape = ownShape.get();
    }

    // Without inertia a dynamic body has no rotational response: the player and
    // upright enemies never tip over.
    btVector3 localInertia(0.0f, 0.0f, 0.0f);
    if (mass != 0.0f && rotates)
        shape->calculateLocalInertia(mass, localInertia);

    auto newMotionState = std::make_unique<OpenGLMotionState>(startTransform);
    btRigidBody::btRigidBodyConstructionInfo info(mass, newMotionState.get(), shape, localInertia);
    auto newBody = std::make_unique<btRigidBody>(info);
    newBody->setFriction(1.0f);
    newBody->setUserPointer(this);
    // Entities are never put to sleep: a resting player must still react to input
    // impulses, which do not wake a body.
    newBody->forceActivationState(DISABLE_DEACTIVATION);

    body = std::move(newBody);
    motionState = std::move(newMotionState);
    snapTicks();
}

void Entity::damage()
{
    health -= 5.0f;
}

void Entity::processInput(GLFWwindow*, const core::KeyBindings&) {}

void Entity::act(glm::vec3, bool)
{
    moveDirection = glm::vec3(0.0f);
}

void Entity::readTransform()
{
    motionState->getWorldTransform(worldTransform);
    worldTransform.getOpenGLMatrix(glm::value_ptr(modelMatrix));
    glm::decompose(modelMatrix, scale, orientation, position, skew, perspective);
}

glm::vec3 Entity::modelOffset() const
{
    if (mesh && !mesh->hasTriangleShape)
        return {0.0f, -mesh->center.y, 0.0f};
    return glm::vec3(0.0f);
}

glm::mat4 Entity::modelFromBody(glm::mat4 body) const
{
    const glm::vec3 offset = modelOffset();
    if (offset != glm::vec3(0.0f))
        body = glm::translate(body, offset);
    // Axis directions give a yaw of 0 for +X, pi for -X, -pi/2 for +Z, pi/2 for -Z;
    // a zero facing adds no turn.
    const float z = std::clamp(facing.z, -1.0f, 1.0f);
    body = glm::rotate(body, std::atan2(facing.y, facing.x), up);
    return glm::rotate(body, -std::asin(z), up);
}

glm::mat4 Entity::getModelMatrix()
{
    readTransform();
    modelMatrix = modelFromBody(modelMatrix);
    return modelMatrix;
}

glm::mat4 Entity::bodyMatrix() const
{
    btTransform transform;
    motionState->getWorldTransform(transform);
    glm::mat4 matrix;
    transform.getOpenGLMatrix(glm::value_ptr(matrix));
    return matrix;
}

void Entity::recordTick()
{
    previousTick = lastTick;
    lastTick = bodyMatrix();
}

void Entity::snapTicks()
{
    lastTick = previousTick = bodyMatrix();
}

glm::vec3 Entity::drawnPosition(float alpha) const
{
    if (alpha <= 0.0f)
        return glm::vec3(previousTick[3]);
    if (alpha >= 1.0f)
        return glm::vec3(lastTick[3]);
    return glm::mix(glm::vec3(previousTick[3]), glm::vec3(lastTick[3]), alpha);
}

glm::mat4 Entity::drawnModelMatrix(float alpha) const
{
    if (alpha <= 0.0f || previousTick == lastTick)
        return modelFromBody(previousTick);
    if (alpha >= 1.0f)
        return modelFromBody(lastTick);
    const glm::quat rotation =
        glm::slerp(glm::quat_cast(glm::mat3(previousTick)), glm::quat_cast(glm::mat3(lastTick)), alpha);
    glm::mat4 body = glm::mat4_cast(rotation);
    body[3] = glm::vec4(drawnPosition(alpha), 1.0f);
    return modelFromBody(body);
}

void Entity::draw(render::Shader& shader, float alpha)
{
    if (!mesh)
        return;
    mesh->draw(shader, type == levelGeometryType ? staticModelMatrix : drawnModelMatrix(alpha));
}

void Entity::applyMovement()
{
    impulse = moveDirection * speed;
    if (maxSpeed < speedMargin)
        impulse = impulse / speedMargin * maxSpeed;

    const float velocity = body->getLinearVelocity().length();
    if (velocity + speedMargin < maxSpeed)
        body->applyCentralImpulse(toBullet(impulse));

    if (moveDirection != glm::vec3(0.0f))
        facing = moveDirection;
}

void Entity::knockback(glm::vec3 direction)
{
    body->applyImpulse(toBullet(direction * knockbackStrength), toBullet(direction));
}

void Entity::hit(glm::vec3 direction)
{
    knockback(direction);
    playSound(core::dataPath("music/hit.wav"));
    damage();
}

void Entity::playSound(const std::string& file)
{
    if (!sound.isFinished()) {
        sound.stop();
        sound.drop();
    }
    sound = core::SoundEngine::instance().play3D(file, position);
}

void Entity::reset()
{
    body->clearForces();
    body->setLinearVelocity(btVector3(0.0f, 0.0f, 0.0f));
    body->setAngularVelocity(btVector3(0.0f, 0.0f, 0.0f));
    body->setWorldTransform(startTransform);
    // The motion state would otherwise report the old place until the next step,
    // and the camera, the listener and the fall check would all see a player who is
    // still down in the pit for one more tick.
    body->setInterpolationWorldTransform(startTransform);
    body->setInterpolationLinearVelocity(btVector3(0.0f, 0.0f, 0.0f));
    body->setInterpolationAngularVelocity(btVector3(0.0f, 0.0f, 0.0f));
    motionState->setWorldTransform(startTransform);
    getModelMatrix();
    snapTicks();
    health = 100.0f;
}

bool Entity::isPlayer(const Entity* entity)
{
    return entity && entity->type == playerType;
}

} // namespace fennik::physics
