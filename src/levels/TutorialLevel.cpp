#include "levels/TutorialLevel.hpp"

#include "core/DataDirectory.hpp"
#include "physics/Interactable.hpp"
#include "render/GpuResources.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"

namespace fennik::levels {

void TutorialLevel::loadLevelModels()
{
    dummyModel = &loadModel(core::dataPath("models/dummy.obj"));
    dummy2Model = &loadModel(core::dataPath("models/dummy2.obj"));
}

void TutorialLevel::addEnemies()
{
    // Past the note on stomping, which the player reads first.
    scene->addDummyEnemy(firstMesh(dummyModel), 20.0f, {-16.0f, 1.9f, -25.0f}, false);
    scene->addDummyEnemy(firstMesh(dummy2Model), 20.0f, {21.0f, 1.9f, -49.0f}, false);
}

void TutorialLevel::addInteractables()
{
    // The rock is a physical object to push; with range 0 it never offers a prompt.
    scene->addInteractable(levelModel->findMesh("rock_interactable_Cube.023_BigRock1_1.004"), 15.0f, {0.0f, 0.0f, 0.0f},
                           false, 0.0f, "default");
    scene->addInteractable(nullptr, 0.0f, {-4.4f, 1.9f, 22.6f}, false, 10.0f, "first");
    scene->addInteractable(nullptr, 0.0f, {20.0f, 1.9f, -21.7f}, false, 10.0f, "bottom");
    scene->addInteractable(nullptr, 0.0f, {-3.47f, 1.9f, -21.8f}, false, 10.0f, "top");
}

void TutorialLevel::loadNoteTextures()
{
    noteTextures[0] = render::gpu().texture(core::dataPath("textures/tutorial1_texture.png"), true);
    noteTextures[1] = render::gpu().texture(core::dataPath("textures/tutorial3_texture.png"), true);
    noteTextures[2] = render::gpu().texture(core::dataPath("textures/tutorial2_texture.png"), true);
}

GLuint TutorialLevel::noteTextureFor(const physics::Interactable& interactable) const
{
    if (interactable.id == "first")
        return noteTextures[0];
    if (interactable.id == "bottom")
        return noteTextures[1];
    if (interactable.id == "top")
        return noteTextures[2];
    return 0;
}

void TutorialLevel::applySwitchRules()
{
    if (playerPosition().z >= 50.0f)
        switchTo("TestLevel");
    if (playerPosition().z <= -60.0f)
        switchTo("LevelOne");
    if (playerPosition().y < 0.0f)
        switchTo("TutorialLevel");
}

} // namespace fennik::levels
