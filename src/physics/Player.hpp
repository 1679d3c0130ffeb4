#pragma once

#include "physics/Entity.hpp"

namespace fennik::physics {

// The entity the user steers: a non-rotating capsule that walks along the level's
// axes with W, A, S and D, relative to the camera's default view down -X, and jumps
// with SPACE. Turning the input into an impulse is the common entity step; deciding
// when the player stands on ground again is the level's contact callback, which
// clears `jumping`.
//
// The capsule is the player's own shape: the mesh keeps its hull, so another entity
// built on the same mesh is not turned into a capsule.
class Player : public Entity {
public:
    Player(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates);

    void processInput(GLFWwindow* window, const core::KeyBindings& keys) override;
    // On its feet again, with no walk or jump held over from before.
    void reset() override;

    bool jumping = false;
    float capsuleRadius = 1.5f;
    // With the camera at its default yaw, inverted controls make W walk into the screen.
    bool invertControls = true;

protected:
    // The model's origin (its feet) is drawn 1.7 below the capsule's centre; the mesh's
    // own centre plays no part.
    glm::vec3 modelOffset() const override;
};

} // namespace fennik::physics
