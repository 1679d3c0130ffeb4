// The replay file: what a good one holds comes back, and every bad one is refused
// with its reason, never a crash.

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "core/Replay.hpp"

#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace fennik::core;

namespace {

GameSettings simulationSettings()
{
    GameSettings settings;
    settings.gravity = 30.0f;
    settings.slopeThreshold = 0.5f;
    return settings;
}

Replay sampleRun(std::int64_t startedAt = 1'780'000'000)
{
    Replay replay;
    replay.assetFingerprint = assetFingerprint();
    replay.gravity = 30.0f;
    replay.slopeThreshold = 0.5f;
    replay.randomState = 12345;
    replay.startedAt = startedAt;
    replay.held = {0, 1, 1, 0b10001, 0, 8, 8, 0, 0, 2};
    replay.events = {{2, ReplayEvent::Kind::TogglePause}, {2, ReplayEvent::Kind::ViewKey, 292 /* F3 */},
                     {7, ReplayEvent::Kind::CameraTurn, 0, 250.0f, 40.0f}};
    replay.segments = {{"TestLevel", 6, 0x1234}, {"TutorialLevel", 4, 0x5678}};
    return replay;
}

std::string refusal(std::string_view bytes)
{
    std::string why;
    EXPECT_FALSE(decodeReplay(bytes, why));
    return why;
}

} // namespace

TEST(ReplayFile, ARunComesBackAsRecordedAndEveryBadFileIsRefusedWithItsReason)
{
    const Replay run = sampleRun();
    const std::string bytes = encodeReplay(run);
    std::string why;
    const auto back = decodeReplay(bytes, why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, run);
    EXPECT_EQ(run.furthestLevel(), "Tutorial");
    EXPECT_EQ(formatRunTime(4123), "2:17.43");
    EXPECT_EQ(replayMismatch(run, simulationSettings()), "");

    Replay otherAssets = run;
    otherAssets.assetFingerprint ^= 1;
    EXPECT_EQ(replayMismatch(otherAssets, simulationSettings()), "made with other assets");
    GameSettings heavier = simulationSettings();
    heavier.gravity = 40.0f;
    EXPECT_EQ(replayMismatch(run, heavier).rfind("made with other simulation settings", 0), 0u);

    std::string otherVersion = bytes;
    otherVersion[8] = 2;
    std::string unknownAction = bytes;
    unknownAction[8 + 4 + 8 + 4 + 4 + 4 + 8 + 4 + 1] = char(0x80);
    std::string misorderedEvents = encodeReplay([&] { Replay r = run; std::swap(r.events[0], r.events[2]); return r; }());
    std::string unevenLevels = encodeReplay([&] { Replay r = run; r.segments[1].ticks = 5; return r; }());
    // Main Menu from the pause menu comes after the last tick; one more tick is damage.
    const auto endingOn = [&](std::uint32_t tick) {
        Replay r = run;
        r.events.push_back({tick, ReplayEvent::Kind::MainMenu});
        return encodeReplay(r);
    };
    EXPECT_TRUE(decodeReplay(endingOn(run.ticks()), why)) << why;
    const struct {
        std::string bytes;
        const char* reason;
    } refused[] = {
        {bytes.substr(0, bytes.size() / 2), "truncated"},
        {bytes.substr(0, 5), "truncated"},
        {bytes.substr(0, bytes.size() - 1), "truncated"},
        {otherVersion, "format version 2, this game reads version 1"},
        {"garbage that is no replay at all", "not a replay file"},
        {"", "truncated"},
        {unknownAction, "damaged: unknown actions at tick 1"},
        {misorderedEvents, "damaged: events out of order"},
        {unevenLevels, "damaged: the levels' ticks do not add up to the run's"},
        {bytes + "x", "damaged: bytes after the end"},
        {endingOn(run.ticks() + 1), "damaged: an event after the last tick"},
    };
    for (const auto& bad : refused)
        EXPECT_EQ(refusal(bad.bytes), bad.reason);
    // The replays page says it in a player's words.
    EXPECT_EQ(unplayableReason(refusal(otherVersion)), "other version");
    EXPECT_EQ(unplayableReason("made with other assets"), "other version");
    EXPECT_EQ(unplayableReason(refusal(unevenLevels)), "damaged file");

    // Thousands of random damages: each is refused or read, never a crash or a hang.
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        std::string damaged = bytes;
        for (int hits = 1 + round % 4; hits > 0; --hits)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        if (round % 3 == 0)
            damaged.resize(random() % damaged.size());
        std::string reason;
        if (!decodeReplay(damaged, reason)) {
            EXPECT_FALSE(reason.empty());
        }
    }
}

TEST(ReplayFile, TheFolderKeepsTheNewestRunsAndTheBestAndAnUnwritableOneRecordsNothing)
{
    const fennik::test::TempDirectory home("fennik_replays");
    const GameSettings settings = simulationSettings();
    // 24 runs a minute apart; the oldest is the only complete one from the start, so the fastest.
    for (int run = 0; run < 24; ++run) {
        Replay replay = sampleRun(1'780'000'000 + run * 60);
        replay.complete = run == 0;
        if (run == 23) { // faster and complete, but continued at level 1: no whole run
            replay.complete = true;
            replay.held.resize(5);
            replay.events.clear();
            replay.segments = {{"LevelOne", 5, 0x1}};
        }
        home.write("run" + std::to_string(100 + run) + replayExtension, encodeReplay(replay));
    }
    home.write("run999" + std::string(replayExtension), "not a replay");
    pruneReplays(home.path().string(), settings, keptReplays);
    fennik::test::LogCapture log;
    const auto kept = listReplays(home.path().string(), settings);
    ASSERT_EQ(kept.size(), keptReplays + 1);
    EXPECT_EQ(kept.front().path, (home.path() / "run999.fzreplay").string()) << "newest first";
    EXPECT_EQ(kept.front().problem, "not a replay file");
    EXPECT_EQ(kept.front().reason, "not a replay");
    EXPECT_EQ(kept.back().summary.ticks, 10u);
    EXPECT_EQ(kept.back().summary.furthestLevel, "Finished");
    EXPECT_EQ(kept.back().path, (home.path() / "run100.fzreplay").string()) << "the best run stays";
    ASSERT_NE(bestRun(kept), nullptr);
    EXPECT_EQ(bestRun(kept)->path, kept.back().path);
    EXPECT_EQ(log.count("cannot be played"), 0u) << "each refused file is told once per process";

    LevelManager::instance().setContext(nullptr, nullptr);
    ReplayDeck deck;
    deck.folder = (home.path() / "run100.fzreplay" / "replays").string(); // under a file
    deck.startRecording(settings);
    deck.startRecording(settings);
    EXPECT_FALSE(deck.recording());
    EXPECT_EQ(log.count("[WARN]: Replays cannot be written to "), 1u);
}
