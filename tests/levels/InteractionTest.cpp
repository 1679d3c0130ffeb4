// Notes in the real levels: the prompt, the R key and its one-second cooldown, and the
// card each note shows.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "gui/Text.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::test {
namespace {

// Holds R for one tick, as a short press does.
void pressR(GameHarness& harness)
{
    harness.input.press(GLFW_KEY_R);
    simulate(harness);
    harness.input.release(GLFW_KEY_R);
}

TEST(Interaction, TheWelcomeNoteIsOfferedFromTheStartAndHeldRTogglesItOncePerSecond)
{
    auto& harness = sharedGame();
    auto& note = *startOn(harness, "TestLevel").getScene().interactables.at(0);
    ASSERT_TRUE(note.inRange) << "the note is in reach of the start";
    simulate(harness, 40); // the camera settles behind the player

    // "Press R to Interact" in white across the lower middle of the window.
    const Picture offered = drawFrame(harness, "test_level_prompt");
    note.inRange = false;
    const Picture quiet = drawFrame(harness, "leveltests_no_prompt");
    note.inRange = true;
    const int x0 = offered.width / 4, x1 = 3 * offered.width / 4;
    const int y0 = offered.height / 5 - 20, y1 = offered.height / 5 + 45;
    EXPECT_GT(offered.whitePixels(x0, y0, x1, y1), quiet.whitePixels(x0, y0, x1, y1) + 200);

    // R held: open at once, closed once more than a second has passed, open again after another.
    LogCapture log;
    harness.input.press(GLFW_KEY_R);
    simulate(harness);
    EXPECT_TRUE(note.active);
    simulate(harness, 28);
    EXPECT_TRUE(note.active) << "within the second nothing toggles";
    simulate(harness, 4);
    EXPECT_FALSE(note.active) << "after a second, the held key closes it";
    simulate(harness, 27);
    EXPECT_FALSE(note.active);
    simulate(harness, 6);
    EXPECT_TRUE(note.active);
    harness.input.release(GLFW_KEY_R);
    EXPECT_EQ(log.count("[INFO]: I was interacted with"), 2u) << "one line for each opening";

    // The open note shows the welcome card, and "Press R to Continue" replaces the prompt.
    const Picture open = drawFrame(harness, "open_note");
    EXPECT_EQ(shownCard(open).first, "assets/textures/beginning_texture.png");
    EXPECT_LT(shownCard(open).second, 20.0);
    // Centred where "Press R to Interact" was: as much white either side of the middle.
    const int middle = open.width / 2;
    EXPECT_GT(open.whitePixels(x0, y0, middle, y1), 200);
    EXPECT_NEAR(open.whitePixels(x0, y0, middle, y1), open.whitePixels(middle, y0, x1, y1),
                open.whitePixels(x0, y0, x1, y1) / 5) << "\"Press R to Continue\" is not centred";
    // The pause menu hides the note and its prompt; resuming brings them back.
    harness.tap(GLFW_KEY_ESCAPE);
    const Picture paused = drawFrame(harness, "open_note_paused");
    note.active = false;
    const Picture pausedClosed = drawFrame(harness, "leveltests_paused_note_closed");
    note.active = true;
    int shownThrough = 0;
    for (std::size_t i = 0; i < paused.rgba.size(); ++i)
        shownThrough += std::abs(int(paused.rgba[i]) - int(pausedClosed.rgba[i])) > 8;
    EXPECT_LT(shownThrough, 20) << "the note or its prompt shows through the pause menu";
    harness.tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(note.active);
    simulate(harness, 31);
    pressR(harness);
    EXPECT_FALSE(note.active);
    EXPECT_GT(shownCard(drawFrame(harness, "leveltests_note_closed")).second, 40.0) << "no card once closed";
}

struct NoteCase {
    const char* level;
    std::size_t index;    // in the level's interactables
    glm::vec3 standingAt; // within reach of the note, on open floor
    const char* card;
};

TEST(Interaction, EachNoteOpensItsOwnCardWithinReachOnlyAndStaysOpenOutOfIt)
{
    const NoteCase cases[] = {
        {"TutorialLevel", 1, {-3.47f, 1.915f, 30.0f}, "assets/textures/tutorial1_texture.png"},
        {"TutorialLevel", 2, {20.0f, 1.915f, -14.0f}, "assets/textures/tutorial3_texture.png"},
        {"TutorialLevel", 3, {-3.47f, 1.915f, -14.0f}, "assets/textures/tutorial2_texture.png"},
        {"LevelOne", 0, {-8.0f, 1.915f, 19.3f}, "assets/textures/level1_texture.png"},
    };
    auto& harness = sharedGame();
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(std::string(c.level) + " note " + std::to_string(c.index));
        auto& scene = startOn(harness, c.level).getScene();
        auto& note = *scene.interactables.at(c.index);
        teleport(*scene.player, c.standingAt);
        simulate(harness, 3);
        for (std::size_t i = 0; i < scene.interactables.size(); ++i)
            EXPECT_EQ(scene.interactables[i]->inRange, i == c.index) << "interactable " << i;
        pressR(harness);
        ASSERT_TRUE(note.active);
        const auto [card, difference] =
            shownCard(drawFrame(harness, std::string("leveltests_note_") + c.level + std::to_string(c.index)));
        EXPECT_EQ(card, c.card);
        EXPECT_LT(difference, 20.0);

        // Walked out of reach, the note stays open and R does nothing; back in reach, R closes it.
        teleport(*scene.player, c.standingAt + glm::vec3(0.0f, 0.0f, 12.0f));
        harness.input.press(GLFW_KEY_R);
        simulate(harness, 40);
        harness.input.release(GLFW_KEY_R);
        EXPECT_TRUE(note.active);
        teleport(*scene.player, c.standingAt);
        simulate(harness, 2);
        pressR(harness);
        EXPECT_FALSE(note.active);
    }
}

} // namespace
} // namespace fennik::test

