#include "core/Replay.hpp"

#include "core/Actions.hpp"
#include "core/DataDirectory.hpp"
#include "core/Files.hpp"
#include "core/GameSettings.hpp"
#include "core/Log.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

namespace fennik::core {

namespace {

constexpr std::string_view magic = "FZREPLAY";
// No run is longer than ten hours, and no replay file larger than this.
constexpr std::uint32_t longestRun = 30u * 60u * 60u * 10u;
constexpr std::size_t largestFile = 64u << 20;
constexpr std::size_t eventBytes = 4 + 1 + 4 + 4 + 4;
constexpr std::uint8_t recordedActions = (1u << static_cast<int>(Action::Pause)) - 1u; // all but Pause

class Writer {
public:
    template <typename Value>
    void put(Value value)
    {
        unsigned char raw[sizeof(Value)];
        std::memcpy(raw, &value, sizeof(Value));
        bytes.append(reinterpret_cast<const char*>(raw), sizeof(Value));
    }
    void put(std::string_view text) { bytes.append(text); }

    std::string bytes;
};

// Reads values off the front of the bytes; once anything is missing every read fails.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest(bytes) {}

    template <typename Value>
    bool get(Value& value)
    {
        if (rest.size() < sizeof(Value))
            return false;
        std::memcpy(&value, rest.data(), sizeof(Value));
        rest.remove_prefix(sizeof(Value));
        return true;
    }
    bool get(std::string& text, std::size_t length)
    {
        if (rest.size() < length)
            return false;
        text.assign(rest.substr(0, length));
        rest.remove_prefix(length);
        return true;
    }
    std::size_t left() const { return rest.size(); }

private:
    std::string_view rest;
};

bool knownLevel(const std::string& name)
{
    return std::any_of(std::begin(runLevels), std::end(runLevels), [&](const char* level) { return name == level; });
}

// Why the event cannot have come from this game; empty when it can.
std::string eventProblem(const ReplayEvent& event, std::uint32_t ticks)
{
    using Kind = ReplayEvent::Kind;
    // A command given after the last tick (Main Menu from the pause menu, the pause
    // as the window closes) has the run's length as its tick.
    if (event.tick > ticks)
        return "an event after the last tick";
    if (!std::isfinite(event.a) || !std::isfinite(event.b))
        return "an event with a value that is not a number";
    switch (event.kind) {
    case Kind::ViewKey: return isFixedKey(event.key) ? "" : "an unknown view key";
    case Kind::TogglePause:
    case Kind::Resume:
    case Kind::MainMenu:
    case Kind::Zoom:
    case Kind::CameraTurn:
    case Kind::RestartLevel: return "";
    }
    return "an unknown event";
}

// Runs are saved under the local time they started ("2026-12-07_14-03-12.fzreplay"),
// which dates a file even when its header cannot be read; 0 for another name.
std::int64_t startTimeFromName(const std::string& path)
{
    std::tm local{};
    const std::string name = std::filesystem::path(path).filename().string();
    if (!strptime(name.c_str(), "%Y-%m-%d_%H-%M-%S", &local))
        return 0;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

} // namespace

std::string levelTitle(const std::string& name)
{
    static const char* const shown[] = {"Test area", "Tutorial", "Level 1", "Level 2", "Boss room"};
    for (std::size_t index = 0; index < std::size(runLevels); ++index)
        if (name == runLevels[index])
            return shown[index];
    return name;
}

std::string Replay::furthestLevel() const
{
    if (complete)
        return "Finished";
    std::ptrdiff_t furthest = -1;
    for (const ReplaySegment& segment : segments) {
        const auto at = std::find_if(std::begin(runLevels), std::end(runLevels),
                                     [&](const char* level) { return segment.level == level; });
        furthest = std::max(furthest, at - std::begin(runLevels));
    }
    return furthest < 0 ? std::string("-") : levelTitle(runLevels[furthest]);
}

std::string encodeReplay(const Replay& replay)
{
    Writer out;
    out.put(magic);
    out.put(Replay::formatVersion);
    out.put(replay.assetFingerprint);
    out.put(replay.gravity);
    out.put(replay.slopeThreshold);
    out.put(replay.randomState);
    out.put(replay.startedAt);
    out.put(replay.ticks());
    out.put(std::string_view(reinterpret_cast<const char*>(replay.held.data()), replay.held.size()));
    out.put(static_cast<std::uint32_t>(replay.events.size()));
    for (const ReplayEvent& event : replay.events) {
        out.put(event.tick);
        out.put(static_cast<std::uint8_t>(event.kind));
        out.put(event.key);
        out.put(event.a);
        out.put(event.b);
    }
    out.put(static_cast<std::uint32_t>(replay.segments.size()));
    for (const ReplaySegment& segment : replay.segments) {
        out.put(static_cast<std::uint8_t>(segment.level.size()));
        out.put(std::string_view(segment.level));
        out.put(segment.ticks);
        out.put(segment.stateHash);
    }
    out.put(static_cast<std::uint8_t>(replay.complete));
    return out.bytes;
}

std::optional<Replay> decodeReplay(std::string_view bytes, std::string& why)
{
    const auto refuse = [&](std::string reason) -> std::optional<Replay> {
        why = std::move(reason);
        return std::nullopt;
    };
    if (bytes.substr(0, magic.size()) != magic)
        return refuse(bytes.size() < magic.size() && magic.substr(0, bytes.size()) == bytes ? "truncated"
                                                                                               : "not a replay file");
    Reader in(bytes.substr(magic.size()));
    Replay replay;
    std::uint32_t version = 0;
    if (!in.get(version))
        return refuse("truncated");
    if (version != Replay::formatVersion)
        return refuse("format version " + std::to_string(version) + ", this game reads version " +
                      std::to_string(Replay::formatVersion));
    std::uint32_t ticks = 0;
    if (!in.get(replay.assetFingerprint) || !in.get(replay.gravity) || !in.get(replay.slopeThreshold) ||
        !in.get(replay.randomState) || !in.get(replay.startedAt) || !in.get(ticks))
        return refuse("truncated");
    if (ticks > longestRun)
        return refuse("damaged: a run of " + std::to_string(ticks) + " ticks");
    if (in.left() < ticks)
        return refuse("truncated");
    std::string held;
    in.get(held, ticks);
    replay.held.assign(held.begin(), held.end());
    for (std::size_t tick = 0; tick < replay.held.size(); ++tick)
        if (replay.held[tick] & ~recordedActions)
            return refuse("damaged: unknown actions at tick " + std::to_string(tick));

    std::uint32_t events = 0;
    if (!in.get(events) || in.left() < std::size_t{events} * eventBytes)
        return refuse("truncated");
    replay.events.resize(events);
    for (ReplayEvent& event : replay.events) {
        std::uint8_t kind = 0;
        in.get(event.tick);
        in.get(kind);
        in.get(event.key);
        in.get(event.a);
        in.get(event.b);
        event.kind = static_cast<ReplayEvent::Kind>(kind);
        if (const std::string problem = eventProblem(event, ticks); !problem.empty())
            return refuse("damaged: " + problem);
        if (&event != replay.events.data() && event.tick < (&event - 1)->tick)
            return refuse("damaged: events out of order");
    }

    std::uint32_t segments = 0;
    if (!in.get(segments) || in.left() < std::size_t{segments} * (1 + 4 + 8))
        return refuse("truncated");
    std::uint64_t segmentTicks = 0;
    for (std::uint32_t index = 0; index < segments; ++index) {
        ReplaySegment segment;
        std::uint8_t length = 0;
        if (!in.get(length) || !in.get(segment.level, length) || !in.get(segment.ticks) || !in.get(segment.stateHash))
            return refuse("truncated");
        if (!knownLevel(segment.level))
            return refuse("damaged: an unknown level");
        segmentTicks += segment.ticks;
        replay.segments.push_back(std::move(segment));
    }
    std::uint8_t complete = 0;
    if (!in.get(complete))
        return refuse("truncated");
    if (complete > 1 || in.left() != 0)
        return refuse("damaged: bytes after the end");
    if (replay.segments.empty() || segmentTicks != ticks)
        return refuse("damaged: the levels' ticks do not add up to the run's");
    replay.complete = complete == 1;
    return replay;
}

std::string replayMismatch(const Replay& replay, const GameSettings& settings)
{
    if (replay.assetFingerprint != assetFingerprint())
        return "made with other assets";
    if (replay.gravity != settings.gravity || replay.slopeThreshold != settings.slopeThreshold)
        return "made with other simulation settings (gravity " + std::to_string(replay.gravity) +
               ", slope threshold " + std::to_string(replay.slopeThreshold) + ")";
    return {};
}

std::uint64_t assetFingerprint()
{
    static const std::uint64_t fingerprint = [] {
        namespace fs = std::filesystem;
        std::vector<fs::path> models;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(dataPath("models"), error))
            if (entry.path().extension() == ".obj")
                models.push_back(entry.path());
        std::sort(models.begin(), models.end());
        StateHash hash;
        for (const fs::path& model : models) {
            hash.add(model.filename().string());
            hash.add(readWholeFile(model.string(), largestFile).value_or(""));
        }
        return hash.value();
    }();
    return fingerprint;
}

