// Replays on the real game: the shipped demo (the playthrough's run) reaches every level
// switch with its recorded state at any frame rate and after any earlier play, a changed
// input is caught in the level it changes, and the start menu plays the demo when left
// alone.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/Replay.hpp"
#include "gui/ReplaysScreen.hpp"
#include "levels/StartMenu.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace fennik::test {
namespace {

constexpr const char* demoPath = "assets/replays/demo.fzreplay";

core::ReplayDeck& deck()
{
    return core::LevelManager::instance().deck;
}

core::Replay shippedDemo(GameHarness& harness)
{
    const core::ReplayEntry demo = core::readReplay(demoPath, *harness.game->settings);
    if (!demo.replay)
        throw std::runtime_error(std::string(demoPath) + ": " + demo.problem);
    return *demo.replay;
}

// Plays a while in another level, so the replay does not start from a fresh game.
void playElsewhere(GameHarness& harness)
{
    startOn(harness, "LevelTwo");
    harness.input.press(GLFW_KEY_A);
    harness.input.press(GLFW_KEY_SPACE);
    simulate(harness, 90);
    harness.input.releaseAll();
    harness.setLevel("StartMenu");
}

void playToTheEnd(GameHarness& harness)
{
    for (int tick = 0; deck().playing() && tick < 20000; ++tick)
        harness.game->runTicks(1);
}

TEST(Replays, TheDemoReachesEveryLevelSwitchAsRecordedAtAnyFrameRateAfterAnyEarlierPlay)
{
    auto& harness = sharedGame();
    const ScratchProgress progress;
    const core::Replay demo = shippedDemo(harness);
    ASSERT_EQ(demo.segments.size(), 5u);
    // Small frames: the software renderer's cost grows with the pixels, and the run
    // plays the same at any size.
    const auto width = static_cast<int>(harness.game->settings->windowWidth);
    harness.resizeWindow(128);
    for (const double fps : {15.0, 30.0, 60.0, 144.0}) {
        playElsewhere(harness);
        deck().play(demo, demoPath, false);
        ASSERT_EQ(harness.activeName(), "TestLevel");
        // The first level frame by frame through the loop at this rate, the rest tick by tick.
        if (fps == 30.0) {
            // A key held plays four ticks for every tick due (after the ticks the
            // simulated play above left due).
            harness.tick();
            harness.windowKey(GLFW_KEY_W, GLFW_PRESS);
            const std::uint32_t before = deck().runTicks();
            harness.tick(10);
            EXPECT_EQ(deck().runTicks() - before, 40u);
            harness.windowKey(GLFW_KEY_W, GLFW_RELEASE);
        }
        while (deck().playing() && deck().verifiedSwitches() == 0)
            harness.frameAfter(1.0 / fps);
        playToTheEnd(harness);
        EXPECT_EQ(deck().divergence(), "") << fps << " frames a second";
        EXPECT_EQ(deck().verifiedSwitches(), 5) << fps << " frames a second";
        EXPECT_EQ(harness.activeName(), "StartMenu");
        EXPECT_TRUE(harness.level<levels::StartMenu>("StartMenu").getReplays().isOpen()) << "back to the list";
    }
    harness.level<levels::StartMenu>("StartMenu").getReplays().back();
    harness.resizeWindow(width);
    EXPECT_FALSE(core::LevelManager::instance().progress.progress().finished) << "the replays' boss fights are not ours";
}

TEST(Replays, AChangedInputIsCaughtInItsLevelAndTheMenuPlaysTheDemoWhenLeftAlone)
{
    auto& harness = sharedGame();
    core::Replay changed = shippedDemo(harness);
    // One step forward more or less in the middle of the first main level.
    const auto& levels = changed.segments;
    changed.held.at(levels[0].ticks + levels[1].ticks + levels[2].ticks / 2) ^= 1u;
    LogCapture log;
    const ScratchProgress progress;
    deck().play(changed, "changed", false);
    playToTheEnd(harness);
    EXPECT_EQ(deck().divergence().rfind("LevelOne at tick ", 0), 0u) << deck().divergence();
    EXPECT_EQ(deck().verifiedSwitches(), 2);
    EXPECT_EQ(log.count("went its own way"), 1u);
    EXPECT_EQ(harness.activeName(), "StartMenu");
    EXPECT_EQ(progress.text(), "") << "a replay saves no progress";

    // A run of our own with commands in it, a pause and a view key among the steps,
    // plays back to the same place.
    deck().startRecording(*harness.game->settings);
    harness.setLevel("TestLevel");
    harness.input.press(GLFW_KEY_W);
    simulate(harness, 20);
    harness.tap(GLFW_KEY_ESCAPE);
    harness.input.release(GLFW_KEY_W); // the keys change while paused: a late pause shows
    simulate(harness, 7);
    harness.tap(GLFW_KEY_ESCAPE);
    harness.tap(GLFW_KEY_F1);
    harness.input.press(GLFW_KEY_D);
    simulate(harness, 20);
    // "Restart Level" from the pause menu, then on from the start.
    harness.tap(GLFW_KEY_ESCAPE);
    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        harness.tap(key);
    simulate(harness, 15);
    harness.input.releaseAll();
    harness.setLevel("StartMenu");
    const core::ReplayEntry ours = core::readReplay(deck().lastSaved, *harness.game->settings);
    ASSERT_TRUE(ours.replay) << ours.problem;
    EXPECT_EQ(ours.replay->events.size(), 5u);
    ASSERT_EQ(ours.replay->segments.size(), 2u) << "the restart starts the level again";
    EXPECT_EQ(ours.replay->segments[1].level, "TestLevel");
    deck().play(*ours.replay, "ours", false);
    playToTheEnd(harness);
    EXPECT_EQ(deck().divergence(), "");
    EXPECT_EQ(deck().verifiedSwitches(), 2);

    // Half a minute without input on the menu brings the demo; a key takes it away again.
    const std::filesystem::path replays = core::replaysFolder();
    const auto recorded = [&] {
        std::error_code error;
        return std::distance(std::filesystem::directory_iterator(replays, error), {});
    };
    const auto before = recorded();
    const ScratchProgress noProgressYet;
    auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
    simulate(harness, static_cast<int>(levels::StartMenu::attractAfterSeconds * 30.0) - 5);
    EXPECT_FALSE(deck().playing());
    simulate(harness, 10);
    ASSERT_TRUE(deck().playingDemo());
    EXPECT_EQ(harness.activeName(), "TestLevel");
    simulate(harness, 30);
    drawFrame(harness, "replay_demo");
    harness.windowKey(GLFW_KEY_SPACE, GLFW_PRESS);
    harness.windowKey(GLFW_KEY_SPACE, GLFW_RELEASE);
    EXPECT_FALSE(deck().playing());
    EXPECT_EQ(harness.activeName(), "StartMenu");
    EXPECT_FALSE(menu.getReplays().isOpen()) << "the menu as it was";
    EXPECT_EQ(recorded(), before) << "the demo writes no replay";
    EXPECT_EQ(noProgressYet.text(), "") << "nor any progress";

    // A replay watched from the list: Escape, on its release, goes back to the list.
    deck().play(changed, "changed", false);
    simulate(harness, 5);
    harness.windowKey(GLFW_KEY_ESCAPE, GLFW_PRESS);
    EXPECT_TRUE(deck().playing());
    harness.windowKey(GLFW_KEY_ESCAPE, GLFW_RELEASE);
    EXPECT_FALSE(deck().playing());
    EXPECT_TRUE(menu.getReplays().isOpen());
    drawFrame(harness, "replays_list");
    menu.getReplays().back();
}

} // namespace
} // namespace fennik::test
