// Every way out of every playable level: the far ends at their exact edges, the falls,
// the deaths, the restarts and what they bring back, and which level wins when several
// rules fire in the same tick.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace fennik::test {
namespace {

const std::map<std::string, glm::vec3> playerStarts = {
    {"TestLevel", {-3.471045f, 1.915f, 34.187042f}}, {"TutorialLevel", {-3.471045f, 1.915f, 34.187042f}},
    {"LevelOne", {0.0f, 1.915f, 24.0f}},             {"LevelTwo", {0.0f, 1.915f, 24.0f}},
    {"LevelBoss", {0.0f, 1.915f, 24.0f}},
};

void expectRestarted(levels::PlayableLevel& level)
{
    auto& player = *level.getScene().player;
    EXPECT_LT(glm::distance(positionOf(player), playerStarts.at(level.name)), 1e-4f) << level.name;
    EXPECT_FLOAT_EQ(player.health, 100.0f);
}

// One tick of `level` with the player put at `at` (and optionally dying, and every
// enemy defeated); returns the level active afterwards.
std::string afterOneTick(const char* name, glm::vec3 at, bool dying = false, bool enemiesDefeated = false)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, name);
    if (enemiesDefeated)
        for (const auto& enemy : level.getScene().enemies)
            enemy->health = 0.0f;
    teleport(*level.getScene().player, at);
    if (dying)
        level.getScene().player->health = 0.0f;
    simulate(harness);
    return harness.activeName();
}

struct RuleCase {
    const char* level;
    glm::vec3 at; // high in the air nothing pushes the player sideways: edges are exact
    bool dying;
    bool enemiesDefeated;
    const char* expected;
};

