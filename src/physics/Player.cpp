#include "physics/Player.hpp"

#include "core/DataDirectory.hpp"
#include "core/Input.hpp"
#include "render/Mesh.hpp"

#include <GLFW/glfw3.h>

#include <glm/gtc/matrix_transform.hpp>

namespace fennik::physics {

Player::Player(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
    : Entity(mesh, mass, position, rotates, playerType, true)
{
    // The body built from the mesh's own shape is never used: the capsule replaces it.
    // 3.75 tall and 3.0 wide, its axis along Y.
    body.reset();
    motionState.reset();
    ownShape = std::make_unique<btCapsuleShape>(capsuleRadius, capsuleRadius * 0.5f);
    initPhysics(mass, position, rotates, mesh ? mesh->center : glm::vec3(0.0f));
}

void Player::processInput(GLFWwindow* window, const core::KeyBindings& keys)
{
    using core::Action;
    const auto held = [&](Action action) { return core::actionDown(window, keys, action); };
    moveDirection = glm::vec3(0.0f);
    const float sign = invertControls ? -1.0f : 1.0f;

    // One direction at a time, in this priority: there is no diagonal walking.
    if (held(Action::Forward))
        moveDirection.x = sign;
    else if (held(Action::Back))
        moveDirection.x = -sign;
    else if (held(Action::Left))
        moveDirection.z = -sign;
    else if (held(Action::Right))
        moveDirection.z = sign;

    if (held(Action::Jump) && !jumping) {
        body->applyCentralImpulse(btVector3(0.0f, jumpStrength, 0.0f));
        // A small lift so the jump starts clear of the floor it pushes off from.
        btTransform& transform = body->getWorldTransform();
        transform.getOrigin().setY(transform.getOrigin().y() + 0.01f);
        playSound(core::dataPath("music/jump.wav"));
        jumping = true;
    }
}

void Player::reset()
{
    Entity::reset();
    jumping = false;
    moveDirection = glm::vec3(0.0f);
}

glm::vec3 Player::modelOffset() const
{
    return {0.0f, -capsuleRadius - 0.2f, 0.0f};
}

} // namespace fennik::physics
