#pragma once

#include "core/Progress.hpp"

#include <cstdint>
#include <string>

namespace fennik::core {

class Level;

// The player's progress as play goes on. LevelManager tells it of every switch and a
// playing level of every tick it runs unpaused; it times the level and the run (the
// on-screen timer reads them) and saves the file when the player gets further, beats
// the boss or finishes a level faster. A replay or the demo is timed but never saved.
class ProgressKeeper {
public:
    // Reads the file at `path`; empty (no HOME) saves nothing. A file that is missing is no
    // progress; one that cannot be used is named in one warning and counts as none.
    void load(const std::string& path);
    const Progress& progress() const { return saved; }

    // A tick of play in the active level.
    void countTick() { ++levelTime, ++runTime; }
    // From LevelManager::setLevel, before `to` is reset. `replaying` is whether a
    // replay or the demo played when the switch was asked for.
    void levelSwitched(const Level* from, const Level& to, bool replaying);

    // Ticks played since the level was entered (or restarted), and since the run began.
    std::uint32_t levelTicks() const { return levelTime; }
    std::uint32_t runTicks() const { return runTime; }

    // The file the progress is read from and saved to.
    const std::string& path() const { return file; }

private:
    void save();

    Progress saved;
    std::string file;
    std::uint32_t levelTime = 0;
    std::uint32_t runTime = 0;
    bool enteredInReplay = false; // the level being timed was entered by a replay
    bool warned = false;
};

} // namespace fennik::core