TEST(LevelTransitions, FarEndsDeathsAndFallsLeadWhereEachLevelSaysAndTheLastRuleWins)
{
    const RuleCase cases[] = {
        {"TestLevel", {-3.47f, 20.0f, -44.99f}, false, false, "TestLevel"},
        {"TestLevel", {-3.47f, 20.0f, -45.0f}, false, false, "TutorialLevel"},
        {"TutorialLevel", {-3.47f, 20.0f, 49.99f}, false, false, "TutorialLevel"},
        {"TutorialLevel", {-3.47f, 20.0f, 50.0f}, false, false, "TestLevel"},
        {"TutorialLevel", {2.0f, 20.0f, -59.99f}, false, false, "TutorialLevel"},
        {"TutorialLevel", {2.0f, 20.0f, -60.0f}, false, false, "LevelOne"},
        {"LevelOne", {2.0f, 20.0f, -60.0f}, false, false, "LevelOne"},
        {"LevelOne", {2.0f, 20.0f, -59.99f}, false, true, "LevelOne"},
        {"LevelOne", {2.0f, 20.0f, -60.0f}, false, true, "LevelTwo"},
        {"LevelTwo", {2.0f, 20.0f, -70.0f}, false, false, "LevelTwo"},
        {"LevelTwo", {2.0f, 20.0f, -69.99f}, false, true, "LevelTwo"},
        {"LevelTwo", {2.0f, 20.0f, -70.0f}, false, true, "LevelBoss"},
        // Deaths, each to its level's own target.
        {"TestLevel", {-3.47f, 1.915f, 30.0f}, true, false, "StartMenu"},
        {"TutorialLevel", {-3.47f, 1.915f, 30.0f}, true, false, "StartMenu"},
        {"LevelOne", {0.0f, 1.915f, 20.0f}, true, false, "LevelOne"},
        {"LevelTwo", {0.0f, 1.915f, 20.0f}, true, false, "LevelTwo"},
        {"LevelBoss", {0.0f, 1.915f, 20.0f}, true, false, "LevelBoss"},
        // Below y = 0 over a chasm or beside the hall: a restart where the level has the rule.
        {"TutorialLevel", {-3.47f, -0.5f, 5.5f}, false, false, "TutorialLevel"},
        {"LevelTwo", {0.0f, -0.5f, 14.5f}, false, false, "LevelTwo"},
        {"LevelBoss", {30.0f, -0.5f, 0.0f}, false, false, "LevelBoss"},
        // Several rules in one tick: the death comes first, the level's own rules after.
        {"TutorialLevel", {-3.47f, 20.0f, 50.0f}, true, false, "TestLevel"},
        {"TutorialLevel", {2.0f, 20.0f, -60.0f}, true, false, "LevelOne"},
        {"TutorialLevel", {-3.47f, -0.5f, 5.5f}, true, false, "TutorialLevel"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(std::string(c.level) + " at z " + std::to_string(c.at.z) + (c.dying ? ", dying" : "") +
                     (c.enemiesDefeated ? ", enemies defeated" : ""));
        const bool restarts = c.dying || c.at.y < 0.0f;
        EXPECT_EQ(afterOneTick(c.level, c.at, c.dying, c.enemiesDefeated), c.expected);
        if (c.expected == std::string("StartMenu"))
            continue;
        if (c.expected != std::string(c.level) || restarts)
            expectRestarted(sharedGame().level<levels::PlayableLevel>(c.expected));
    }
}

// The progress file as a player makes it: a further level entered is saved at once, a
// level finished faster saves its time, a way back or a slower finish saves nothing.
TEST(LevelTransitions, EnteringAFurtherLevelOrFinishingOneFasterIsSavedAtOnce)
{
    auto& harness = sharedGame();
    const ScratchProgress progress;
    const auto leaveTestLevel = [&](int ticks) {
        simulate(harness, ticks - 1);
        teleport(*harness.level<levels::PlayableLevel>("TestLevel").getScene().player, {-3.47f, 20.0f, -45.0f});
        simulate(harness);
        return progress.text();
    };
    harness.setLevel("StartMenu");
    startOn(harness, "TestLevel");
    EXPECT_NE(progress.text().find("furthest = TestLevel\n"), std::string::npos) << progress.text();
    const std::string finished = leaveTestLevel(40);
    ASSERT_EQ(harness.activeName(), "TutorialLevel");
    EXPECT_NE(finished.find("[best]\nTestLevel = 41\n"), std::string::npos) << finished;
    EXPECT_NE(finished.find("furthest = TutorialLevel\n"), std::string::npos) << finished;
    EXPECT_EQ(afterOneTick("TutorialLevel", {-3.47f, 20.0f, 50.0f}), "TestLevel");
    EXPECT_EQ(progress.text(), finished) << "back is no finish";
    EXPECT_EQ(leaveTestLevel(50), finished) << "slower";
    startOn(harness, "TestLevel");
    EXPECT_NE(leaveTestLevel(20).find("TestLevel = 21\n"), std::string::npos) << "faster, from the entry on";
}

TEST(LevelTransitions, FallingFarBelowHurtsEveryTickUntilTheDeathRuleTakesOver)
{
    auto& harness = sharedGame();
    for (const auto& [name, target] : {std::pair{"TestLevel", "StartMenu"}, std::pair{"LevelOne", "LevelOne"}}) {
        SCOPED_TRACE(name);
        // No fall rule here: above y = -15 the player falls on unharmed.
        EXPECT_EQ(afterOneTick(name, {30.0f, -0.5f, 0.0f}), name);
        auto& level = harness.level<levels::PlayableLevel>(name);
        auto& player = *level.getScene().player;
        simulate(harness, 10);
        EXPECT_FLOAT_EQ(player.health, 100.0f);

        teleport(player, {30.0f, -20.0f, 0.0f});
        for (int tick = 1; tick < 20; ++tick) {
            simulate(harness);
            ASSERT_FLOAT_EQ(player.health, 100.0f - 5.0f * static_cast<float>(tick)) << "tick " << tick;
        }
        simulate(harness);
        EXPECT_EQ(harness.activeName(), target) << "the twentieth tick empties the gauge";
    }
}

TEST(LevelTransitions, ARestartRevivesEveryEnemyAtItsStartAndClosesNotesAndResetsTheView)
{
    auto& harness = sharedGame();
    auto& level = startOn(harness, "LevelOne");
    auto& scene = level.getScene();
    ASSERT_EQ(scene.enemies.size(), 3u);
    std::vector<glm::vec3> homes;
    for (const auto& enemy : scene.enemies)
        homes.push_back(positionOf(*enemy));

    // One beetle lured away, two defeated and out of the world; the note open; the view turned.
    teleport(*scene.enemies[0], homes[0] + glm::vec3(-5.0f, 0.0f, 4.0f));
    scene.enemies[1]->health = 0.0f;
    scene.enemies[2]->health = -20.0f;
    scene.interactables.at(0)->active = true;
    scene.camera->focalRange = 350.0f;
    simulate(harness);
    ASSERT_FALSE(inWorld(*scene.enemies[1]));
    // Two of three down: level one's exit stays shut.
    teleport(*scene.player, {2.0f, 20.0f, -61.0f});
    simulate(harness, 2);
    EXPECT_EQ(harness.activeName(), "LevelOne");

    scene.player->health = 0.0f;
    simulate(harness);
    expectRestarted(level);
    for (std::size_t i = 0; i < scene.enemies.size(); ++i) {
        EXPECT_FLOAT_EQ(scene.enemies[i]->health, 100.0f) << "enemy " << i;
        EXPECT_TRUE(inWorld(*scene.enemies[i])) << "enemy " << i;
        EXPECT_LT(glm::distance(positionOf(*scene.enemies[i]), homes[i]), 0.1f) << "enemy " << i;
    }
    // Every visit starts the same way, which is what lets a replay play out as recorded.
    EXPECT_FALSE(scene.interactables[0]->active) << "a restart closes an open note";
    EXPECT_FLOAT_EQ(scene.camera->focalRange, 700.0f) << "a restart resets the view";
}

// A restart and a switch are jumps: at 75 frames a second (ticks land at every part of a
// frame), the first frame drawn after either shows the player at the start and the
// camera at rest behind it, never somewhere on the way from the old place.
TEST(LevelTransitions, TheFirstFrameAfterARestartOrASwitchDrawsTheNewPlaceAtOnce)
{
    auto& harness = sharedGame();
    for (const auto& [from, at, to] : {std::tuple{"LevelOne", glm::vec3(10.0f, 1.915f, -8.0f), "LevelOne"},
                                       std::tuple{"TestLevel", glm::vec3(-3.47f, 20.0f, -45.0f), "TutorialLevel"}}) {
        SCOPED_TRACE(std::string(from) + " to " + to);
        auto& player = *startOn(harness, from).getScene().player;
        harness.tick(); // the clock's backlog from ticks run without the loop
        teleport(player, at);
        harness.tick(2); // drawn there, the camera on its way
        player.health = from == std::string(to) ? 0.0f : 100.0f; // a death restarts

        auto& scene = harness.level<levels::PlayableLevel>(to).getScene();
        int jumps = 0;
        for (int frame = 0; frame < 5; ++frame) { // two ticks, back on the tick grid
            harness.frameAfter(1.0 / 75.0);
            if (jumps > 0 || harness.activeName() != to || scene.player->health < 100.0f)
                continue;
            ++jumps;
            const glm::vec3 drawn = scene.player->drawnPosition(scene.drawAlpha());
            EXPECT_LT(glm::distance(drawn, playerStarts.at(to)), 1e-4f);
            EXPECT_NEAR(glm::distance(scene.camera->eye, drawn), scene.camera->distance, 1e-3f);
        }
        EXPECT_EQ(jumps, 1);

        // Drawn over it: the picture dips to black and comes back within half a second,
        // and the level's name shows near the top for about two seconds.
        const auto shown = [&](double seconds, const std::string& name) {
            harness.input.advance(seconds);
            const Picture picture = drawFrame(harness, name);
            long sum = 0;
            for (std::size_t i = 0; i < picture.rgba.size(); i += 4)
                sum += picture.rgba[i] + picture.rgba[i + 1] + picture.rgba[i + 2];
            const int caption = picture.whitePixels(picture.width / 5, picture.height * 3 / 4, picture.width * 4 / 5,
                                                    picture.height * 7 / 8);
            return std::pair{sum / static_cast<long>(picture.rgba.size()), caption};
        };
        const auto dark = shown(0.1, "passage_dark");
        const auto named = shown(0.5, "passage_named");
        const auto later = shown(2.0, "passage_later");
        EXPECT_TRUE(from != std::string(to) || dark.first < 5) << "black while a restart fades";
        EXPECT_LT(dark.first * 3, named.first * 2);
        EXPECT_GT(named.second, later.second + 100) << "the name shows, then goes";
    }
}

TEST(LevelTransitions, ALevelPicksUpAWindowSizeThatChangedWhileItWasAway)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    const auto size = std::pair{settings.windowWidth, settings.windowHeight};
    // The window changes while the test level is inactive: only the menu hears of it.
    startOn<core::Level>(harness, "StartMenu");
    std::tie(settings.windowWidth, settings.windowHeight) = std::pair{640u, 480u};
    harness.active().onResize(640, 480);
    EXPECT_FLOAT_EQ(startOn(harness, "TestLevel").getScene().camera->aspect, 640.0f / 480.0f);
    std::tie(settings.windowWidth, settings.windowHeight) = size;
    harness.active().onResize(static_cast<int>(size.first), static_cast<int>(size.second));
}

} // namespace
} // namespace fennik::test
