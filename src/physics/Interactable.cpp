#include "physics/Interactable.hpp"

#include "core/LevelManager.hpp"
#include "core/Log.hpp"

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>

namespace fennik::physics {

Interactable::Interactable(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates, float interactionRange,
                           std::string id)
    : Entity(mesh, mass, position, rotates, interactableType, true), interactionRange(interactionRange),
      id(std::move(id))
{
}

void Interactable::act(glm::vec3 target, bool)
{
    getModelMatrix();
    inRange = glm::distance(target, position) <= interactionRange;
}

void Interactable::processInput(GLFWwindow* window, const core::KeyBindings& keys)
{
    if (cooldown != 0 && ++ticksSinceToggle > cooldownTicks)
        cooldown = 0;
    // Out of range an open message stays open until the player comes back.
    if (!inRange)
        return;
    if (!core::actionDown(window, keys, core::Action::Interact) || cooldown != 0)
        return;
    if (active)
        endInteraction();
    else
        interact();
    cooldown = 1;
    ticksSinceToggle = 0;
}

void Interactable::reset()
{
    Entity::reset();
    inRange = false;
    active = false;
    cooldown = 0;
    ticksSinceToggle = 0;
}

void Interactable::interact()
{
    active = true;
    log::info("I was interacted with");
}

void Interactable::endInteraction()
{
    active = false;
}

void EndInteractable::endInteraction()
{
    active = false;
    core::LevelManager::instance().setLevel("StartMenu");
}

} // namespace fennik::physics
