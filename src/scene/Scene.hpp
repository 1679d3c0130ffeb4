#pragma once

#include "gui/Text.hpp"
#include "physics/BulletDebugDrawer.hpp"
#include "render/GL.hpp"

#include <btBulletDynamicsCommon.h>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct GLFWwindow;

namespace fennik::core {
struct GameSettings;
}

namespace fennik::render {
class Cubemap;
class DepthFramebuffer;
class FramebufferExtra;
class Mesh;
class Model;
class PostProcessor;
class PPBloomBlurHorizontal;
class PPBloomBlurVertical;
class PPBloomCombine;
class PPDOFHorizontal;
class PPDOFVertical;
class QuadRender;
class Shader;
class Skylight;
} // namespace fennik::render

namespace fennik::gui {
class GUIPlayerHealthBar;
}

namespace fennik::physics {
class Entity;
class Enemy;
class EntityFixedCamera;
class Interactable;
class Player;
} // namespace fennik::physics

namespace fennik::scene {

// Reports one penetrating contact: the player, the other entity, the contact point,
// and the normal pointing from the other entity towards the player.
using CollisionCallback =
    std::function<void(physics::Entity* player, physics::Entity* other, btManifoldPoint& point, glm::vec3& normal)>;

// A level's bundle of physics world, entities, camera and render resources. Each
// level builds one at start-up and keeps it until the process ends; switching
// levels rebuilds nothing.
//
// The Scene owns its world and, through its entities, every body and motion state in
// it; on destruction it takes every body out of the world before anything is freed.
// Meshes (and their collision shapes) belong to the level's models, which must
// outlive the Scene: a level declares its models before its Scene.
class Scene {
public:
    // Builds only the physics side: no OpenGL context is needed. For tests and tools.
    struct PhysicsOnly {};

    // One simulation tick (the game runs one update per 1/30 s) is two fixed
    // sub-steps of 1/60 s.
    static constexpr float fixedTimeStep = 1.0f / 60.0f;
    static constexpr int subStepsPerTick = 2;

    Scene(GLFWwindow* window, core::GameSettings* settings);
    Scene(GLFWwindow* window, core::GameSettings* settings, PhysicsOnly);
    ~Scene();

    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Lets the player, then enemies, interaction points and level entities read
    // held keys. A jump that starts here drops the player's contacts from the last
    // step: they were found on the ground the player just left.
    void processInput();
    // The per-tick entity pass: player impulse, sound listener, camera, enemies,
    // interaction points, level entities, then contact dispatch.
    void update();
    // One tick of simulation, right after `update`. Bodies fall with twice the
    // configured gravity: the world applies it once more before stepping.
    void stepPhysics();
    // Hands the contacts of the last step to `collisionCallback`, player first.
    void dispatchCollisions();
    // The player (whatever its health), then every live enemy, interaction point and
    // level entity; then the physics wireframes when asked.
    void drawEntities(render::Shader& shader, bool debugDraw);
    // The level restart: every entity back at its start with full health, the dead
    // ones back in the world.
    void reset();

    // Replaces any earlier player (and retargets a camera that followed it).
    std::shared_ptr<physics::Player> createPlayer(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates);
    // A camera following the player, from the settings' field of view, clip planes
    // and window size. Does nothing (returns null) without a player.
    std::shared_ptr<physics::EntityFixedCamera> createCamera();
    // One static level entity per mesh of `model`, in mesh order. Only meshes whose
    // name contains "solid" collide; with `skipInteractables`, meshes whose name
    // contains "interactable" are left out (a level picks those out itself).
    void addLevelGeometry(render::Model& model, bool skipInteractables);

