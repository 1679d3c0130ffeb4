#include "core/ReplayDeck.hpp"

#include "core/Actions.hpp"
#include "core/Files.hpp"
#include "core/GameSettings.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"
#include "core/Log.hpp"
#include "core/Random.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

#include <unistd.h>

namespace fennik::core {

namespace {

bool inRun(const std::string& levelName)
{
    return std::any_of(std::begin(runLevels), std::end(runLevels),
                       [&](const char* level) { return levelName == level; });
}

// Why nothing can be written to `folder`; empty when it can.
std::string unwritable(const std::string& folder)
{
    if (folder.empty())
        return "there is no folder for them (HOME is not set)";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return error.message();
    return ::access(folder.c_str(), W_OK) == 0 ? "" : std::strerror(errno);
}

std::string fileNameFor(std::int64_t startedAt)
{
    const std::time_t time = static_cast<std::time_t>(startedAt);
    std::tm local{};
    localtime_r(&time, &local);
    char name[40];
    std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S", &local);
    return name;
}

} // namespace

void ReplayDeck::startRecording(const GameSettings& settings)
{
    if (playing())
        return;
    state = Mode::Idle;
    if (const std::string problem = unwritable(folder); !problem.empty()) {
        if (!std::exchange(warnedFolder, true))
            log::warn("Replays cannot be written to ", folder, ": ", problem, "; runs are not recorded");
        return;
    }
    tape = Replay{};
    tape.assetFingerprint = assetFingerprint();
    tape.gravity = settings.gravity;
    tape.slopeThreshold = settings.slopeThreshold;
    tape.randomState = processRandom().currentState();
    tape.startedAt = static_cast<std::int64_t>(std::time(nullptr));
    segmentLevel.clear();
    state = Mode::Recording;
}

void ReplayDeck::play(const Replay& replay, const std::string& name, bool isDemo)
{
    if (replay.segments.empty())
        return;
    playback = replay;
    playbackName = name;
    tape = Replay{};
    tape.randomState = replay.randomState;
    segmentLevel.clear();
    nextEvent = 0;
    verified = 0;
    fastKeys = 0;
    stopPending = false;
    divergedAt.clear();
    demo = isDemo;
    returnToList = false;
    state = Mode::Playing;
    processRandom().setState(replay.randomState);
    log::info(isDemo ? "Playing the demo " : "Playing the replay ", name);
    LevelManager::instance().setLevel(replay.segments.front().level);
}

void ReplayDeck::stopPlayback()
{
    if (!playing())
        return;
    finishPlayback();
    LevelManager::instance().setLevel("StartMenu");
}

void ReplayDeck::finishPlayback()
{
    state = Mode::Idle;
    setRecordedActions(std::nullopt);
    returnToList = !demo;
}

void ReplayDeck::beginTick(Level& level, GLFWwindow* window, const KeyBindings& keys)
{
    if (recording()) {
        std::uint8_t held = 0;
        for (int index = 0; index < static_cast<int>(Action::Pause); ++index)
            if (actionDown(window, keys, static_cast<Action>(index)))
                held |= static_cast<std::uint8_t>(1u << index);
        tape.held.push_back(held);
        return;
    }
    if (!playing())
        return;
    const std::uint32_t tick = runTicks();
    if (!stopPending && tick == playback.ticks()) {
        // Commands given after the last tick come first: Main Menu ends the run as it
        // did when recorded.
        while (playing() && nextEvent < playback.events.size()) {
            const ReplayEvent& event = playback.events[nextEvent++];
            if (auto active = LevelManager::instance().getActiveLevel())
                active->replayEvent(event);
        }
        if (!playing())
            return;
    }
    if (!stopPending && tick == playback.ticks() && !segmentLevel.empty()) {
        // A run that was closed in the middle ends where it stopped.
        endSegment(level);
        if (!stopPending)
            log::info("The replay ", playbackName, " has ended");
        stopPending = true;
    }
    if (stopPending) {
        stopPlayback();
        return;
    }
    setRecordedActions(playback.held[tick]);
    tape.held.push_back(playback.held[tick]);
    while (playing() && nextEvent < playback.events.size() && playback.events[nextEvent].tick == tick)
        if (auto active = LevelManager::instance().getActiveLevel())
            active->replayEvent(playback.events[nextEvent++]);
}

void ReplayDeck::record(ReplayEvent event)
{
    if (!recording())
        return;
    event.tick = runTicks();
    tape.events.push_back(event);
}

void ReplayDeck::recordInTick(ReplayEvent event)
{
    if (!recording() || tape.held.empty())
        return;
    event.tick = runTicks() - 1;
    tape.events.push_back(event);
}

void ReplayDeck::levelSwitched(Level* from, Level& to)
{
    if (state == Mode::Idle)
        return;
    if (from && !segmentLevel.empty())
        endSegment(*from);
    if (inRun(to.name)) {
        segmentLevel = to.name;
        segmentStart = runTicks();
        return;
    }
    // Back on the start menu: the run is over.
    segmentLevel.clear();
    if (recording()) {
        tape.complete = from && from->runComplete();
        state = Mode::Idle;
        save();
    } else {
        if (divergedAt.empty())
            log::info("The replay ", playbackName, " has ended, every level as recorded");
        finishPlayback();
    }
}

void ReplayDeck::closeRun(Level* active)
{
    if (recording() && active && !segmentLevel.empty()) {
        endSegment(*active);
        state = Mode::Idle;
        save();
    } else if (playing()) {
        finishPlayback();
    }
    state = Mode::Idle;
}

void ReplayDeck::onKey(int key, int action)
{
    if (!playing())
        return;
    if (demo) {
        if (action == GLFW_PRESS)
            stopPlayback();
        return;
    }
    // Escape on its release, so the list it returns to never hears the rest of it.
    if (key == GLFW_KEY_ESCAPE) {
        if (action == GLFW_RELEASE)
            stopPlayback();
        return;
    }
    if (action == GLFW_PRESS)
        ++fastKeys;
    else if (action == GLFW_RELEASE && fastKeys > 0)
        --fastKeys;
}

void ReplayDeck::onClickOrButton()
{
    if (playingDemo())
        stopPlayback();
}

void ReplayDeck::endSegment(Level& from)
{
    const ReplaySegment segment{segmentLevel, runTicks() - segmentStart, from.stateHash()};
    if (playing()) {
        const std::size_t index = tape.segments.size();
        if (index < playback.segments.size() && playback.segments[index] == segment)
            ++verified;
        else
            diverge(segmentLevel);
    }
    tape.segments.push_back(segment);
}

void ReplayDeck::diverge(const std::string& level)
{
    if (!divergedAt.empty())
        return;
    divergedAt = level + " at tick " + std::to_string(runTicks());
    log::warn("The replay ", playbackName, " went its own way in ", divergedAt, ": the playback stops there");
    stopPending = true;
}

void ReplayDeck::save()
{
    const std::string base = folder + "/" + fileNameFor(tape.startedAt);
    std::string path = base + replayExtension;
    for (int copy = 2; std::filesystem::exists(path); ++copy)
        path = base + "_" + std::to_string(copy) + replayExtension;
    if (const std::string reason = writeAtomically(path, encodeReplay(tape)); !reason.empty()) {
        if (!std::exchange(warnedFolder, true))
            log::warn("Replays cannot be written to ", folder, ": ", reason, "; runs are not recorded");
        return;
    }
    lastSaved = path;
    log::info("Run recorded in ", path, " (", formatRunTime(tape.ticks()), ")");
    if (const GameSettings* settings = LevelManager::instance().settings)
        pruneReplays(folder, *settings, keptReplays);
}

} // namespace fennik::core
