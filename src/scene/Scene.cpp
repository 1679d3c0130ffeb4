#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "core/SoundEngine.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"
#include "render/PostEffects.hpp"

#include <BulletCollision/CollisionDispatch/btCollisionDispatcher.h>

#include <cassert>
#include <cmath>

namespace fennik::scene {

namespace {

// Enemies farther than this from the player, in the horizontal plane, walk home.
constexpr float chaseDistance = 20.0f;

glm::vec3 toGlm(const btVector3& v)
{
    return {v.x(), v.y(), v.z()};
}

} // namespace

Scene::Scene(GLFWwindow* window, core::GameSettings* settings) : settings(settings), window(window)
{
    buildWorld();
    createRenderResources();
}

Scene::Scene(GLFWwindow* window, core::GameSettings* settings, PhysicsOnly) : settings(settings), window(window)
{
    buildWorld();
}

Scene::~Scene()
{
    releaseBodies();
    if (dynamicsWorld)
        dynamicsWorld->setDebugDrawer(nullptr);
}

void Scene::buildWorld()
{
    assert(settings);
    // Each piece is built from the ones before it.
    btDefaultCollisionConstructionInfo constructionInfo;
    // Pools sized for what a level holds at once (a few dozen touching pairs); more
    // are allocated one by one, with the same simulation.
    constructionInfo.m_defaultMaxPersistentManifoldPoolSize = 256;
    constructionInfo.m_defaultMaxCollisionAlgorithmPoolSize = 256;
    constructionInfo.m_customCollisionAlgorithmMaxElementSize = 0;
    constructionInfo.m_useEpaPenetrationAlgorithm = true;
    collisionConfiguration = std::make_unique<btDefaultCollisionConfiguration>(constructionInfo);
    dispatcher = std::make_unique<btCollisionDispatcher>(collisionConfiguration.get());
    broadphase = std::make_unique<btDbvtBroadphase>(nullptr);
    solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    dynamicsWorld = std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), solver.get(),
                                                              collisionConfiguration.get());

    debugDrawer = std::make_unique<physics::BulletDebugDrawer>();
    debugDrawer->setDebugMode(btIDebugDraw::DBG_DrawWireframe);
    dynamicsWorld->setDebugDrawer(debugDrawer.get());

    // The settings hold a positive magnitude; gravity points down the Y axis.
    dynamicsWorld->setGravity(btVector3(0.0f, -settings->gravity, 0.0f));
}

void Scene::releaseBodies()
{
    // Out of the world first: the world must never hold a body that is being freed.
    // Removing a body that is not in the world (a dead enemy, non-solid geometry)
    // does nothing.
    const auto removeFromWorld = [this](const auto& entity) {
        if (entity && entity->body && dynamicsWorld)
            dynamicsWorld->removeRigidBody(entity->body.get());
    };
    removeFromWorld(player);
    for (const auto& enemy : enemies)
        removeFromWorld(enemy);
    for (const auto& interactable : interactables)
        removeFromWorld(interactable);
    for (const auto& entity : entities)
        removeFromWorld(entity);

    camera.reset();
    player.reset();
    enemies.clear();
    interactables.clear();
    entities.clear();
}

void Scene::processInput()
{
    static const core::KeyBindings defaultKeys;
    const core::KeyBindings& keys = settings ? settings->keys : defaultKeys;
    if (player) {
        const bool wasJumping = player->jumping;
        player->processInput(window, keys);
        // A jump leaves the ground, so the floor contacts the last step found no longer
        // hold. Left in place, this tick's dispatch would report them as a landing and
        // clear the jump flag at once, and a held SPACE would jump again next tick. An
        // enemy's side met in the same step still counts.
        if (!wasJumping && player->jumping)
            forgetFloorContacts(*player);
    }
    for (const auto& enemy : enemies)
        enemy->processInput(window, keys);
    for (const auto& interactable : interactables)
        interactable->processInput(window, keys);
    for (const auto& entity : entities)
        entity->processInput(window, keys);
}

void Scene::forgetFloorContacts(const physics::Entity& entity)
{
    const int manifolds = dispatcher->getNumManifolds();
    for (int i = 0; i < manifolds; ++i) {
        btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        const bool entityFirst = manifold->getBody0() == entity.body.get();
        if (!entityFirst && manifold->getBody1() != entity.body.get())
            continue;
        // Bullet's normal points from body 1 towards body 0; turned towards the entity,
        // a floor is what the level's landing rule would take it for.
        const float towardsEntity = entityFirst ? 1.0f : -1.0f;
        // Backwards: removing a point moves the last one into its place.
        for (int j = manifold->getNumContacts() - 1; j >= 0; --j) {
            if (towardsEntity * manifold->getContactPoint(j).m_normalWorldOnB.y() > settings->slopeThreshold)
                manifold->removeContactPoint(j);
        }
    }
}

