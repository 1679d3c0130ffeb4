#pragma once

#include "core/Actions.hpp"
#include "core/Sound.hpp"
#include "physics/OpenGLMotionState.hpp"

#include <btBulletDynamicsCommon.h>

#include <glm/gtc/quaternion.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <memory>
#include <string>

struct GLFWwindow;

namespace fennik::render {
class Mesh;
class Shader;
} // namespace fennik::render

namespace fennik::physics {

// The one game-object class: a mesh tied to a rigid body, with health, a movement
// input and a facing direction. Level geometry, the player, enemies and interaction
// points are all entities; `type` tells them apart. The body's user pointer is the
// entity, which is how contacts find their way back to game code.
//
// The entity owns its body, motion state and (when it has one of its own) shape;
// the mesh's shape belongs to the mesh. The body must be out of every world before
// the entity goes: the Scene that added it removes it first.
class Entity {
public:
    static constexpr int levelGeometryType = 0;
    static constexpr int playerType = 1;
    static constexpr int interactableType = 2;
    static constexpr int enemyType = 3;

    // `mesh` may be null: the entity is then an invisible 0.25 half-extent box.
    Entity(render::Mesh* mesh, float mass, glm::vec3 position, bool rotates, int type, bool solid);
    virtual ~Entity();

    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;

    virtual void damage();
    // Reads this tick's held actions (keys through `keys`, or the gamepad).
    virtual void processInput(GLFWwindow* window, const core::KeyBindings& keys);
    // Refreshes `position` (and the other decomposed parts) from the body: callers
    // that need a current position call this first.
    glm::mat4 getModelMatrix();
    // Plain entities only drop their movement input.
    virtual void act(glm::vec3 target, bool returnHome);
    // Draws the mesh `alpha` (0 to 1) of the way from the previous tick's place to the
    // last tick's (see drawnModelMatrix); level geometry where it was modelled.
    void draw(render::Shader& shader, float alpha);

    // The simulation ticks at 30 Hz and frames come at any rate, so frames are drawn
    // between the body's transforms after the last two ticks. `recordTick` after each
    // physics step; `snapTicks` where the body jumps (a reset, a teleport), so no
    // frame is drawn on the way from the old place.
    void recordTick();
    void snapTicks();
    // The model matrix `alpha` of the way from the previous tick to the last: the
    // position blended linearly, the rotation by slerp. At 0 it is the previous
    // tick's exactly, at 1 the last tick's.
    glm::mat4 drawnModelMatrix(float alpha) const;
    // Where the body is drawn at `alpha`: what `position` is at a tick.
    glm::vec3 drawnPosition(float alpha) const;

    // Builds shape, motion state and body, replacing any earlier ones. The body is
    // not added to a world here.
    void initPhysics(float mass, glm::vec3 position, bool rotates, glm::vec3 offset);
    // Turns `moveDirection` into an impulse while the body is slower than maxSpeed - 3.
    void applyMovement();
    void knockback(glm::vec3 direction);
    // Knockback, the hit sound, then damage.
    void hit(glm::vec3 direction);
    // Positional, at `position`; the previous sound is cut off if still playing.
    void playSound(const std::string& file);
    // Back to the start with no motion and full health. The body's world membership
    // is the Scene's business. Kinds with state of their own forget it too, so a
    // level starts every visit the same way.
    virtual void reset();

    static bool isPlayer(const Entity* entity);

    std::unique_ptr<btRigidBody> body;
    std::unique_ptr<OpenGLMotionState> motionState;
    render::Mesh* mesh = nullptr; // not owned
    int type = levelGeometryType;
    glm::vec3 scale{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
    glm::vec3 position{0.0f};
    glm::vec3 skew{0.0f};
    glm::vec4 perspective{0.0f};
    glm::mat4 modelMatrix{1.0f};
    core::Sound sound;
    float mass = 0.0f;
    glm::vec3 startPosition{0.0f};
    bool rotates = false;
    glm::vec3 impulse{0.0f};
    glm::vec3 moveDirection{0.0f}; // this tick's input: an axis direction or zero
    glm::vec3 facing{0.0f};        // the last non-zero input; turns the drawn model
    float speed = 15.0f;
    float jumpStrength = 90.0f;
    float maxSpeed = 25.0f;
    btTransform startTransform = btTransform::getIdentity();
    float health = 100.0f;
    glm::mat4 staticModelMatrix{1.0f}; // level geometry is drawn where it was modelled
    btTransform worldTransform = btTransform::getIdentity();
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    bool solid = true;

protected:
    // The shape the body uses when it is not the mesh's: the small box of an entity
    // without a mesh, or a shape a subclass sets before calling initPhysics again.
    std::unique_ptr<btCollisionShape> ownShape;

    // Where the model's origin sits relative to the body: a box body sits on its
    // mesh's centre, so the model is shifted back down by the centre's height.
    virtual glm::vec3 modelOffset() const;
    // The model matrix for a body transform: shifted by modelOffset, turned towards
    // `facing`.
    glm::mat4 modelFromBody(glm::mat4 body) const;
    // Reads the body's transform from the motion state into `modelMatrix` and
    // decomposes it into `position`, `orientation` and the rest.
    void readTransform();

private:
    glm::mat4 bodyMatrix() const;

    glm::mat4 previousTick{1.0f};
    glm::mat4 lastTick{1.0f};
};

} // namespace fennik::physics