void StateHash::add(std::string_view bytes)
{
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ull;
    }
}

void StateHash::add(float value)
{
    char raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    add(std::string_view(raw, sizeof raw));
}

std::string formatRunTime(std::uint32_t ticks)
{
    const std::uint32_t hundredths = static_cast<std::uint32_t>(std::uint64_t{ticks} * 100u / 30u);
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%02u", hundredths / 6000u, hundredths / 100u % 60u, hundredths % 100u);
    return text;
}

std::string replaysFolder()
{
    const std::string folder = playerFolder("XDG_DATA_HOME", ".local/share");
    return folder.empty() ? folder : folder + "/replays";
}

std::string unplayableReason(const std::string& problem)
{
    // Short: the replays page shows them after the date, length and progress in one bar.
    static const std::pair<const char*, const char*> reasons[] = {
        {"format version", "other version"},
        {"made with other assets", "other version"},
        {"made with other simulation", "other physics"},
        {"truncated", "cut short"},
        {"damaged", "damaged file"},
        {"not a replay", "not a replay"},
    };
    for (const auto& [start, reason] : reasons)
        if (problem.rfind(start, 0) == 0)
            return reason;
    return "unreadable";
}

ReplayEntry readReplay(const std::string& path, const GameSettings& settings)
{
    ReplayEntry entry;
    entry.path = path;
    const std::optional<std::string> bytes = readWholeFile(path, largestFile);
    if (!bytes)
        entry.problem = "cannot be read";
    else if (auto replay = decodeReplay(*bytes, entry.problem))
        entry.problem = replayMismatch(*replay, settings), entry.replay = std::move(replay);
    if (entry.replay)
        entry.summary = {entry.replay->startedAt, entry.replay->ticks(), entry.replay->furthestLevel()};
    else
        entry.summary.startedAt = startTimeFromName(path);
    if (entry.problem.empty())
        return entry;
    entry.reason = unplayableReason(entry.problem);
    entry.replay.reset();
    static std::set<std::string> told;
    if (told.insert(path + entry.problem).second)
        log::warn("Replay ", path, " cannot be played: ", entry.problem);
    return entry;
}