void Scene::update()
{
    if (player) {
        player->applyMovement();
        player->getModelMatrix();
        core::SoundEngine::instance().setListenerPosition(player->position, player->facing, glm::vec3(0.0f),
                                                          glm::vec3(0.0f, 1.0f, 0.0f));
    }
    if (camera)
        camera->update();

    // A dead entity's body leaves the world; it stays in its list until the restart
    // brings it back. Removing it again every tick does nothing.
    for (const auto& enemy : enemies) {
        if (enemy->health <= 0.0f) {
            dynamicsWorld->removeRigidBody(enemy->body.get());
            continue;
        }
        if (!player) {
            enemy->act(glm::vec3(0.0f), true);
            continue;
        }
        player->getModelMatrix();
        enemy->getModelMatrix();
        // Height does not count: an enemy chases a player on a ledge above it.
        const float dx = player->position.x - enemy->position.x;
        const float dz = player->position.z - enemy->position.z;
        if (std::sqrt(dx * dx + dz * dz) >= chaseDistance)
            enemy->act(glm::vec3(0.0f), true);
        else
            enemy->act(player->position, false);
    }
    for (const auto& interactable : interactables) {
        if (interactable->health <= 0.0f) {
            dynamicsWorld->removeRigidBody(interactable->body.get());
            continue;
        }
        interactable->act(player ? player->position : glm::vec3(0.0f), false);
    }
    for (const auto& entity : entities) {
        if (entity->health <= 0.0f) {
            dynamicsWorld->removeRigidBody(entity->body.get());
            continue;
        }
        entity->act(glm::vec3(-1.0f), false);
    }

    dispatchCollisions();
}

void Scene::stepPhysics()
{
    if (!dynamicsWorld)
        return;
    // stepSimulation applies gravity itself; this second application is part of the
    // game's feel (every jump and fall is tuned to twice the configured gravity).
    dynamicsWorld->applyGravity();
    // Exactly two sub-steps per tick, whatever the wall clock says: a tick of twice
    // the fixed step divides evenly, so no remainder is carried into the next tick
    // and nothing is interpolated.
    dynamicsWorld->stepSimulation(fixedTimeStep * subStepsPerTick, subStepsPerTick, fixedTimeStep);

    // Level geometry is drawn where it was modelled and needs no record.
    if (player)
        player->recordTick();
    for (const auto& enemy : enemies)
        enemy->recordTick();
    for (const auto& interactable : interactables)
        interactable->recordTick();
}

void Scene::dispatchCollisions()
{
    if (!collisionCallback)
        return;

    const int manifolds = dispatcher->getNumManifolds();
    for (int i = 0; i < manifolds; ++i) {
        btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        auto* first = static_cast<physics::Entity*>(manifold->getBody0()->getUserPointer());
        auto* second = static_cast<physics::Entity*>(manifold->getBody1()->getUserPointer());
        if (!first || !second)
            continue;
        const bool firstIsPlayer = physics::Entity::isPlayer(first);
        if (!firstIsPlayer && !physics::Entity::isPlayer(second))
            continue;

        for (int j = 0; j < manifold->getNumContacts(); ++j) {
            btManifoldPoint& point = manifold->getContactPoint(j);
            // Touching is not enough: only points that penetrate are reported.
            if (!(point.getDistance() < 0.0f))
                continue;
            glm::vec3 normal = toGlm(point.m_normalWorldOnB);
            if (firstIsPlayer) {
                collisionCallback(first, second, point, normal);
            } else {
                normal = -normal;
                collisionCallback(second, first, point, normal);
            }
        }
    }
}

void Scene::drawEntities(render::Shader& shader, bool debugDraw)
{
    if (player)
        player->draw(shader, alpha);
    for (const auto& enemy : enemies) {
        if (enemy->health > 0.0f)
            enemy->draw(shader, alpha);
    }
    for (const auto& interactable : interactables) {
        if (interactable->health > 0.0f)
            interactable->draw(shader, alpha);
    }
    for (const auto& entity : entities) {
        if (entity->health > 0.0f)
            entity->draw(shader, alpha);
    }
    if (debugDraw)
        dynamicsWorld->debugDrawWorld();
}

