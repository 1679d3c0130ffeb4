#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"
#include "render/Shader.hpp"

#include "PlayTicks.hpp"
#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/Teleport.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>

#include <memory>
#include <string>
#include <vector>

namespace fennik::scene {
namespace {

using physics::Entity;

// The order in which the input pass reaches every kind of entity.
using Journal = std::vector<std::string>;

struct RecordingEnemy : physics::Enemy {
    RecordingEnemy(glm::vec3 position, Journal* journal) : Enemy(nullptr, 1.0f, position, false), journal(journal) {}
    void processInput(GLFWwindow*) override { journal->push_back("enemy"); }
    void act(glm::vec3 target, bool home) override
    {
        ++acts;
        lastTarget = target;
        returnHome = home;
    }
    void draw(render::Shader&) override { ++draws; }
    Journal* journal;
    int acts = 0;
    int draws = 0;
    glm::vec3 lastTarget{-99.0f};
    bool returnHome = false;
};

struct RecordingPlayer : physics::Player {
    RecordingPlayer() : Player(nullptr, 11.0f, {0, 5, 0}, false) {}
    void draw(render::Shader&) override { ++draws; }
    int draws = 0;
};

struct RecordingInteractable : physics::Interactable {
    RecordingInteractable(glm::vec3 position, Journal* journal)
        : Interactable(nullptr, 0.0f, position, false, 0.0f, "default"), journal(journal)
    {
    }
    void processInput(GLFWwindow*) override { journal->push_back("interactable"); }
    Journal* journal;
};

struct RecordingEntity : Entity {
    RecordingEntity(glm::vec3 position, Journal* journal)
        : Entity(nullptr, 0.0f, position, false, levelGeometryType, true), journal(journal)
    {
    }
    void processInput(GLFWwindow*) override { journal->push_back("entity"); }
    Journal* journal;
};

bool inWorld(const Entity& entity)
{
    return entity.body->getBroadphaseHandle() != nullptr;
}

class SceneTest : public ::testing::Test {
protected:
    core::GameSettings settings = test::gameSettings(800, 600);
    core::ScriptedInput input;
    core::ScopedInputSource scoped{input};
    test::LogCapture quiet; // sound calls may report a missing audio device
    Scene scene{nullptr, &settings, Scene::PhysicsOnly{}};

    void tick() { playTicks(scene); }

    template <typename T>
    std::shared_ptr<T> add(std::vector<std::shared_ptr<T>>& list, std::shared_ptr<T> entity)
    {
        list.push_back(entity);
        scene.dynamicsWorld->addRigidBody(entity->body.get());
        return entity;
    }
};

// --- the world ------------------------------------------------------------------

TEST_F(SceneTest, WorldDrawsWireframesAndReportsNoContactsUntilALevelAsks)
{
    EXPECT_EQ(scene.dynamicsWorld->getDebugDrawer(), scene.debugDrawer.get());
    EXPECT_EQ(scene.debugDrawer->getDebugMode(), btIDebugDraw::DBG_DrawWireframe);
    EXPECT_FALSE(scene.collisionCallback);
}

TEST_F(SceneTest, BodiesFallWithTwiceTheGravityFromTheFirstTick)
{
    auto player = scene.createPlayer(nullptr, 11.0f, {0, 100, 0}, false);
    scene.createCamera();
    tick();
    EXPECT_NEAR(player->body->getLinearVelocity().y(), -2.0f * 9.81f / 30.0f, 1e-4f);
    for (int i = 1; i < 10; ++i)
        tick();
    EXPECT_NEAR(player->body->getLinearVelocity().y(), -2.0f * 9.81f * 10.0f / 30.0f, 1e-3f);
    // About a * t^2 / 2 in a third of a second (single gravity would give half).
    const float drop = 100.0f - (player->getModelMatrix()[3].y + 1.7f);
    EXPECT_NEAR(drop, 0.5f * 2.0f * 9.81f / 9.0f, 0.06f);
}

// --- creation -------------------------------------------------------------------

TEST_F(SceneTest, CreatePlayerReplacesTheOldOneAndKeepsTheCameraOnIt)
{
    EXPECT_EQ(scene.createCamera(), nullptr) << "no camera without a player";
    auto first = scene.createPlayer(nullptr, 11.0f, {0, 0, 0}, false);
    auto camera = scene.createCamera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->target, first.get());
    EXPECT_TRUE(inWorld(*first));

