#include "levels/LevelBoss.hpp"

#include "core/DataDirectory.hpp"
#include "core/LevelManager.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/GpuResources.hpp"
#include "render/Mesh.hpp"
#include "render/Model.hpp"
#include "render/ParticleGenerator.hpp"
#include "scene/Scene.hpp"

namespace fennik::levels {

void LevelBoss::loadLevelModels()
{
    bossModel = &loadModel(core::dataPath("models/boss_enemy.obj"));
    endFigureModel = &loadModel(core::dataPath("models/kobbin.obj"));
}

void LevelBoss::addEnemies()
{
    scene->addBossEnemy(firstMesh(bossModel), 20.0f, bossPosition, false);
}

void LevelBoss::loadNoteTextures()
{
    noteTexture = render::gpu().texture(core::dataPath("textures/end_texture.png"), true);
}

void LevelBoss::addInteractables()
{
    endFigure = scene->addEndInteractable(firstMesh(endFigureModel), 15.0f, bossPosition, false, 20.0f, "default").get();
    hideEndFigure();
}

void LevelBoss::reset()
{
    PlayableLevel::reset();
    // Every visit starts without Kobbin: the fight has to be won again.
    hideEndFigure();
}

void LevelBoss::hideEndFigure()
{
    scene->dynamicsWorld->removeRigidBody(endFigure->body.get());
    endFigure->health = 0.0f;
    endSpawned = false;
}

void LevelBoss::applySwitchRules()
{
    if (playerPosition().y < 0.0f)
        switchTo("LevelBoss");
    if (allEnemiesDead() && !endSpawned)
        spawnEndFigure();
}

std::string LevelBoss::noteCaption(const physics::Interactable& interactable) const
{
    const auto& deck = core::LevelManager::instance().deck;
    if (!endSpawned || &interactable != endFigure || deck.mode() == core::ReplayDeck::Mode::Idle)
        return {};
    return "Your time: " + core::formatRunTime(deck.runTicks());
}

void LevelBoss::spawnEndFigure()
{
    auto& player = *scene->player;
    glm::vec3 origin = playerAfterFight;
    // The start-position rule of every entity: boxes sit on their mesh's centre.
    if (player.mesh && !player.mesh->hasTriangleShape)
        origin += player.mesh->center;
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(btVector3(origin.x, origin.y, origin.z));
    player.motionState->setWorldTransform(transform);
    player.body->setWorldTransform(transform);
    player.body->clearForces();
    player.body->setLinearVelocity(btVector3(0, 0, 0));
    player.body->setAngularVelocity(btVector3(0, 0, 0));
    player.getModelMatrix();
    player.snapTicks();

    endFigure->reset();
    scene->dynamicsWorld->addRigidBody(endFigure->body.get());
    particles->emit(*endFigure, 2000, 10, 0.1f, glm::vec3(0.0f), glm::vec4(1.0f));
    endSpawned = true;
}

} // namespace fennik::levels
