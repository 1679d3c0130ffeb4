#include "levels/LevelOne.hpp"
#include "levels/LevelTwo.hpp"

#include "core/DataDirectory.hpp"
#include "render/GpuResources.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"

namespace fennik::levels {

namespace {

constexpr const char* enemyModelFile = "models/enemy.obj";

} // namespace

void LevelOne::loadLevelModels()
{
    enemyModel = &loadModel(core::dataPath(enemyModelFile));
}

void LevelOne::addEnemies()
{
    scene->addEnemy(firstMesh(enemyModel), 20.0f, {19.0f, 1.9f, -3.0f}, false);
    scene->addEnemy(firstMesh(enemyModel), 20.0f, {6.0f, 1.9f, -50.0f}, false);
    scene->addEnemy(firstMesh(enemyModel), 20.0f, {10.0f, 1.9f, -20.0f}, false);
}

void LevelOne::addInteractables()
{
    scene->addInteractable(nullptr, 0.0f, {-14.263f, 1.136f, 19.3f}, false, 10.0f, "default");
}

void LevelOne::loadNoteTextures()
{
    noteTexture = render::gpu().texture(core::dataPath("textures/level1_texture.png"), true);
}

void LevelOne::applySwitchRules()
{
    if (playerPosition().z <= -60.0f && allEnemiesDead())
        switchTo("LevelTwo");
}

void LevelTwo::loadLevelModels()
{
    enemyModel = &loadModel(core::dataPath(enemyModelFile));
}

void LevelTwo::addEnemies()
{
    scene->addEnemy(firstMesh(enemyModel), 20.0f, {19.0f, 1.9f, -3.0f}, false);
    scene->addEnemy(firstMesh(enemyModel), 20.0f, {6.0f, 1.9f, -50.0f}, false);
}

void LevelTwo::addInteractables()
{
    scene->addInteractable(levelModel->findMesh("rock_interactable_Cube.023_BigRock1_1.004"), 15.0f, {0.0f, 0.0f, 0.0f},
                           false, 0.0f, "default");
}

void LevelTwo::applySwitchRules()
{
    if (playerPosition().z <= -70.0f && allEnemiesDead())
        switchTo("LevelBoss");
    if (playerPosition().y < 0.0f)
        switchTo("LevelTwo");
}

} // namespace fennik::levels
