// Replays on the real game: the shipped demo (the playthrough's run) reaches every level
// switch with its recorded state at any frame rate and after any earlier play, a changed
// input is caught in the level it changes, and the start menu plays the demo when left
// alone.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/Replay.hpp"
#include "gui/ReplaysScreen.hpp"
#include "levels/StartMenu.hpp"
#include "physics/Interactable.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

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

// Every way a run ends leaves a replay that plays back to the state its footer records,
// taps shorter than a tick and commands after the last tick included.
TEST(Replays, EveryWayARunEndsLeavesAReplayThatPlaysBackToItsEnd)
{
    auto& harness = sharedGame();
    const auto tap = [&](int key) {
        harness.windowKey(key, GLFW_PRESS);
        harness.windowKey(key, GLFW_RELEASE);
    };
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"Main Menu from the pause menu", [&] {
             tap(GLFW_KEY_ESCAPE);
             tap(GLFW_KEY_UP); // round to the last button
             tap(GLFW_KEY_ENTER);
         }},
        {"death in the test area", [&] {
             harness.input.press(GLFW_KEY_S);
             harness.input.press(GLFW_KEY_SPACE);
             // Over the fence behind the start, down into the void: back to the menu.
             for (int tick = 0; tick < 600 && harness.activeName() == "TestLevel"; ++tick)
                 simulate(harness);
             EXPECT_EQ(harness.activeName(), "StartMenu");
         }},
        {"the window closing while paused", [&] {
             tap(GLFW_KEY_ESCAPE);
             deck().closeRun(&harness.active()); // what the loop's end does
         }},
    };
    for (const auto& [ending, end] : endings) {
        SCOPED_TRACE(ending);
        deck().startRecording(*harness.game->settings);
        startOn(harness, "TestLevel");
        // A tap of R between two ticks of a slow frame opens the welcome note, once.
        tap(GLFW_KEY_R);
        harness.frameAfter(4.0 / 30.0);
        auto& note = *harness.level<levels::PlayableLevel>("TestLevel").getScene().interactables.at(0);
        EXPECT_TRUE(note.active);
        const std::vector<std::uint8_t>& held = deck().current().held;
        EXPECT_EQ(std::count_if(held.end() - 4, held.end(), [](std::uint8_t bits) { return bits != 0; }), 1);
        harness.input.press(GLFW_KEY_W);
        simulate(harness, 15);
        harness.input.releaseAll();
        const std::string before = deck().lastSaved;
        end();
        harness.input.releaseAll();
        ASSERT_NE(deck().lastSaved, before) << "no replay was saved";
        const core::ReplayEntry saved = core::readReplay(deck().lastSaved, *harness.game->settings);
        ASSERT_TRUE(saved.replay) << saved.problem;
        deck().play(*saved.replay, ending, false);
        playToTheEnd(harness);
        EXPECT_EQ(deck().divergence(), "");
        EXPECT_EQ(deck().verifiedSwitches(), 1);
        harness.level<levels::StartMenu>("StartMenu").getReplays().back();
    }

    // The list dates a file it cannot play, gives its length and progress when the file
    // says them, and why in a few words; every caption stays inside a bar as wide as "Back".
    const std::string folder = core::replaysFolder();
    std::ifstream last(deck().lastSaved, std::ios::binary);
    std::string otherVersion{std::istreambuf_iterator<char>(last), {}};
    otherVersion[12] ^= 1; // the models' fingerprint: made with other models
    std::ofstream(folder + "/2030-01-02_03-04-05.fzreplay", std::ios::binary) << otherVersion;
    std::ofstream(folder + "/2030-01-02_03-04-06.fzreplay", std::ios::binary) << "FZREP";
    auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
    menu.getReplays().open(core::listReplays(folder, *harness.game->settings));
    const std::vector<std::string> captions = menu.getReplays().captions();
    EXPECT_EQ(captions.at(0), "02 Jan 03:04 (cut short)");
    EXPECT_TRUE(captions.at(1).ends_with(" 0:00 Test area (other version)")) << captions.at(1);
    const Picture list = drawFrame(harness, "replays_unplayable");
    // The bars' purple insides, row by row: no row wider than most bars' rows.
    std::map<int, int> widths;
    for (int y = 0; y < list.height; ++y) {
        int left = list.width, right = -1, purple = 0;
        for (int x = 0; x < list.width; ++x) {
            const std::uint8_t* p = &list.rgba[(static_cast<std::size_t>(y) * list.width + x) * 4];
            if (p[0] > 60 && p[2] > 80 && p[1] + 30 < p[0] && p[1] + 30 < p[2])
                left = std::min(left, x), right = std::max(right, x), ++purple;
        }
        if (purple > list.width / 3)
            ++widths[right - left];
    }
    ASSERT_FALSE(widths.empty());
    const int usual = std::max_element(widths.begin(), widths.end(), [](auto a, auto b) { return a.second < b.second; })->first;
    EXPECT_LE(widths.rbegin()->first - usual, 2) << "a caption widened its bar";
    menu.getReplays().back();
    std::filesystem::remove(folder + "/2030-01-02_03-04-05.fzreplay");
    std::filesystem::remove(folder + "/2030-01-02_03-04-06.fzreplay");
}

} // namespace
} // namespace fennik::test
