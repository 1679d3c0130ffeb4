// Plays the whole game on the real assets, as a player at the keyboard would: from the
// start menu through the test level, the tutorial, both main levels and the boss room,
// and back to the start menu. Every tick is a real frame: input, update, render, swap.

#include "LevelTestSupport.hpp"
#include "PlayerPilot.hpp"

#include "core/Files.hpp"
#include "core/GameSettings.hpp"
#include "core/Progress.hpp"
#include "core/Replay.hpp"
#include "gui/ReplaysScreen.hpp"
#include "levels/StartMenu.hpp"
#include "levels/LevelBoss.hpp"
#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

namespace fennik::test {
namespace {

// llvmpipe's cost grows with the pixels drawn: at 800 x 800 the few thousand frames of
// a playthrough take about half an hour on two cores, at this size two or three minutes.
// The game plays the same at any size; the switch goes through the real resize path.
constexpr int playWindowSize = 256;

// An interactable's R toggle rests for a full second (30 ticks) after each use.
constexpr int interactionCooldownTicks = 31;

constexpr const char* demoPath = "assets/replays/demo.fzreplay";

scene::Scene& sceneOf(GameHarness& game, const std::string& level)
{
    return game.level<levels::PlayableLevel>(level).getScene();
}

class Playthrough : public ::testing::Test {
protected:
    // Sizes the window and lets frames pass until the game draws at that size.
    void resizeWindow(int size)
    {
        glfwSetWindowSize(window, size, size);
        for (int frames = 0, width = 0, height = 0; frames < 30 && (width != size || height != size); ++frames) {
            game.tick();
            glfwGetFramebufferSize(window, &width, &height);
        }
        game.tick();
    }

    // Plays `level` along `route` within `budget` ticks (about one and a half times
    // what the route needs); the route must end with the game in `next`.
    void play(const std::string& level, int budget, const std::string& next, const std::function<void()>& route)
    {
        pilot.enterLevel(level, budget);
        route();
        if (pilot.inLevel())
            throw PilotFailure("the route is walked but the level did not switch -- " + pilot.where());
        if (game.activeName() != next)
            throw PilotFailure("left " + level + " for " + game.activeName() + " instead of " + next + " -- " +
                               pilot.where());
        std::cout << "[ PLAYED   ] " << level << ": " << pilot.ticksSpent() << " ticks\n";
        levelTicks.push_back(static_cast<std::uint32_t>(pilot.ticksSpent()));
    }

