#pragma once

#include "app/FenniksZavororor.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"

#include <memory>
#include <string>

namespace fennik::test {

// The whole game, loaded once, driven frame by frame with scripted keys, mouse and
// clock. Each `tick` moves the clock on by exactly one simulation tick and runs one
// frame of the real loop (events, one processInput and update, render, swap).
class GameHarness {
public:
    GameHarness();
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    void tick(int ticks = 1);

    // A key event as the window would deliver it: press then release, or one of them.
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
};

// The one game of a test process: loading six levels takes a while, so every test
// of the process shares it. Each test starts by activating the level it plays.
GameHarness& sharedGame();

} // namespace fennik::test
