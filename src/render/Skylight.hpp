#pragma once

#include "render/DirectionalLight.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <memory>

namespace fennik::render {

// The directional light with its shadow projection: an orthographic box
// 2 * halfSize across and halfSize deep that the scene moves with the player every
// frame, so a 2048 x 2048 map keeps a useful resolution on levels of any length.
class Skylight {
public:
    Skylight();

    // Centres the shadow box on `centre`, looking along the light direction, and
    // refreshes `view` and `lightSpaceMatrix`.
    void follow(const glm::vec3& centre);

    std::unique_ptr<DirectionalLight> light;
    glm::mat4 projection{1.0f};
    glm::mat4 view{1.0f};
    glm::mat4 lightSpaceMatrix{1.0f};
    float halfSize = 150.0f;
    glm::vec3 up{0.0f, 1.0f, 0.0f};
};

} // namespace fennik::render
