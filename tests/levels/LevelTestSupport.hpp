#pragma once

// What the level scenarios share: putting bodies where a case needs them, watching
// the contacts a level is told about, reading what the window shows, and a look at
// the few parts of a level's state that it keeps to itself.

#include "GameHarness.hpp"

#include "levels/PlayableLevel.hpp"
#include "physics/Entity.hpp"
#include "render/ParticleGenerator.hpp"
#include "scene/Scene.hpp"

#include <glm/vec3.hpp>

#include <array>
#include <string>
#include <vector>

namespace fennik::test {

// Puts an entity at `at` with no motion, the way the boss room sets the player down.
void place(physics::Entity& entity, glm::vec3 at);

// Whether the entity's body takes part in the world (dead enemies leave it).
bool inWorld(const physics::Entity& entity);

// Where an entity is now, read afresh from its body.
glm::vec3 positionOf(physics::Entity& entity);

// Runs `ticks` simulation ticks of whichever level is active, each as the loop runs
// it (the clock moves on by one tick, then the level's input and update) but without
// drawing. Under the software renderer one drawn frame costs as much as a few hundred
// ticks, so play runs here and only the frames a case looks at are drawn, with
// `drawFrame`. (A harness `tick` after this catches up on the clock: up to four ticks
// in its one frame.)
void simulate(GameHarness& harness, int ticks = 1);

// Starts a case on `name`: every key and button let go, the level activated with
// its reset, and one tick simulated so that ranges and contacts are current.
template <typename LevelType>
LevelType& startOn(GameHarness& harness, const std::string& name)
{
    harness.input.releaseAll();
    harness.setLevel(name);
    simulate(harness);
    return harness.level<LevelType>(name);
}

// One contact as the level heard it.
struct Contact {
    physics::Entity* other = nullptr;
    glm::vec3 normal{0.0f};
};

// Listens in on the contacts a scene hands to its level, for as long as it lives;
// the level still gets every one of them.
class ContactLog {
public:
    explicit ContactLog(scene::Scene& scene);
    ~ContactLog();
    ContactLog(const ContactLog&) = delete;
    ContactLog& operator=(const ContactLog&) = delete;

    // Contacts with `other` heard since the last `clear`, split by the stomp rule.
    int sideContactsWith(const physics::Entity& other) const;
    int stompsOn(const physics::Entity& other) const;
    void clear() { contacts.clear(); }

    std::vector<Contact> contacts;

private:
    scene::Scene& scene;
    scene::CollisionCallback original;
};

// The window's picture, bottom row first, as the last frame left it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    std::array<int, 3> at(int x, int y) const;
    // How many pixels inside the box differ from `other` by more than `threshold`
    // on some channel.
    int changedPixels(const Picture& other, int x0, int y0, int x1, int y1, int threshold = 24) const;
    // How many pixels inside the box are close to white.
    int whitePixels(int x0, int y0, int x1, int y1) const;
};

// Reads the back buffer (what the last frame drew) and keeps a copy as
// <build>/screenshots/<name>.png for a person to look at.
Picture grab(const std::string& name);

// Draws one frame of the active level as the loop would after its ticks, and grabs
// it (see `grab`).
Picture drawFrame(GameHarness& harness, const std::string& name);

// The main window's title as the window manager sees it.
std::string windowTitle();

// How far an on-screen card looks like the picture in `file` (mean absolute
// difference per channel over an 8 x 8 grid of block averages; 0 is identical).
// The card covers the window box (x, y, width, height), bottom left first.
double cardDifference(const Picture& picture, int x, int y, int width, int height, const std::string& file);

// The parts of a playable level's state that only its own keys and frames change.
// A level keeps them to itself; a test reads them through member pointers taken
// in this derived class, which may name them. It is never instantiated.
struct LevelProbe : levels::PlayableLevel {
    static render::ParticleGenerator& particlesOf(levels::PlayableLevel& level)
    {
        return *(level.*&LevelProbe::particles);
    }
    static int shadingModeOf(levels::PlayableLevel& level) { return level.*&LevelProbe::shadingMode; }
    static bool cullsFaces(levels::PlayableLevel& level) { return level.*&LevelProbe::cullFaces; }
    static bool showsNormals(levels::PlayableLevel& level) { return level.*&LevelProbe::showNormals; }
    static bool showsDepthMap(levels::PlayableLevel& level) { return level.*&LevelProbe::showDepthMap; }
    static bool drawsDebugLines(levels::PlayableLevel& level) { return level.*&LevelProbe::debugDraw; }
    static bool hasFreeCamera(levels::PlayableLevel& level) { return level.*&LevelProbe::freeCamera; }
    static float zoomOf(levels::PlayableLevel& level) { return level.*&LevelProbe::zoom; }
};

// Live particles in a level's pool right now (the generator's own count is only
// refreshed by its next update), all of them or only the white ones that mark a
// defeat (walking dust has random colours).
int liveParticles(levels::PlayableLevel& level);
int burstParticles(levels::PlayableLevel& level);

} // namespace fennik::test
