#include "PlayerPilot.hpp"

#include "levels/PlayableLevel.hpp"
#include "physics/Enemy.hpp"
#include "physics/Player.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace fennik::test {

namespace {

// Tuned on the player as it is: 15 units of impulse a tick on a mass of 11, against
// the floor's friction, reaches 22 units a second, and holding the other key brakes
// at about 60 units a second squared. Half of that leaves room for bumps in the floor.
constexpr float runSpeed = 20.0f;
constexpr float brakingDeceleration = 30.0f;
// Slower than this along an axis counts as standing still.
constexpr float restingSpeed = 1.0f;
// A change of speed smaller than one tick of pushing is not worth a key.
constexpr float speedSlack = 0.7f;
// How far the player may stray from its lane before it steps back into it.
constexpr float laneSlack = 0.75f;
constexpr float arrivalTolerance = 0.3f;
// Pushing without moving for this many ticks means something is in the way.
constexpr int ticksBeforeJumping = 4;
constexpr int mostJumpsPerMove = 8;
// A player that moves farther than this in one tick was put back at its start.
constexpr float restartJump = 8.0f;

// Stomping. A beetle's back is almost three units wide, so being this far off its
// line still lands on it.
constexpr float alignmentSlack = 0.8f;
// The capsule meets a beetle with their centres about three units apart. From the
// second tick of a jump the capsule is high enough that whatever it meets of a beetle
// counts as a landing, and about 0.35 s in it is at the top of its arc: a jump that
// far ahead of the meeting comes down on the beetle's back. On the ground, a beetle
// that walks into the player hurts it.
constexpr float touchingDistance = 3.0f;
constexpr float jumpMargin = 0.5f;
constexpr float jumpCarry = 0.35f;
// In the air the horizontal velocity follows the offset to the target with this gain.
constexpr float airGain = 4.0f;
constexpr float airSpeed = 20.0f;

float along(glm::vec3 v, bool xAxis)
{
    return xAxis ? v.x : v.z;
}

float signOf(float value)
{
    return value > 0.0f ? 1.0f : (value < 0.0f ? -1.0f : 0.0f);
}

} // namespace

PlayerPilot::PlayerPilot(GameHarness& game) : game(game) {}

void PlayerPilot::enterLevel(const std::string& levelName, int tickBudget)
{
    level = levelName;
    budget = tickBudget;
    ticks = 0;
    if (game.activeName() != levelName)
        fail("expected to be playing " + levelName + " but " + game.activeName() + " is active");
    lastPosition = position();
}

bool PlayerPilot::inLevel()
{
    return game.activeName() == level;
}

physics::Player& PlayerPilot::player()
{
    auto& playing = game.level<levels::PlayableLevel>(level);
    return *playing.getScene().player;
}

glm::vec3 PlayerPilot::position()
{
    auto& body = player();
    body.getModelMatrix();
    return body.position;
}

glm::vec3 PlayerPilot::velocity()
{
    const btVector3 v = player().body->getLinearVelocity();
    return {v.x(), v.y(), v.z()};
}

std::string PlayerPilot::where()
{
    const glm::vec3 at = position();
    std::ostringstream text;
    text << level << " at (" << at.x << ", " << at.y << ", " << at.z << "), health " << player().health << ", tick "
         << ticks << " of a budget of " << budget;
    return text.str();
}

void PlayerPilot::fail(const std::string& what)
{
    game.input.releaseAll();
    throw PilotFailure(what + " -- " + where());
}

void PlayerPilot::step()
{
    game.tick();
    if (spaceHeld) {
        game.input.release(GLFW_KEY_SPACE);
        spaceHeld = false;
    }
    ++ticks;
    if (!inLevel())
        return;
    const glm::vec3 now = position();
    const btVector3& start = player().startTransform.getOrigin();
    if (glm::distance(now, lastPosition) > restartJump &&
        glm::distance(now, glm::vec3(start.x(), start.y(), start.z())) < 0.5f)
        fail("the level started over: the player fell or died");
    if (now.y < -1.0f)
        fail("the player fell off the level");
    if (ticks >= budget)
        fail("the tick budget is spent");
    lastPosition = now;
}

void PlayerPilot::releaseMovement()
{
    for (int key : {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S, GLFW_KEY_D})
        game.input.release(key);
}

void PlayerPilot::hold(Axis axis, float direction)
{
    releaseMovement();
    if (direction == 0.0f)
        return;
    // W and S walk along X, A and D along Z; inverted controls (the default) make W
    // walk towards -X and A towards +Z.
    const float controls = player().invertControls ? -1.0f : 1.0f;
    if (axis == Axis::X)
        game.input.press(direction == controls ? GLFW_KEY_W : GLFW_KEY_S);
    else
        game.input.press(direction == -controls ? GLFW_KEY_A : GLFW_KEY_D);
}

void PlayerPilot::jump()
{
    game.input.press(GLFW_KEY_SPACE);
    spaceHeld = true;
}

bool PlayerPilot::approach(Axis axis, float target, float tolerance)
{
    const bool xAxis = axis == Axis::X;
    const float offset = target - along(position(), xAxis);
    const float speed = along(velocity(), xAxis);
    if (std::abs(offset) <= tolerance && std::abs(speed) < restingSpeed) {
        hold(axis, 0.0f);
        return true;
    }
    // The fastest speed from which braking still stops at the target.
    const float wanted =
        std::copysign(std::min(runSpeed, std::sqrt(2.0f * brakingDeceleration * std::abs(offset))), offset);
    const float change = wanted - speed;
    hold(axis, std::abs(change) < speedSlack ? 0.0f : signOf(change));
    return false;
}

