#include "core/ProgressKeeper.hpp"

#include "core/Files.hpp"
#include "core/Level.hpp"
#include "core/Log.hpp"

#include <filesystem>
#include <utility>

namespace fennik::core {

namespace {

// Far above any real progress file; anything larger is not one.
constexpr std::size_t largestFile = 64u << 10;

} // namespace

void ProgressKeeper::load(const std::string& path)
{
    file = path;
    saved = Progress{};
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error))
        return;
    const std::optional<std::string> text = readWholeFile(path, largestFile);
    std::string why = "it cannot be read";
    if (text) {
        if (auto progress = decodeProgress(*text, why)) {
            saved = *progress;
            return;
        }
    }
    log::warn("Your progress in '", path, "' cannot be used (", why, "); the game starts without it");
}

void ProgressKeeper::levelSwitched(const Level* from, const Level& to, bool replaying)
{
    const int left = from ? runLevelIndex(from->name) : -1;
    const int entered = runLevelIndex(to.name);
    if (!replaying && !enteredInReplay && left >= 0) {
        // Finished: left forward along the chain, or out of the boss room after the fight.
        const bool finished = entered == left + 1 || (entered < 0 && from->runComplete());
        std::uint32_t& best = saved.best[static_cast<std::size_t>(left)];
        bool better = false;
        if (finished && levelTime > 0 && (best == 0 || levelTime < best)) {
            best = levelTime;
            better = true;
        }
        if (finished && entered < 0 && !saved.finished)
            saved.finished = better = true;
        if (better && entered <= saved.furthest)
            save();
    }
    if (!replaying && entered > saved.furthest) {
        saved.furthest = entered;
        save();
    }
    if (left < 0 && entered >= 0)
        runTime = 0;
    levelTime = 0;
    enteredInReplay = replaying;
}

void ProgressKeeper::save()
{
    if (file.empty())
        return;
    const std::string reason = writeAtomically(file, encodeProgress(saved));
    if (reason.empty())
        return;
    // The file keeps what it had; the game goes on with the progress in memory.
    if (!std::exchange(warned, true))
        log::warn("Your progress cannot be saved to '", file, "' (", reason, "); the game goes on without saving it");
}

} // namespace fennik::core
