#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fennik::core {

// What the game remembers of the player between runs: the furthest level of the chain
// entered, whether the boss was beaten and the end figure's note closed, and the fewest
// ticks each level was finished in. Kept in progress.ini beside the replays:
//
//   [best]
//   TestLevel = 912
//   [progress]
//   furthest = LevelTwo
//   finished = false
//
struct Progress {
    static constexpr std::size_t levelCount = 5; // the run's chain, runLevels

    int furthest = -1; // index into runLevels; -1 before the first run
    bool finished = false;
    std::array<std::uint32_t, levelCount> best{}; // 0: never finished

    bool any() const { return furthest >= 0; }
    bool operator==(const Progress&) const = default;
};

// The place of `level` in the run's chain, or -1 for a level outside it.
int runLevelIndex(std::string_view level);

// The file's text, in the settings' INI dialect.
std::string encodeProgress(const Progress& progress);
// The progress in `text`; nullopt with the reason in `why` for a text that is not a
// whole progress file (garbage, cut short, an unknown level, a time that is not a
// positive whole number).
std::optional<Progress> decodeProgress(std::string_view text, std::string& why);

// $XDG_DATA_HOME/fennik/progress.ini (~/.local/share/fennik/progress.ini when unset);
// empty when there is no place for it.
std::string progressPath();

} // namespace fennik::core
