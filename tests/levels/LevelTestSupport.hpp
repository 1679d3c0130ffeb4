#pragma once

// What the level scenarios and the playthrough share: the whole game driven tick by
// tick, moving bodies where a case needs them, listening to the contacts a level is
// told about, reading what the window shows, and a look at the few parts of a level's
// state that it keeps to itself.

#include "app/FenniksZavororor.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"
#include "gui/GUIPauseMenu.hpp"
#include "levels/PlayableLevel.hpp"
#include "physics/Entity.hpp"
#include "render/ParticleGenerator.hpp"
#include "scene/Scene.hpp"
#include "support/TempDirectory.hpp"
#include "support/Teleport.hpp"

#include <glm/vec3.hpp>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace fennik::test {

// The whole game driven with scripted keys, mouse and clock. Each `tick` moves the clock
// on by one simulation tick and runs one frame of the real loop (events, input and
// update, render, swap).
class GameHarness {
public:
    GameHarness();
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    void tick(int ticks = 1);
    // One frame of the real loop, `seconds` on the clock after the last.
    void frameAfter(double seconds);

    // Makes the window `size` pixels square (or `width` x `height`) and waits until the
    // game has heard of it.
    void resizeWindow(int size) { resizeWindow(size, size); }
    void resizeWindow(int width, int height);

    // Through the callbacks the game gave the window, as GLFW calls them.
    void windowFocus(bool focused);
    void windowKey(int key, int action, int mods = 0);

    // Key events as the window would deliver them.
    void keyPress(int key);
    void keyRelease(int key);
    void tap(int key);

    // Moves the scripted cursor to a point in GL window pixels (origin bottom left)
    // and holds the left button for one frame.
    void clickAt(float x, float y);

    core::Level& active() { return *core::LevelManager::instance().getActiveLevel(); }
    std::string activeName() { return active().name; }

    template <typename LevelType>
    LevelType& level(const std::string& name)
    {
        for (const auto& registered : core::LevelManager::instance().registeredLevels())
            if (registered->name == name)
                return dynamic_cast<LevelType&>(*registered);
        throw std::runtime_error("no level named " + name);
    }

    // Activates a level the way the game does (with its reset).
    void setLevel(const std::string& name) { core::LevelManager::instance().setLevel(name); }

    core::ScriptedInput input;
    std::unique_ptr<app::FenniksZavororor> game;

private:
    std::unique_ptr<core::ScopedInputSource> scripted;
    void (*gameFocusCallback)(GLFWwindow*, int) = nullptr; // the game's, taken off the window
};

// The one game of a test process, shared by its tests: loading six levels takes a while.
GameHarness& sharedGame();

// The player's progress kept in a file of the test's own (holding `text`, or none) for
// its lifetime, then in the game's own again.
struct ScratchProgress {
    explicit ScratchProgress(const std::string& text = "");
    ~ScratchProgress();
    std::string text() const;

    TempDirectory home{"fennik_progress"};
    std::string previous;
};

// Where an entity is now, read afresh from its body; whether the body takes part in
// the world (dead enemies leave it).
glm::vec3 positionOf(physics::Entity& entity);
bool inWorld(const physics::Entity& entity);

// Runs ticks of whichever level is active as the loop runs them (the clock moves on by
// one tick, then the level's input and update) but without drawing: under the software
// renderer one drawn frame costs as much as a few hundred ticks, so cases draw only the
// frames they look at, with `drawFrame`.
void simulate(GameHarness& harness, int ticks = 1);

// Starts a case on `name`: keys and buttons let go, the level activated with its reset,
// and one tick simulated so that ranges and contacts are current.
template <typename LevelType = levels::PlayableLevel>
LevelType& startOn(GameHarness& harness, const std::string& name)
{
    harness.input.releaseAll();
    harness.setLevel(name);
    simulate(harness);
    return harness.level<LevelType>(name);
}

// Listens in on the contacts a scene hands to its level; the level still hears them.
class ContactLog {
public:
    explicit ContactLog(scene::Scene& scene);
    ~ContactLog();
    ContactLog(const ContactLog&) = delete;
    ContactLog& operator=(const ContactLog&) = delete;

    // Contacts with `other` since the last `clear`, split by the level's stomp rule.
    int sideContactsWith(const physics::Entity& other) const;
    int stompsOn(const physics::Entity& other) const;
    void clear() { contacts.clear(); }

private:
    std::vector<std::pair<const physics::Entity*, float>> contacts; // other, normal's y
    scene::Scene& scene;
    scene::CollisionCallback original;
};

// Drops the player from a little above `enemy`'s back and runs ticks until the level
// has been told of a landing on it (or a second and a half has passed). Returns how
// many stomps that landing counted.
int dropOnto(GameHarness& harness, physics::Entity& player, physics::Entity& enemy, const ContactLog& contacts);

// The window's picture, bottom row first, RGBA.
struct Box {
    int left, bottom, right, top; // whole pixels, inclusive, rows from the bottom
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    // Pixels inside the box that are close to white.
    int whitePixels(int x0, int y0, int x1, int y1) const;
    int channel(int x, int y, int c) const { return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + c]; }
    // The box of the pixels that differ from `other` (left > right when none do).
    Box changedBox(const Picture& other) const;
};

// Draws one frame of the active level with everything where the last tick left it,
// reads it back and keeps it as <build>/screenshots/<name>.png for a person to look at.
Picture drawFrame(GameHarness& harness, const std::string& name);
// The same for the frame the last harness tick already drew.
Picture grab(const std::string& name);

// Which of the game's note cards the middle of the window shows, and how far it looks
// from that card's file (0 is identical; a card shown is below 20).
std::pair<std::string, double> shownCard(const Picture& picture);

// The parts of a playable level's state that only its own keys and frames change. A
// level keeps them to itself; a test reads them through member pointers taken in this
// derived class, which may name them. It is never instantiated.
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
    static bool showsTimings(levels::PlayableLevel& level) { return level.*&LevelProbe::showTimings; }
    static const render::Frame& frameOf(levels::PlayableLevel& level) { return level.*&LevelProbe::frame; }
    static gui::GUIPauseMenu& pauseMenuOf(levels::PlayableLevel& level) { return *(level.*&LevelProbe::pauseMenu); }
};

// Live particles in a level's pool right now, all of them or only the white ones that
// mark a defeat (walking dust has random colours).
int liveParticles(levels::PlayableLevel& level);
int burstParticles(levels::PlayableLevel& level);

} // namespace fennik::test