    auto second = scene.createPlayer(nullptr, 10.0f, {5, 0, 0}, false);
    EXPECT_FALSE(inWorld(*first));
    EXPECT_TRUE(inWorld(*second));
    EXPECT_EQ(scene.player, second);
    EXPECT_EQ(camera->target, second.get());
}

TEST_F(SceneTest, CameraTakesItsLensFromTheSettings)
{
    scene.createPlayer(nullptr, 11.0f, {0, 0, 0}, false);
    auto camera = scene.createCamera();
    EXPECT_FLOAT_EQ(camera->fov, 45.0f);
    EXPECT_FLOAT_EQ(camera->aspect, 800.0f / 600.0f);
    EXPECT_FLOAT_EQ(camera->nearZ, 0.1f);
    EXPECT_FLOAT_EQ(camera->farZ, 100.0f);

    settings.windowHeight = 0; // a minimised window
    camera = scene.createCamera();
    EXPECT_FLOAT_EQ(camera->aspect, 1.0f);
}

// --- per-tick passes ------------------------------------------------------------

TEST_F(SceneTest, InputReachesPlayerEnemiesInteractablesAndGeometryInThatOrder)
{
    Journal journal;
    scene.createPlayer(nullptr, 11.0f, {0, 0, 0}, false);
    add(scene.entities, std::shared_ptr<Entity>(std::make_shared<RecordingEntity>(glm::vec3(0, -5, 0), &journal)));
    add(scene.interactables, std::shared_ptr<physics::Interactable>(
                                 std::make_shared<RecordingInteractable>(glm::vec3(9, 0, 0), &journal)));
    add(scene.enemies, std::shared_ptr<physics::Enemy>(std::make_shared<RecordingEnemy>(glm::vec3(-9, 0, 0), &journal)));
    input.press(GLFW_KEY_S);
    scene.processInput();
    EXPECT_EQ(scene.player->moveDirection, glm::vec3(1, 0, 0));
    EXPECT_EQ(journal, (Journal{"enemy", "interactable", "entity"}));
}

TEST_F(SceneTest, EnemiesChaseBelowTwentyUnitsOfGroundDistanceAndGoHomeBeyond)
{
    // The level scenarios play the rule along one axis; the distance must take both
    // ground axes (a 3-4-5 triangle) and leave the height out.
    Journal journal;
    scene.createPlayer(nullptr, 0.0f, {0, 0, 0}, false);
    scene.createCamera();
    auto atTwenty = std::make_shared<RecordingEnemy>(glm::vec3(12, 0, 16), &journal);
    auto justInside = std::make_shared<RecordingEnemy>(glm::vec3(0, 0, -19.99f), &journal);
    auto farBelow = std::make_shared<RecordingEnemy>(glm::vec3(19.9f, -30, 0), &journal);
    for (const auto& enemy : {atTwenty, justInside, farBelow})
        add(scene.enemies, std::shared_ptr<physics::Enemy>(enemy));

    scene.update();
    EXPECT_TRUE(atTwenty->returnHome);
    EXPECT_EQ(atTwenty->lastTarget, glm::vec3(0.0f));
    EXPECT_FALSE(justInside->returnHome);
    EXPECT_EQ(justInside->lastTarget, scene.player->position);
    EXPECT_FALSE(farBelow->returnHome) << "height does not count";
}

TEST_F(SceneTest, DeadEntitiesLeaveTheWorldButStayListedUntilTheRestart)
{
    Journal journal;
    scene.createPlayer(nullptr, 11.0f, {0, 10, 0}, false);
    auto enemy = std::make_shared<RecordingEnemy>(glm::vec3(3, 0, 0), &journal);
    auto geometry = std::make_shared<RecordingEntity>(glm::vec3(0, -5, 0), &journal);
    add(scene.enemies, std::shared_ptr<physics::Enemy>(enemy));
    add(scene.entities, std::shared_ptr<Entity>(geometry));

    enemy->health = 0.0f;
    geometry->health = -5.0f;
    scene.update();
    scene.update(); // removing again does no harm
    EXPECT_FALSE(inWorld(*enemy));
    EXPECT_FALSE(inWorld(*geometry));
    EXPECT_EQ(enemy->acts, 0);
    EXPECT_EQ(scene.enemies.size(), 1u);

    scene.reset();
    EXPECT_TRUE(inWorld(*enemy));
    EXPECT_TRUE(inWorld(*geometry));
    EXPECT_FLOAT_EQ(enemy->health, 100.0f);
    EXPECT_FLOAT_EQ(geometry->health, 100.0f);
}

TEST_F(SceneTest, ResetPutsEveryoneBackAndLeavesSceneryOutOfTheWorld)
{
    auto player = scene.createPlayer(nullptr, 11.0f, {1, 50, 2}, false);
    scene.createCamera();
    auto scenery = std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(0, -3, 0), false, Entity::levelGeometryType, false);
    scene.entities.push_back(scenery);
    player->jumping = true;
    for (int i = 0; i < 20; ++i)
        tick();
    player->health = 40.0f;
    ASSERT_LT(player->getModelMatrix()[3].y, 45.0f);

