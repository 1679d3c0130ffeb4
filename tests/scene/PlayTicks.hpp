#pragma once

#include "scene/Scene.hpp"

namespace fennik::scene {

// Runs `ticks` game ticks of a scene as a level runs them: input, the entity pass,
// one physics step.
inline void playTicks(Scene& scene, int ticks = 1)
{
    for (int i = 0; i < ticks; ++i) {
        scene.processInput();
        scene.update();
        scene.stepPhysics();
    }
}

} // namespace fennik::scene