    // Enemies and interaction points join their list and the world at once. A null
    // mesh gives a small invisible box.
    std::shared_ptr<physics::Enemy> addEnemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates);
    std::shared_ptr<physics::Enemy> addDummyEnemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates);
    std::shared_ptr<physics::Enemy> addBossEnemy(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates);
    std::shared_ptr<physics::Interactable> addInteractable(render::Mesh* mesh, float mass, glm::vec3 position,
                                                           bool rotates, float interactionRange, std::string id);
    std::shared_ptr<physics::Interactable> addEndInteractable(render::Mesh* mesh, float mass, glm::vec3 position,
                                                              bool rotates, float interactionRange, std::string id);
    // Every enemy has health at most 0; true for a scene without enemies.
    bool allEnemiesDead() const;

    // One numbered stage of the frame, in this order each frame: 0 shadow map, 1 lit
    // scene (left bound for the particles), 2 sky box, 3 post-processing (skipped by
    // the level while normals are shown), 4 the picture to the window, 5 health
    // bars. Each stage relies on the ones before it in the same frame; any other
    // number does nothing.
    void render(int stage);
    // 0: the plain normal-coloured program under a dimmed sun; 1: physically based
    // shading under the full sun. Other values change nothing.
    void setShadingMode(int mode);
    // Follows the settings' window size with the post-processing targets and the
    // scene target; the shadow map keeps its size. A minimised window (0 x 0)
    // resizes nothing.
    void resizeFramebuffers();
    // Window pixels, (0, 0) at the bottom left: for the 2D overlays.
    glm::mat4 screenProjection() const;

    // --- physics side -----------------------------------------------------------
    std::vector<std::shared_ptr<physics::Entity>> entities; // level geometry
    std::vector<std::shared_ptr<physics::Interactable>> interactables;
    std::vector<std::shared_ptr<physics::Enemy>> enemies;
    std::shared_ptr<physics::Player> player;
    std::shared_ptr<physics::EntityFixedCamera> camera;
    std::unique_ptr<btDefaultCollisionConfiguration> collisionConfiguration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btDbvtBroadphase> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> dynamicsWorld;
    std::unique_ptr<physics::BulletDebugDrawer> debugDrawer;
    core::GameSettings* settings = nullptr; // not owned
    GLFWwindow* window = nullptr;           // not owned
    CollisionCallback collisionCallback;    // empty until the level binds one

    // --- render side (SceneRender.cpp) ------------------------------------------
    // Render members go below, in the order they are built.
    std::unique_ptr<gui::Text> text; // the levels' prompts
    std::shared_ptr<render::Shader> normalShader;
    std::shared_ptr<render::Shader> pbrShader;
    std::shared_ptr<render::Shader> sceneShader; // one of the two above
    std::shared_ptr<render::Shader> skyboxShader;
    std::shared_ptr<render::Shader> depthShader;
    std::shared_ptr<render::PostProcessor> postProcessor;
    std::shared_ptr<render::PPBloomBlurHorizontal> bloomBlurHorizontal;
    std::shared_ptr<render::PPBloomBlurVertical> bloomBlurVertical;
    std::shared_ptr<render::PPBloomCombine> bloomCombine;
    std::shared_ptr<render::PPDOFHorizontal> dofHorizontal;
    std::shared_ptr<render::PPDOFVertical> dofVertical;
    std::shared_ptr<render::Skylight> skylight;
    std::shared_ptr<render::QuadRender> quadRender;
    std::shared_ptr<render::DepthFramebuffer> shadowFramebuffer;
    std::shared_ptr<render::FramebufferExtra> sceneFramebuffer;
    std::shared_ptr<render::Cubemap> skybox;
    std::shared_ptr<gui::GUIPlayerHealthBar> healthBar;
    glm::mat4 lightSpaceMatrix{1.0f};
    glm::mat4 skyView{1.0f};
    GLuint outputTexture = 0; // what stage 4 shows: the last stage's picture
    // Copied from the level's toggles before each frame.
    bool showDepthMap = false;
    bool drawNormal = false;
    bool debugDraw = false;

private:
    void buildWorld();
    // Builds the render members; defined with the render side in SceneRender.cpp.
    void createRenderResources();
    void renderShadowMap();
    void renderLitScene();
    void renderSkybox();
    void renderPostProcessing();
    void presentToWindow();
    void renderHealthBars();
    void releaseBodies();
    // Drops the contact points the last step found for `entity`.
    void forgetContacts(const physics::Entity& entity);
};

} // namespace fennik::scene
