#pragma once

#include <glm/vec3.hpp>

#include <cmath>

namespace fennik::render {

// The sun of a level. The shading mode changes its colour; the shadow and scene
// stages of the same frame both read it.
struct DirectionalLight {
    bool enabled = true;
    glm::vec3 color{0.9f, 0.9f, 0.9f};
    // Falling from above, towards -X and +Z: the camera looks from +X, so shadows
    // lean away from the viewer and to the right along the level.
    glm::vec3 direction = glm::vec3(-1.0f, -1.0f, 1.0f) / std::sqrt(3.0f);
};

} // namespace fennik::render
