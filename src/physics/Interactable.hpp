#pragma once

#include "physics/Entity.hpp"

namespace fennik::physics {

// A point the player uses with the R key: a solid entity of the interactable type.
// The range test, the toggle and the message state are added with the interaction
// points themselves; until then an interactable behaves as a plain entity.
class Interactable : public Entity {
public:
    Interactable(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
        : Entity(mesh, mass, position, rotates, interactableType, true)
    {
    }
};

} // namespace fennik::physics
