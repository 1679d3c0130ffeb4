#include "scene/Scene.hpp"

namespace fennik::scene {

// The render side of the Scene: text, programs, sky light, sky box, framebuffers,
// post-processing and the health bar are built here, after the physics world.
void Scene::createRenderResources() {}

} // namespace fennik::scene