void PlayerPilot::jumpIfBlocked(Axis axis, float direction)
{
    if (player().jumping || direction == 0.0f) {
        stalledTicks = 0;
        return;
    }
    const float speed = along(velocity(), axis == Axis::X);
    if (speed * direction < 0.5f)
        ++stalledTicks;
    else
        stalledTicks = 0;
    if (stalledTicks < ticksBeforeJumping)
        return;
    stalledTicks = 0;
    if (++blockedJumps > mostJumpsPerMove)
        fail("jumping does not get past what blocks the way");
    jump();
}

void PlayerPilot::goAlong(Axis axis, float target)
{
    const Axis across = axis == Axis::X ? Axis::Z : Axis::X;
    const bool xAxis = axis == Axis::X;
    const float lane = along(position(), !xAxis);
    stalledTicks = 0;
    blockedJumps = 0;
    while (inLevel()) {
        const glm::vec3 at = position();
        const float laneOffset = lane - along(at, !xAxis);
        if (std::abs(laneOffset) > laneSlack) {
            approach(across, lane, arrivalTolerance);
            jumpIfBlocked(across, signOf(laneOffset));
        } else {
            if (approach(axis, target, arrivalTolerance))
                return;
            const float offset = target - along(at, xAxis);
            jumpIfBlocked(axis, std::abs(offset) > 1.0f ? signOf(offset) : 0.0f);
        }
        step();
    }
}

void PlayerPilot::goX(float x)
{
    goAlong(Axis::X, x);
}

void PlayerPilot::goZ(float z)
{
    goAlong(Axis::Z, z);
}

void PlayerPilot::walkTo(glm::vec2 xz)
{
    goX(xz.x);
    goZ(xz.y);
}

void PlayerPilot::leapZ(float takeoffZ, float landingZ)
{
    const float lane = position().x;
    const float direction = signOf(landingZ - position().z);
    bool leapt = false;
    stalledTicks = 0;
    blockedJumps = 0;
    while (inLevel()) {
        const glm::vec3 at = position();
        const bool airborne = player().jumping;
        if (leapt && !airborne && (at.z - landingZ) * direction >= 0.0f)
            return;
        if (!airborne && std::abs(at.x - lane) > laneSlack) {
            approach(Axis::X, lane, arrivalTolerance);
        } else {
            hold(Axis::Z, direction);
            if (!leapt && !airborne && (at.z - takeoffZ) * direction >= 0.0f) {
                jump();
                leapt = true;
            } else if (!leapt) {
                jumpIfBlocked(Axis::Z, direction);
            }
        }
        step();
    }
}

int PlayerPilot::stomp(physics::Enemy& enemy, const Arena& arena)
{
    int landings = 0;
    while (inLevel() && enemy.health > 0.0f) {
        enemy.getModelMatrix();
        if (player().jumping)
            steerInAir({enemy.position.x, enemy.position.z});
        else
            runAt(enemy, arena);
        const float health = enemy.health;
        step();
        landings += enemy.health < health;
    }
    // The last bounce can throw the player far; it comes down where the enemy fell.
    enemy.getModelMatrix();
    const glm::vec2 fallen(std::clamp(enemy.position.x, arena.low.x, arena.high.x),
                           std::clamp(enemy.position.z, arena.low.y, arena.high.y));
    while (inLevel() && player().jumping) {
        steerInAir(fallen);
        step();
    }
    releaseMovement();
    return landings;
}

void PlayerPilot::runAt(const physics::Enemy& enemy, const Arena& arena)
{
    const glm::vec3 at = position();
    const glm::vec2 offset(enemy.position.x - at.x, enemy.position.z - at.z);
    const bool xMajor = std::abs(offset.x) > std::abs(offset.y);
    const Axis major = xMajor ? Axis::X : Axis::Z;
    const Axis minor = xMajor ? Axis::Z : Axis::X;
    const float majorOffset = xMajor ? offset.x : offset.y;
    const float minorOffset = xMajor ? offset.y : offset.x;
    const float towards = signOf(majorOffset);
    // The gap closes with the player's run and the enemy's chase together.
    const btVector3 chase = enemy.body->getLinearVelocity();
    const float closing = (along(velocity(), xMajor) - (xMajor ? chase.x() : chase.z())) * towards;

    if (glm::length(offset) < touchingDistance + jumpMargin + jumpCarry * std::max(closing, 0.0f)) {
        hold(major, towards);
        jump();
    } else if (std::abs(minorOffset) > alignmentSlack) {
        const float line = along(enemy.position, !xMajor);
        approach(minor,
                 xMajor ? std::clamp(line, arena.low.y, arena.high.y) : std::clamp(line, arena.low.x, arena.high.x),
                 arrivalTolerance);
    } else {
        hold(major, towards);
    }
}

void PlayerPilot::steerInAir(glm::vec2 target)
{
    const glm::vec3 at = position();
    const glm::vec3 speed = velocity();
    const float changeX = std::clamp((target.x - at.x) * airGain, -airSpeed, airSpeed) - speed.x;
    const float changeZ = std::clamp((target.y - at.z) * airGain, -airSpeed, airSpeed) - speed.z;
    if (std::max(std::abs(changeX), std::abs(changeZ)) < speedSlack)
        releaseMovement();
    else if (std::abs(changeX) > std::abs(changeZ))
        hold(Axis::X, signOf(changeX));
    else
        hold(Axis::Z, signOf(changeZ));
}

void PlayerPilot::wait(int ticksToWait)
{
    releaseMovement();
    for (int i = 0; i < ticksToWait && inLevel(); ++i)
        step();
}

void PlayerPilot::tapKey(int key)
{
    game.input.press(key);
    step();
    game.input.release(key);
}

} // namespace fennik::test
