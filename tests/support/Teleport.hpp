#pragma once

#include "physics/Entity.hpp"

#include <btBulletDynamicsCommon.h>
#include <glm/vec3.hpp>

namespace fennik::test {

// Puts an entity's body at `to`, upright and at rest, with its drawn position
// following at once, as if it had started there.
inline void teleport(physics::Entity& entity, glm::vec3 to)
{
    const btTransform transform(btQuaternion::getIdentity(), btVector3(to.x, to.y, to.z));
    entity.body->setWorldTransform(transform);
    entity.body->setInterpolationWorldTransform(transform);
    entity.motionState->setWorldTransform(transform);
    entity.body->clearForces();
    entity.body->setLinearVelocity(btVector3(0, 0, 0));
    entity.body->setAngularVelocity(btVector3(0, 0, 0));
    entity.getModelMatrix();
}

} // namespace fennik::test
