#pragma once

#include "physics/Entity.hpp"

namespace fennik::physics {

// An enemy: a solid entity of the enemy type. Chasing, returning home, the damage
// each kind takes and the floating health bar are added with the enemies
// themselves; until then an enemy behaves as a plain entity.
class Enemy : public Entity {
public:
    Enemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
        : Entity(mesh, mass, position, rotates, enemyType, true)
    {
    }
};

} // namespace fennik::physics
