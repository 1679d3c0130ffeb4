#pragma once

#include "gui/Text.hpp"
#include "physics/BulletDebugDrawer.hpp"
#include "render/Frame.hpp"
#include "render/GL.hpp"

#include <btBulletDynamicsCommon.h>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct GLFWwindow;

namespace fennik::core {
struct GameSettings;
}

namespace fennik::render {
class GpuResources;
class Mesh;
class PostEffects;
class Model;
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

// A level's bundle of physics world, entities and camera, and the frame that draws
// them with the process's shared GPU resources (render::gpu()). Each level builds one
// at start-up and keeps it until the process ends; switching levels rebuilds nothing.
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
    // configured gravity: the world applies it once more before stepping. Then every
    // entity records where the tick left it, for the frames drawn until the next.
    void stepPhysics();
    // Hands the contacts of the last step to `collisionCallback`, player first.
    void dispatchCollisions();
    // The player (whatever its health), then every live enemy, interaction point and
    // level entity, each where this frame draws it; then the physics wireframes when
    // asked.
    void drawEntities(render::Shader& shader, bool debugDraw);
    // The level restart: every entity back at its start with full health, the dead
    // ones back in the world, the camera at its resting place behind the player.
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

    // What a level adds to the frame the scene draws: the particles (drawn into the
    // lit scene before the sky), and the 2D overlay (prompts, notes, menus) drawn last
    // into the window. Either may be empty.
    struct FrameParts {
        std::function<void()> particles;
        bool healthBars = true;
        std::function<void()> overlay;
    };
    // The frame, in order: shadow map, lit scene, particles, sky box, bloom blur, bloom
    // combine (or tone mapping without the glow), depth of field, scale up (below full
    // render scale), health bars, 2D overlay. While normals are shown the lit scene
    // goes out as it is instead of the post passes. Which passes run follows the
    // settings' graphics (core::GraphicsSettings), whose targets render::gpu() holds.
    render::Frame buildFrame(FrameParts parts);
    // Draws `frame`, timing its passes, with everything that moves `alpha` (0 to 1) of
    // the way from where the previous tick left it to where the last tick did.
    void draw(const render::Frame& frame, float alpha);
    // The `alpha` of the frame being drawn.
    float drawAlpha() const { return alpha; }
    // The preset and the render scale, then the passes' GPU times of the latest measured
    // frame as overlay lines, the frame's total last; and their drawing in the top-right
    // corner.
    std::vector<std::string> timingLines() const;
    void drawTimings();
    // 0: the plain normal-coloured program under a dimmed sun; 1: physically based
    // shading under the full sun. Other values change nothing.
    void setShadingMode(int mode);
    // Follows the settings' window size with the shared window-sized targets; the
    // shadow map keeps its size. The same size again, or a minimised window's 0 x 0,
    // changes nothing.
    void resizeFramebuffers();
    // Window pixels, (0, 0) at the bottom left: for the 2D overlays.
    glm::mat4 screenProjection() const;

    // While the player is airborne, a soft round shadow on the first surface straight
    // below it, smaller and fainter the higher the player is: the sun's shadow falls
    // sideways and does not say where a jump ends. Drawn only; the ray changes nothing.
    struct LandingMarker {
        glm::vec3 point;
        glm::vec3 normal;
        float radius;
        float strength; // the darkness at its middle, 0 to 1
    };
    static constexpr float landingMarkerReach = 30.0f;
    // Where this frame draws the marker; none while the player stands or nothing is below.
    std::optional<LandingMarker> landingMarker() const;

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
    // Render members go below, in the order they are built. Programs, targets and the
    // sky box are the process's shared ones (render::gpu()).
    std::unique_ptr<gui::Text> text; // the levels' prompts
    std::shared_ptr<render::Shader> normalShader;
    std::shared_ptr<render::Shader> pbrShader;
    std::shared_ptr<render::Shader> sceneShader; // one of the two above
    std::shared_ptr<render::Shader> depthShader;
    std::shared_ptr<render::Shader> skyboxShader;
    std::shared_ptr<render::Shader> landingMarkerShader;
    std::unique_ptr<render::PostEffects> postEffects;
    std::shared_ptr<render::Skylight> skylight;
    std::shared_ptr<gui::GUIPlayerHealthBar> healthBar;
    render::GpuResources* gpu = nullptr; // null for a physics-only scene
    glm::mat4 lightSpaceMatrix{1.0f};
    // Copied from the level's toggles before each frame.
    bool showDepthMap = false;
    bool drawNormal = false;
    bool debugDraw = false;
    bool cullFaces = true;

private:
    float alpha = 0.0f;
    void buildWorld();
    // Builds the render members; defined with the render side in SceneRender.cpp.
    void createRenderResources();
    void renderShadowMap();
    void renderLitScene();
    void renderSkybox();
    void renderLandingMarker();
    void renderBloomBlur();
    void renderBloomCombine();
    void renderDepthOfField();
    void presentToWindow();
    void scalePictureUp();
    // Where the last post pass writes: the window, or below full render scale post
    // target 0, which the scale-up pass draws over the window.
    GLuint pictureFramebuffer();
    void renderHealthBars();
    void releaseBodies();
    // Drops the floor contacts the last step found for `entity`: the points whose normal,
    // turned towards it, rises above the settings' slope threshold.
    void forgetFloorContacts(const physics::Entity& entity);
};

} // namespace fennik::scene