    scene.reset();
    EXPECT_TRUE(inWorld(*player));
    EXPECT_FALSE(inWorld(*scenery));
    EXPECT_FLOAT_EQ(player->health, 100.0f);
    EXPECT_NEAR(player->position.y, 50.0f, 1e-5f);
    EXPECT_EQ(player->body->getLinearVelocity(), btVector3(0, 0, 0));
    EXPECT_TRUE(player->jumping) << "the restart leaves the jump flag alone";
}

// --- contacts -------------------------------------------------------------------

struct Contact {
    Entity* player;
    Entity* other;
    glm::vec3 normal;
    float distance;
};

class DispatchTest : public SceneTest {
protected:
    std::vector<Contact> reported;
    std::shared_ptr<physics::Player> player;
    std::shared_ptr<Entity> rock;
    std::shared_ptr<Entity> stone;
    std::vector<btPersistentManifold*> manifolds;

    void SetUp() override
    {
        player = scene.createPlayer(nullptr, 11.0f, {0, 0, 0}, false);
        scene.createCamera();
        rock = std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(10, 0, 0), false, Entity::enemyType, true);
        stone = std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(-10, 0, 0), false, Entity::levelGeometryType, true);
        scene.collisionCallback = [this](Entity* first, Entity* second, btManifoldPoint& point, glm::vec3& normal) {
            reported.push_back({first, second, normal, point.getDistance()});
        };
    }
    void TearDown() override
    {
        for (btPersistentManifold* manifold : manifolds)
            scene.dispatcher->releaseManifold(manifold);
    }

    // A contact manifold as a step would leave it, with hand-picked points.
    btPersistentManifold* manifold(Entity& first, Entity& second, std::vector<float> distances, btVector3 normal)
    {
        btPersistentManifold* made = scene.dispatcher->getNewManifold(first.body.get(), second.body.get());
        float along = 0.0f;
        for (float distance : distances) {
            const btVector3 at(along, 0, 0);
            made->addManifoldPoint(btManifoldPoint(at, at, normal, distance));
            along += 0.5f;
        }
        manifolds.push_back(made);
        return made;
    }
};

TEST_F(DispatchTest, PlayerComesFirstWithTheNormalPointingAtIt)
{
    manifold(*player, *rock, {-0.1f}, btVector3(0, 1, 0));
    manifold(*rock, *player, {-0.2f}, btVector3(0, 0.6f, 0.8f));
    scene.dispatchCollisions();

    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0].player, player.get());
    EXPECT_EQ(reported[0].other, rock.get());
    EXPECT_EQ(reported[0].normal, glm::vec3(0, 1, 0));
    EXPECT_EQ(reported[1].player, player.get());
    EXPECT_EQ(reported[1].other, rock.get());
    EXPECT_EQ(reported[1].normal, glm::vec3(0, -0.6f, -0.8f));
}