namespace fennik::test {
namespace {

using core::Action;

// Rebound keys and a gamepad play the game: jump on J and no more on Space, the prompt
// naming the note's key, and a pad that walks (past the stick's dead zone), jumps,
// opens a note, pauses and resumes, and starts the game from the menu.
TEST(Controls, ReboundKeysAndAGamepadWalkJumpOpenNotesPauseAndStartTheGame)
{
    auto& harness = sharedGame();
    auto& keys = harness.game->settings->keys;
    auto& level = startOn(harness, "TestLevel");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    auto& note = *scene.interactables.at(0);
    simulate(harness, 40); // landed, the camera at rest
    const Picture promptR = drawFrame(harness, "controls_prompt_r");
    ASSERT_TRUE(keys.bind(Action::Jump, GLFW_KEY_J));
    ASSERT_TRUE(keys.bind(Action::Interact, GLFW_KEY_E));
    const Picture promptE = drawFrame(harness, "controls_prompt_e");
    EXPECT_EQ(scene.text->text, "Press E to Interact");
    EXPECT_NE(promptE.rgba, promptR.rgba);

    const auto heightAfter = [&](auto hold, auto release) {
        const float ground = positionOf(player).y;
        hold();
        simulate(harness, 6);
        release();
        const float height = positionOf(player).y - ground;
        simulate(harness, 40);
        return height;
    };
    EXPECT_LT(heightAfter([&] { harness.input.press(GLFW_KEY_SPACE); }, [&] { harness.input.releaseAll(); }), 0.05f);
    EXPECT_GT(heightAfter([&] { harness.input.press(GLFW_KEY_J); }, [&] { harness.input.releaseAll(); }), 1.0f);
    keys = {};

    // The pad. A stick tilted less than a quarter does nothing; more walks forward.
    const glm::vec3 start = positionOf(player);
    harness.input.tiltPad(GLFW_GAMEPAD_AXIS_LEFT_Y, -0.2f);
    simulate(harness, 10);
    EXPECT_LT(glm::distance(positionOf(player), start), 0.05f);
    harness.input.tiltPad(GLFW_GAMEPAD_AXIS_LEFT_Y, -0.8f);
    simulate(harness, 10);
    EXPECT_LT(positionOf(player).x, start.x - 1.0f) << "forward is along -x";
    harness.input.releaseAll();
    teleport(player, start);
    simulate(harness, 20);
    EXPECT_GT(heightAfter([&] { harness.input.pressPad(GLFW_GAMEPAD_BUTTON_A); }, [&] { harness.input.releaseAll(); }),
              1.0f);
    harness.input.pressPad(GLFW_GAMEPAD_BUTTON_X);
    simulate(harness);
    EXPECT_TRUE(note.active);
    note.active = false;
    harness.input.releaseAll();

    // Start pauses; in the menu South on the first button resumes.
    harness.input.pressPad(GLFW_GAMEPAD_BUTTON_START);
    harness.tick();
    EXPECT_TRUE(level.isPaused());
    harness.input.releaseAll();
    for (int button : {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, GLFW_GAMEPAD_BUTTON_A}) {
        harness.input.pressPad(button);
        harness.tick();
        harness.input.releasePad(button);
        harness.tick();
    }
    EXPECT_FALSE(level.isPaused());

    // The start menu: down to "Start Game", South.
    startOn<core::Level>(harness, "StartMenu");
    for (int button : {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, GLFW_GAMEPAD_BUTTON_A}) {
        harness.input.pressPad(button);
        harness.tick();
        harness.input.releasePad(button);
        harness.tick();
    }
    EXPECT_EQ(harness.activeName(), "TestLevel");
    harness.input.releaseAll();
}

} // namespace
} // namespace fennik::test