    GameHarness& game = sharedGame();
    GLFWwindow* window = game.game->mainWindow->handle;
    PlayerPilot pilot{game};
    std::vector<std::uint32_t> levelTicks;
};

TEST_F(Playthrough, FromTheStartMenuThroughEveryLevelAndBackToTheMenu)
{
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(game.activeName(), "StartMenu");
    // A new player: no progress from an earlier run of this test in its scratch home.
    auto& keeper = core::LevelManager::instance().progress;
    std::filesystem::remove(core::progressPath());
    keeper.load(core::progressPath());
    game.setLevel("StartMenu");
    game.tick(3);
    // "Start Game" sits just below the middle of the window it was laid out for.
    const float width = static_cast<float>(game.game->settings->windowWidth);
    const float height = static_cast<float>(game.game->settings->windowHeight);
    game.clickAt(width * 0.5f, height * 0.5f - 30.0f);
    ASSERT_EQ(game.activeName(), "TestLevel");
    resizeWindow(playWindowSize);
    try {
        play("TestLevel", 400, "TutorialLevel", [&] {
            // The welcome note is within reach of the start.
            auto& note = *sceneOf(game, "TestLevel").interactables.front();
            pilot.wait(2);
            ASSERT_TRUE(note.inRange);
            pilot.tapKey(GLFW_KEY_R);
            EXPECT_TRUE(note.active);
            pilot.wait(interactionCooldownTicks);
            pilot.tapKey(GLFW_KEY_R);
            EXPECT_FALSE(note.active);
            // Straight on to the gate; the dais in the way is jumped.
            pilot.goX(-3.0f);
            pilot.goZ(-48.0f);
        });

        play("TutorialLevel", 700, "LevelOne", [&] {
            // Round the first note's pedestal, then along the sand past the step.
            pilot.goZ(26.0f);
            pilot.goX(-7.0f);
            pilot.goZ(17.0f);
            pilot.leapZ(9.5f, 0.0f);
            pilot.goZ(-26.0f);
            pilot.leapZ(-34.5f, -44.0f);
            pilot.goZ(-46.0f);
            pilot.walkTo({2.0f, -63.0f});
        });

        play("LevelOne", 1600, "LevelTwo", [&] {
            auto& enemies = sceneOf(game, "LevelOne").enemies;
            ASSERT_EQ(enemies.size(), 3u);
            // Each beetle is fought where the others are out of their 20 units of reach.
            pilot.goZ(4.0f);
            EXPECT_EQ(pilot.stomp(*enemies[0], {{-2.0f, 1.0f}, {24.0f, 22.0f}}), 5);
            EXPECT_EQ(pilot.stomp(*enemies[2], {{-2.0f, -26.0f}, {24.0f, 22.0f}}), 5);
            EXPECT_EQ(pilot.stomp(*enemies[1], {{-2.0f, -58.0f}, {14.0f, -30.0f}}), 5);
            EXPECT_TRUE(game.level<levels::PlayableLevel>("LevelOne").allEnemiesDead());
            pilot.walkTo({2.0f, -63.0f});
        });

        play("LevelTwo", 1300, "LevelBoss", [&] {
            auto& enemies = sceneOf(game, "LevelTwo").enemies;
            ASSERT_EQ(enemies.size(), 2u);
            pilot.leapZ(18.0f, 6.0f);
            pilot.goZ(0.0f);
            EXPECT_EQ(pilot.stomp(*enemies[0], {{-4.0f, -26.0f}, {24.0f, 9.0f}}), 5);
            pilot.walkTo({2.0f, -21.0f});
            pilot.leapZ(-29.0f, -40.0f);
            EXPECT_EQ(pilot.stomp(*enemies[1], {{-2.0f, -53.0f}, {14.0f, -39.0f}}), 5);
            // Beside the low ruin wall and through the gate.
            pilot.walkTo({6.0f, -73.0f});
        });

        play("LevelBoss", 1000, "StartMenu", [&] {
            auto& room = game.level<levels::LevelBoss>("LevelBoss");
            auto& scene = room.getScene();
            ASSERT_EQ(scene.enemies.size(), 1u);
            auto& boss = *scene.enemies.front();
            pilot.walkTo({6.0f, -10.0f});
            // A boss takes half a beetle's damage: ten landings.
            EXPECT_EQ(pilot.stomp(boss, {{-4.0f, -48.0f}, {16.0f, 10.0f}}), 10);
            ASSERT_TRUE(room.endFigureSpawned());
            auto& kobbin = *scene.interactables.back();
            pilot.wait(5);
            ASSERT_TRUE(kobbin.inRange);
            pilot.tapKey(GLFW_KEY_R);
            EXPECT_TRUE(kobbin.active);
            pilot.wait(interactionCooldownTicks);
            pilot.tapKey(GLFW_KEY_R);
        });
    } catch (const PilotFailure& failure) {
        FAIL() << failure.what();
    }

    EXPECT_EQ(game.activeName(), "StartMenu");
    resizeWindow(static_cast<int>(game.game->settings->windowWidth));
    game.tick(30);
    EXPECT_EQ(game.activeName(), "StartMenu");
    grab("playthrough_back_on_the_menu");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "[ PLAYED   ] in " << seconds << " s\n";

    // The run was recorded, level by level, and the menu shows its time as the best.
    auto& deck = core::LevelManager::instance().deck;
    const core::ReplayEntry recorded = core::readReplay(deck.lastSaved, *game.game->settings);
    ASSERT_TRUE(recorded.replay) << deck.lastSaved << ": " << recorded.problem;
    const core::Replay& run = *recorded.replay;
    EXPECT_TRUE(run.complete);
    ASSERT_EQ(run.segments.size(), std::size(core::runLevels));
    for (std::size_t index = 0; index < run.segments.size(); ++index) {
        EXPECT_EQ(run.segments[index].level, core::runLevels[index]);
        // The first level also holds the ticks before the pilot took over.
        if (index > 0) {
            EXPECT_EQ(run.segments[index].ticks, levelTicks.at(index)) << core::runLevels[index];
        }
    }
    auto& menu = game.level<levels::StartMenu>("StartMenu");
    EXPECT_EQ(menu.bestTimeCaption(), "Best time: " + core::formatRunTime(run.ticks()));
    // The game remembers it all: the end reached and every level's time.
    keeper.load(keeper.path());
    EXPECT_TRUE(keeper.progress().finished);
    EXPECT_EQ(keeper.progress().furthest, 4);
    for (std::size_t index = 0; index < run.segments.size(); ++index)
        EXPECT_EQ(keeper.progress().best[index], run.segments[index].ticks) << core::runLevels[index];

    // The shipped demo is this run with its start time cleared (tools/record-demo.sh).
    core::Replay demo = run;
    demo.startedAt = 0;
    const std::string demoBytes = core::encodeReplay(demo);
    if (std::getenv("FENNIK_WRITE_DEMO")) {
        EXPECT_EQ(core::writeAtomically(demoPath, demoBytes), "");
    }
    EXPECT_TRUE(core::readWholeFile(demoPath, 1u << 24) == demoBytes) << demoPath << " is not this run";

    // Some other play first; then the run from the replays list, to the same state at
    // every level switch.
    game.setLevel("LevelOne");
    game.input.press(GLFW_KEY_D);
    game.input.press(GLFW_KEY_SPACE);
    game.game->runTicks(120);
    game.input.releaseAll();
    game.setLevel("StartMenu");
    // Continue, Start Game, Levels, Replays.
    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER}) {
        game.windowKey(key, GLFW_PRESS);
        game.windowKey(key, GLFW_RELEASE);
        if (key == GLFW_KEY_ENTER && !deck.playing()) {
            EXPECT_EQ(menu.getReplays().captions().at(0).substr(12),
                      "   " + core::formatRunTime(run.ticks()) + "   Finished");
        }
    }
    ASSERT_TRUE(deck.playing());
    for (int tick = 0; deck.playing() && tick < 2 * static_cast<int>(run.ticks()); ++tick)
        game.game->runTicks(1);
    EXPECT_EQ(deck.divergence(), "");
    EXPECT_EQ(deck.verifiedSwitches(), 5);
    EXPECT_TRUE(menu.getReplays().isOpen());
}

} // namespace
} // namespace fennik::test