std::vector<ReplayEntry> listReplays(const std::string& folder, const GameSettings& settings)
{
    namespace fs = std::filesystem;
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& file : fs::directory_iterator(folder, error))
        if (file.path().extension() == replayExtension)
            paths.push_back(file.path().string());
    // The names are the start times, so the newest sorts last.
    std::sort(paths.rbegin(), paths.rend());
    std::vector<ReplayEntry> entries;
    for (const std::string& path : paths)
        entries.push_back(readReplay(path, settings));
    return entries;
}

const ReplayEntry* bestRun(const std::vector<ReplayEntry>& entries)
{
    const ReplayEntry* best = nullptr;
    for (const ReplayEntry& entry : entries)
        // A run begun further on by Continue or the levels page is no whole run.
        if (entry.replay && entry.replay->complete && entry.replay->firstLevel() == runLevels[0] &&
            (!best || entry.replay->ticks() <= best->replay->ticks()))
            best = &entry; // newest first: on a tie the older run keeps the record
    return best;
}

void pruneReplays(const std::string& folder, const GameSettings& settings, std::size_t keep)
{
    const std::vector<ReplayEntry> entries = listReplays(folder, settings);
    const ReplayEntry* best = bestRun(entries);
    for (std::size_t index = keep; index < entries.size(); ++index) {
        if (&entries[index] == best)
            continue;
        std::error_code error;
        std::filesystem::remove(entries[index].path, error);
    }
}

} // namespace fennik::core