TEST_F(DispatchTest, OnlyPenetratingPointsAreReportedEachOnItsOwn)
{
    manifold(*player, *rock, {0.0f, -0.01f, 0.02f, -0.3f}, btVector3(1, 0, 0));
    scene.dispatchCollisions();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_FLOAT_EQ(reported[0].distance, -0.01f);
    EXPECT_FLOAT_EQ(reported[1].distance, -0.3f);
}

TEST_F(DispatchTest, NothingIsReportedWithoutThePlayerAnEntityOrACallback)
{
    manifold(*rock, *stone, {-0.5f}, btVector3(0, 1, 0));
    btDefaultMotionState state;
    btBoxShape shape(btVector3(1, 1, 1));
    btRigidBody bare(0.0f, &state, &shape);
    btPersistentManifold* made = scene.dispatcher->getNewManifold(&bare, player->body.get());
    made->addManifoldPoint(btManifoldPoint(btVector3(0, 0, 0), btVector3(0, 0, 0), btVector3(0, 1, 0), -0.5f));
    manifolds.push_back(made);
    scene.dispatchCollisions();
    EXPECT_TRUE(reported.empty());

    // A real contact, but no level listening.
    manifold(*player, *rock, {-0.1f}, btVector3(0, 1, 0));
    scene.collisionCallback = nullptr;
    scene.dispatchCollisions();
    EXPECT_TRUE(reported.empty());
}

TEST_F(DispatchTest, UpdateReportsTheContactsOfTheLastStep)
{
    // The player lands on a static marker box (top at y = 0.25).
    test::teleport(*player, {0, 2.5f, 0});
    auto marker = std::make_shared<Entity>(nullptr, 0.0f, glm::vec3(0, 0, 0), false, Entity::levelGeometryType, true);
    scene.entities.push_back(marker);
    scene.dynamicsWorld->addRigidBody(marker->body.get());
    for (int i = 0; i < 20; ++i)
        tick();

    ASSERT_FALSE(reported.empty());
    for (const Contact& contact : reported) {
        EXPECT_EQ(contact.player, player.get());
        EXPECT_EQ(contact.other, marker.get());
        EXPECT_GT(contact.normal.y, 0.99f) << "from the box up towards the player";
        EXPECT_LT(contact.distance, 0.0f);
    }
    EXPECT_NEAR(player->getModelMatrix()[3].y + 1.7f, 0.25f + 1.875f, 0.05f);
}

// --- with models and drawing ----------------------------------------------------

class SceneModelTest : public test::GLTest {
protected:
    core::GameSettings settings = test::gameSettings(800, 600);
    test::LogCapture quiet;
    // The model goes after the Scene: the Scene's bodies use the meshes' shapes.
    std::unique_ptr<render::Model> model;
    std::unique_ptr<Scene> scenePointer;

    void SetUp() override
    {
        GLTest::SetUp(); // meshes need the context
        model = std::make_unique<render::Model>("tests/scene/fixtures/arena.obj");
        scenePointer = std::make_unique<Scene>(nullptr, &settings, Scene::PhysicsOnly{});
    }
    void TearDown() override
    {
        scenePointer.reset();
        model.reset();
    }

    Scene& scene() { return *scenePointer; }

    std::shared_ptr<Entity> levelEntity(const std::string& name)
    {
        for (const auto& entity : scene().entities) {
            if (entity->mesh && entity->mesh->name == name)
                return entity;
        }
        return nullptr;
    }

    bool collides(const std::string& name)
    {
        const auto entity = levelEntity(name);
        if (!entity) {
            ADD_FAILURE() << "no level entity for " << name;
            return false;
        }
        return inWorld(*entity);
    }
};

