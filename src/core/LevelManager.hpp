#pragma once

#include "core/ProgressKeeper.hpp"
#include "core/ReplayDeck.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct GLFWwindow;

namespace fennik::core {

class Level;
struct GameSettings;

// The process-wide registry of levels. It owns the registered levels, knows the
// active one, and hands the main window and the settings record to whoever needs
// them. Nothing else in the game keeps a current level of its own.
class LevelManager {
public:
    static LevelManager& instance();

    LevelManager(const LevelManager&) = delete;
    LevelManager& operator=(const LevelManager&) = delete;

    void setContext(GLFWwindow* mainWindow, GameSettings* gameSettings);

    // Appends the level (duplicates allowed), runs its init once, and makes it active.
    void addLevel(std::shared_ptr<Level> level);

    // Activates the first registered level whose name matches exactly and resets it.
    // Unknown names change nothing. Takes effect at once, also inside an update.
    void setLevel(const std::string& name);

    // Callers fetch afresh every time: a switch may happen between two calls.
    std::shared_ptr<Level> getActiveLevel() const { return activeLevel; }

    // Cleans up every registered level in registration order, then drops them all.
    void shutdownLevels();

    const std::vector<std::shared_ptr<Level>>& registeredLevels() const { return levels; }

    GLFWwindow* window = nullptr;
    GameSettings* settings = nullptr;
    // Applies and saves the settings after the options screen changed them; set by
    // the game, empty where there is no game (tests of single parts).
    std::function<void()> settingsChanged;
    // The run on tape: told of every switch, before the new level's reset.
    ReplayDeck deck;
    // How far the player got and how fast: told of every switch after the deck.
    ProgressKeeper progress;

private:
    LevelManager() = default;

    std::vector<std::shared_ptr<Level>> levels;
    std::shared_ptr<Level> activeLevel;
};

} // namespace fennik::core
