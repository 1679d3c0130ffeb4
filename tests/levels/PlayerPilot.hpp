#pragma once

#include "LevelTestSupport.hpp"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <stdexcept>
#include <string>

namespace fennik::physics {
class Enemy;
class Player;
} // namespace fennik::physics

namespace fennik::test {

// What went wrong while playing, with the level and where the player stood.
class PilotFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the player may line up with an enemy and where it comes down after beating it:
// x and z ranges chosen clear of walls, chasms and the other enemies' reach.
struct Arena {
    glm::vec2 low;  // smallest x and z
    glm::vec2 high; // largest x and z
};

// Plays the active level as a player at the keyboard would: it reads the player's
// position and velocity and holds W, A, S, D and SPACE through the scripted input,
// one movement key at a time, as the player's controls allow. Every move is along one
// axis; a move that makes no headway on the ground jumps; gaps are leapt from a run;
// enemies are beaten by landing on them.
//
// Each level gets a budget of ticks. Running out of it, falling into a gap, or the
// level starting over (a fall or a death) throws a PilotFailure that names the level
// and the player's position.
class PlayerPilot {
public:
    explicit PlayerPilot(GameHarness& game);

    // Starts counting ticks for the active level, which must be `levelName`.
    void enterLevel(const std::string& levelName, int tickBudget);
    int ticksSpent() const { return ticks; }
    // False once the game has switched away from the level being played; every move
    // then returns at once, so a route can end by walking through an exit.
    bool inLevel();

    // Walks along one axis to the coordinate and stops there, keeping to the lane it
    // started in on the other axis. walkTo goes along X first, then along Z.
    void goX(float x);
    void goZ(float z);
    void walkTo(glm::vec2 xz);
    // Runs along Z keeping the current x, jumps on passing `takeoffZ` and keeps running
    // until it has landed beyond `landingZ`.
    void leapZ(float takeoffZ, float landingZ);
    // Jumps on the enemy again and again until it is dead, then comes down inside
    // `arena`. Returns the number of landings that hurt the enemy.
    int stomp(physics::Enemy& enemy, const Arena& arena);

    // Lets ticks pass with no key held; holds a key for one tick.
    void wait(int ticksToWait);
    void tapKey(int key);

    physics::Player& player();
    glm::vec3 position();
    glm::vec3 velocity();
    // "LevelOne at (x, y, z), health h, tick t of a budget of b"
    std::string where();

private:
    enum class Axis { X, Z };

    void step();
    [[noreturn]] void fail(const std::string& what);
    void hold(Axis axis, float direction);
    void releaseMovement();
    // Holds the key that brings the velocity along `axis` towards a speed that can
    // still brake to a stop at `target`; true once resting there.
    bool approach(Axis axis, float target, float tolerance);
    void goAlong(Axis axis, float target);
    // On the ground and pushing without headway for a few ticks: jump.
    void jumpIfBlocked(Axis axis, float direction);
    void jump();
    // Holds the key that best turns the horizontal velocity towards `target` (x, z).
    void steerInAir(glm::vec2 target);
    // On the ground: lines up with the enemy on one axis and runs at it along the
    // other, jumping early enough to come down on its back.
    void runAt(const physics::Enemy& enemy, const Arena& arena);

    GameHarness& game;
    std::string level;
    int budget = 0;
    int ticks = 0;
    int stalledTicks = 0;
    int blockedJumps = 0;
    bool spaceHeld = false;
    glm::vec3 lastPosition{0.0f};
};

} // namespace fennik::test