void Scene::reset()
{
    // Every body leaves the world first. With none left, Bullet's broadphase tree, its
    // pair cache and the contact manifolds are empty and start over as in a new world,
    // and the solver forgets its seed: nothing of an earlier visit has a say in this
    // one, so a replay plays out the same whatever was played before it.
    std::vector<physics::Entity*> members;
    if (player)
        members.push_back(player.get());
    for (const auto& enemy : enemies)
        members.push_back(enemy.get());
    for (const auto& interactable : interactables)
        members.push_back(interactable.get());
    for (const auto& entity : entities) {
        if (entity->solid)
            members.push_back(entity.get());
        else
            entity->reset();
    }
    for (physics::Entity* member : members)
        dynamicsWorld->removeRigidBody(member->body.get());
    broadphase->resetPool(dispatcher.get());
    solver->reset();
    for (physics::Entity* member : members) {
        member->reset();
        dynamicsWorld->addRigidBody(member->body.get());
    }
    if (camera)
        camera->settle();
}

std::shared_ptr<physics::Player> Scene::createPlayer(render::Mesh* mesh, float mass, glm::vec3 position,
                                                     bool rotates)
{
    auto created = std::make_shared<physics::Player>(mesh, mass, position, rotates);
    if (player) {
        dynamicsWorld->removeRigidBody(player->body.get());
        // The camera holds a plain pointer to what it follows.
        if (camera && camera->target == player.get())
            camera->target = created.get();
    }
    player = created;
    dynamicsWorld->addRigidBody(player->body.get());
    return player;
}

std::shared_ptr<physics::EntityFixedCamera> Scene::createCamera()
{
    if (!player)
        return nullptr;
    // A minimised window reports a zero height; no aspect ratio comes from that.
    const float aspect = settings->windowHeight > 0
                             ? static_cast<float>(settings->windowWidth) / static_cast<float>(settings->windowHeight)
                             : 1.0f;
    camera = std::make_shared<physics::EntityFixedCamera>(settings->fov, aspect, settings->nearZ, settings->farZ,
                                                          player.get(), window);
    return camera;
}

void Scene::addLevelGeometry(render::Model& model, bool skipInteractables)
{
    for (render::Mesh& mesh : model.meshes) {
        if (skipInteractables && mesh.name.find("interactable") != std::string::npos)
            continue;
        const bool solid = mesh.name.find("solid") != std::string::npos;
        auto entity = std::make_shared<physics::Entity>(&mesh, 0.0f, glm::vec3(0.0f), false,
                                                        physics::Entity::levelGeometryType, solid);
        entities.push_back(entity);
        // Geometry without "solid" in its name is scenery: drawn, never collided with.
        if (solid)
            dynamicsWorld->addRigidBody(entity->body.get());
    }
}

namespace {

template <typename Kind, typename List, typename... Arguments>
std::shared_ptr<Kind> addToWorld(btDiscreteDynamicsWorld& world, List& list, Arguments&&... arguments)
{
    auto entity = std::make_shared<Kind>(std::forward<Arguments>(arguments)...);
    list.push_back(entity);
    world.addRigidBody(entity->body.get());
    return entity;
}

} // namespace

std::shared_ptr<physics::Enemy> Scene::addEnemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
{
    return addToWorld<physics::Enemy>(*dynamicsWorld, enemies, mesh, mass, position, rotates);
}

std::shared_ptr<physics::Enemy> Scene::addDummyEnemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
{
    return addToWorld<physics::DummyEnemy>(*dynamicsWorld, enemies, mesh, mass, position, rotates);
}

std::shared_ptr<physics::Enemy> Scene::addBossEnemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates)
{
    return addToWorld<physics::BossEnemy>(*dynamicsWorld, enemies, mesh, mass, position, rotates);
}

std::shared_ptr<physics::Interactable> Scene::addInteractable(render::Mesh* mesh, float mass, glm::vec3 position,
                                                              bool rotates, float interactionRange, std::string id)
{
    return addToWorld<physics::Interactable>(*dynamicsWorld, interactables, mesh, mass, position, rotates,
                                             interactionRange, std::move(id));
}

std::shared_ptr<physics::Interactable> Scene::addEndInteractable(render::Mesh* mesh, float mass, glm::vec3 position,
                                                                 bool rotates, float interactionRange, std::string id)
{
    return addToWorld<physics::EndInteractable>(*dynamicsWorld, interactables, mesh, mass, position, rotates,
                                                interactionRange, std::move(id));
}

bool Scene::allEnemiesDead() const
{
    for (const auto& enemy : enemies)
        if (enemy->health > 0.0f)
            return false;
    return true;
}

} // namespace fennik::scene
