#include "render/Skylight.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace fennik::render {

Skylight::Skylight() : light(std::make_unique<DirectionalLight>())
{
    // In the body: halfSize and up are declared after the matrices they shape.
    projection = glm::ortho(-halfSize, halfSize, -halfSize, halfSize, -halfSize / 2.0f, halfSize / 2.0f);
    view = glm::lookAt(-light->direction, glm::vec3(0.0f), up);
    lightSpaceMatrix = projection * view;
}

void Skylight::follow(const glm::vec3& centre)
{
    view = glm::lookAt(centre, centre + glm::normalize(light->direction), up);
    lightSpaceMatrix = projection * view;
}

} // namespace fennik::render
