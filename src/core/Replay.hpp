#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fennik::core {

struct GameSettings;

// What a player did at a tick beyond the actions held: the commands given with the
// pause key, the pause menu, the view keys and the free camera. A replay gives them
// back at the same tick.
struct ReplayEvent {
    enum class Kind : std::uint8_t {
        ViewKey = 1, // `key`: a debug or view key (F1 to F7, 3, 4)
        TogglePause,
        Resume,
        MainMenu,
        Zoom,       // `a`: the free camera's distance
        CameraTurn, // `a`, `b`: the free camera's yaw and pitch after a drag
        RestartLevel,
    };
    std::uint32_t tick = 0;
    Kind kind = Kind::ViewKey;
    std::int32_t key = 0;
    float a = 0.0f;
    float b = 0.0f;

    bool operator==(const ReplayEvent&) const = default;
};

// One stay in a level: the ticks spent there and a hash of the state it was left in.
struct ReplaySegment {
    std::string level;
    std::uint32_t ticks = 0;
    std::uint64_t stateHash = 0;

    bool operator==(const ReplaySegment&) const = default;
};

// A run as the game read it, tick by tick, from "Start Game" back to the start menu.
// The simulation is deterministic, so these inputs from the recorded start give the
// recorded game.
struct Replay {
    static constexpr std::uint32_t formatVersion = 1;

    std::uint64_t assetFingerprint = 0;
    float gravity = 0.0f;
    float slopeThreshold = 0.0f;
    std::uint32_t randomState = 1;
    std::int64_t startedAt = 0;       // seconds since 1970, UTC
    std::vector<std::uint8_t> held;   // one byte a tick: bit n is action n held
    std::vector<ReplayEvent> events;  // in tick order
    std::vector<ReplaySegment> segments;
    bool complete = false;            // the boss was beaten

    std::uint32_t ticks() const { return static_cast<std::uint32_t>(held.size()); }
    // The furthest level the run reached, as the replays list names it ("Level 2").
    std::string furthestLevel() const;
    // The level the run began in: the test area, or where Continue or the levels page started it.
    std::string firstLevel() const { return segments.empty() ? std::string() : segments.front().level; }

    bool operator==(const Replay&) const = default;
};

// The levels of a run in order, by their registry names.
inline constexpr const char* runLevels[] = {"TestLevel", "TutorialLevel", "LevelOne", "LevelTwo", "LevelBoss"};

// The file's bytes: a header (magic, format version, asset fingerprint, gravity and
// slope threshold, the random source's state, the start time), the held actions, the
// events, then each level's ticks and state hash. Little-endian throughout.
std::string encodeReplay(const Replay& replay);
// The replay in `bytes`; nullopt with the reason in `why` for a file that is
// truncated, of another format version, damaged, or not a replay at all.
std::optional<Replay> decodeReplay(std::string_view bytes, std::string& why);
// Why this game cannot play `replay` (other assets, other simulation settings);
// empty when it can.
std::string replayMismatch(const Replay& replay, const GameSettings& settings);

// A hash of the level and character models the game loads (FNV-1a over their files),
// computed once.
std::uint64_t assetFingerprint();

// FNV-1a, 64 bits, over the exact bytes of what is added.
class StateHash {
public:
    void add(std::string_view bytes);
    void add(float value);
    std::uint64_t value() const { return hash; }

private:
    std::uint64_t hash = 0xcbf29ce484222325ull;
};

// What the player calls a level of the run ("Level 2"); other names as they are.
std::string levelTitle(const std::string& name);

// "2:17.43": minutes, seconds and hundredths of a run of `ticks` simulation ticks.
std::string formatRunTime(std::uint32_t ticks);

// A file in the replays folder: the replay, or why it cannot be played.
struct ReplayEntry {
    std::string path;
    std::optional<Replay> replay;
    std::string problem; // as the log names it
    // What the list shows, also for a file it cannot play: the start comes from the file's
    // name when its header cannot be read, the length and the progress only from a header.
    struct Summary {
        std::int64_t startedAt = 0;
        std::optional<std::uint32_t> ticks;
        std::string furthestLevel;
    } summary;
    std::string reason; // why it cannot be played, in a player's words; empty when it can
};

// Why a file cannot be played in a player's few words ("other version", "damaged
// file") for a `problem` as decodeReplay and replayMismatch word it.
std::string unplayableReason(const std::string& problem);

// $XDG_DATA_HOME/fennik/replays (~/.local/share/fennik/replays when unset); empty
// when there is no place for it.
std::string replaysFolder();
// Reads a replay file and checks it against this game. A refused file logs one line
// naming it and the reason, once per process.
ReplayEntry readReplay(const std::string& path, const GameSettings& settings);
// Every replay in `folder`, newest first.
std::vector<ReplayEntry> listReplays(const std::string& folder, const GameSettings& settings);
// The fastest complete run among `entries`, if any.
const ReplayEntry* bestRun(const std::vector<ReplayEntry>& entries);

// Keeps the `keep` newest replays in `folder` and the best complete run; deletes the rest.
void pruneReplays(const std::string& folder, const GameSettings& settings, std::size_t keep);

inline constexpr const char* replayExtension = ".fzreplay";
inline constexpr std::size_t keptReplays = 20;

} // namespace fennik::core