TEST_F(SceneModelTest, OnlyMeshesNamedSolidCollide)
{
    scene().addLevelGeometry(*model, false);
    ASSERT_EQ(scene().entities.size(), model->meshes.size());
    for (std::size_t i = 0; i < model->meshes.size(); ++i) {
        EXPECT_EQ(scene().entities[i]->mesh, &model->meshes[i]) << "in mesh order";
        EXPECT_EQ(scene().entities[i]->type, Entity::levelGeometryType);
        EXPECT_TRUE(scene().entities[i]->body->isStaticObject());
    }
    EXPECT_TRUE(collides("floor_solid"));
    EXPECT_TRUE(collides("crate_solid"));
    EXPECT_TRUE(collides("rock_interactable_solid"));
    EXPECT_FALSE(collides("pillar"));
    EXPECT_FALSE(collides("Wall_Solid")) << "the test is case-sensitive";
}

TEST_F(SceneModelTest, InteractableMeshesAreLeftOutWhenTheLevelAsks)
{
    scene().addLevelGeometry(*model, true);
    EXPECT_EQ(scene().entities.size(), model->meshes.size() - 1);
    EXPECT_EQ(levelEntity("rock_interactable_solid"), nullptr);
}

TEST_F(SceneModelTest, AMissingModelLeavesALevelWithoutItsPiecesButRunning)
{
    render::Model missing("tests/scene/fixtures/gone.obj");
    scene().addLevelGeometry(missing, true);
    EXPECT_TRUE(scene().entities.empty());
    // The player mesh the level asks for is not there: the player is the bare capsule.
    auto player = scene().createPlayer(missing.findMesh("Fennik"), 11.0f, {0, 5, 0}, false);
    scene().createCamera();
    scene().addLevelGeometry(*model, false);
    playTicks(scene(), 30);
    EXPECT_NEAR(player->position.y, 1.875f, 0.1f);
}

TEST_F(SceneModelTest, PlayerSettlesOnASolidFloorAndPassesThroughScenery)
{
    scene().addLevelGeometry(*model, false);
    // Standing inside the pillar's outline, which is only scenery.
    auto ghost = scene().createPlayer(nullptr, 11.0f, {9, 5, 9}, false);
    scene().createCamera();
    playTicks(scene(), 60);
    EXPECT_NEAR(ghost->getModelMatrix()[3].y + 1.7f, 1.875f, 0.1f);
    EXPECT_NEAR(ghost->body->getLinearVelocity().y(), 0.0f, 0.05f);
}

const char* const flatVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 modelMatrix;
void main() { gl_Position = modelMatrix * vec4(position * 0.01, 1.0); }
)";
const char* const flatFragment = R"(#version 330 core
out vec4 colour;
void main() { colour = vec4(1.0); }
)";

struct CountingDrawer : physics::BulletDebugDrawer {
    void drawLine(const btVector3&, const btVector3&, const btVector3&) override { ++segments; }
    int segments = 0;
};

TEST_F(SceneModelTest, DrawsThePlayerAlwaysTheRestWhileAliveAndLinesOnlyWhenAsked)
{
    Journal journal;
    scene().addLevelGeometry(*model, false);
    auto player = std::make_shared<RecordingPlayer>();
    scene().player = player;
    player->health = -20.0f;
    auto alive = std::make_shared<RecordingEnemy>(glm::vec3(3, 1, 0), &journal);
    auto dead = std::make_shared<RecordingEnemy>(glm::vec3(6, 1, 0), &journal);
    dead->health = 0.0f;
    scene().enemies = {alive, dead};

    CountingDrawer counting;
    counting.setDebugMode(btIDebugDraw::DBG_DrawWireframe);
    scene().dynamicsWorld->setDebugDrawer(&counting);
    auto shader = render::Shader::fromSources(flatVertex, flatFragment);
    shader->use();

    scene().drawEntities(*shader, false);
    EXPECT_EQ(player->draws, 1);
    EXPECT_EQ(alive->draws, 1);
    EXPECT_EQ(dead->draws, 0);
    EXPECT_EQ(counting.segments, 0);

    scene().drawEntities(*shader, true);
    EXPECT_GT(counting.segments, 0);
    scene().dynamicsWorld->setDebugDrawer(scene().debugDrawer.get());
}

} // namespace
} // namespace fennik::scene
