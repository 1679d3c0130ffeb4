#include "core/LevelManager.hpp"

#include "core/Level.hpp"
#include "core/Log.hpp"

namespace fennik::core {

LevelManager& LevelManager::instance()
{
    static LevelManager manager;
    return manager;
}

void LevelManager::setContext(GLFWwindow* mainWindow, GameSettings* gameSettings)
{
    window = mainWindow;
    settings = gameSettings;
}

void LevelManager::addLevel(std::shared_ptr<Level> level)
{
    if (!level)
        return;
    levels.push_back(level);
    if (!level->initialized)
        level->init(window, settings);
    activeLevel = std::move(level);
}

void LevelManager::setLevel(const std::string& name)
{
    for (const auto& level : levels) {
        if (level->name != name)
            continue;
        // Asked first: the switch that ends a replay leaves the deck idle.
        const bool replaying = deck.playing();
        deck.levelSwitched(activeLevel.get(), *level);
        progress.levelSwitched(activeLevel.get(), *level, replaying);
        activeLevel = level;
        log::info("Set level: ", name, " active!");
        // Keep the level alive through its reset even if the reset switches again.
        auto active = activeLevel;
        active->reset();
        return;
    }
}

void LevelManager::shutdownLevels()
{
    for (const auto& level : levels)
        level->cleanup();
    levels.clear();
    activeLevel.reset();
}

} // namespace fennik::core
