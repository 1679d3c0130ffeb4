#pragma once

#include "physics/Entity.hpp"

#include <string>

namespace fennik::physics {

// A point the player uses with R while close enough: a note that opens a message,
// or (as EndInteractable) the figure that ends the game. The level reads `inRange`,
// `active` and `id` to draw its prompt and the open message.
class Interactable : public Entity {
public:
    Interactable(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates, float interactionRange,
                 std::string id);

    // The R toggle: at most once a second, and only in range.
    void processInput(GLFWwindow* window, const core::KeyBindings& keys) override;
    // The range test against the player's position.
    void act(glm::vec3 target, bool returnHome) override;

    virtual void interact();
    virtual void endInteraction();

    // Closed, out of range, ready to toggle.
    void reset() override;

    // The toggle rests this many ticks (a second) after each use. Counted in ticks, not
    // on the clock, so a replay toggles at the same ticks at any frame rate.
    static constexpr int cooldownTicks = 30;

    bool inRange = false;
    float interactionRange = 0.0f;
    int cooldown = 0;
    int ticksSinceToggle = 0;
    bool active = false;
    std::string id;
};

// Closing its message ends the game and returns to the start menu.
class EndInteractable final : public Interactable {
public:
    using Interactable::Interactable;

    void endInteraction() override;
};

} // namespace fennik::physics
