// Notes and other interaction points in the real levels: the prompt, the R key and
// its one-second cooldown, the card each note shows, and the rocks that are only
// for pushing.

#include "LevelTestSupport.hpp"

#include "levels/LevelOne.hpp"
#include "levels/LevelTwo.hpp"
#include "levels/TestLevel.hpp"
#include "levels/TutorialLevel.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>


namespace fennik::test {
namespace {

constexpr const char* interactedLine = "[INFO]: I was interacted with";

// Every note card of the game: a shown card must look like its own and no other.
const std::vector<std::string> noteCards = {
    "assets/textures/beginning_texture.png", "assets/textures/tutorial1_texture.png",
    "assets/textures/tutorial2_texture.png", "assets/textures/tutorial3_texture.png",
    "assets/textures/level1_texture.png",    "assets/textures/end_texture.png",
};

// The card sits in the middle fifth-by-fifth box of the window; this is the file it
// looks most like, and how closely.
std::pair<std::string, double> shownCard(const Picture& picture)
{
    const int x = picture.width / 2 - picture.width / 5;
    const int y = picture.height / 2 - picture.height / 5;
    std::pair<std::string, double> best{"", 1e9};
    for (const std::string& card : noteCards) {
        const double difference =
            cardDifference(picture, x, y, 2 * picture.width / 5, 2 * picture.height / 5, card);
        if (difference < best.second)
            best = {card, difference};
    }
    return best;
}

// The band where "Press R to Interact" is written, centred a fifth up the window.
struct Band {
    int x0, y0, x1, y1;
};
Band promptBand(const Picture& picture)
{
    return {picture.width / 4, picture.height / 5 - 20, 3 * picture.width / 4, picture.height / 5 + 45};
}

// Holds R for one tick, as a short press does.
void pressR(GameHarness& harness)
{
    harness.input.press(GLFW_KEY_R);
    simulate(harness);
    harness.input.release(GLFW_KEY_R);
}

TEST(Interaction, TheTestLevelsNoteIsOfferedFromTheStartAndHeldRTogglesItOncePerSecond)
{
    auto& harness = sharedGame();
    auto& level = startOn<levels::TestLevel>(harness, "TestLevel");
    auto& note = *level.getScene().interactables.at(0);
    EXPECT_TRUE(note.inRange) << "the note is in reach of the start";
    EXPECT_FALSE(note.active);

    // The prompt is written in white across the lower middle of the window.
    const Picture offered = drawFrame(harness, "leveltests_prompt");
    note.inRange = false;
    const Picture quiet = drawFrame(harness, "leveltests_no_prompt");
    note.inRange = true;
    const Band band = promptBand(offered);
    EXPECT_GT(offered.changedPixels(quiet, band.x0, band.y0, band.x1, band.y1), 300);
    EXPECT_GT(offered.whitePixels(band.x0, band.y0, band.x1, band.y1),
              quiet.whitePixels(band.x0, band.y0, band.x1, band.y1) + 200);
    EXPECT_EQ(offered.changedPixels(quiet, 0, band.y1, offered.width, offered.height - 150), 0)
        << "nothing but the prompt differs above it (the gauge's corner left aside)";

    // R held: open at once, closed once more than a second has passed, open again
    // after another.
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
    EXPECT_EQ(log.count(interactedLine), 2u) << "one line for each opening";
    simulate(harness, 40);
    EXPECT_TRUE(note.active) << "a note stays open without R";

    // The open note shows the welcome card, and "Press R to Continue" replaces the prompt.
    const Picture open = drawFrame(harness, "leveltests_test_level_note");
    EXPECT_EQ(shownCard(open).first, "assets/textures/beginning_texture.png");
    EXPECT_LT(shownCard(open).second, 20.0);
    EXPECT_LT(open.whitePixels(band.x0, band.y0, band.x0 + 150, band.y1), 20) << "no prompt while the note is open";

    pressR(harness);
    EXPECT_FALSE(note.active);
    const Picture closed = drawFrame(harness, "leveltests_test_level_note_closed");
    EXPECT_GT(shownCard(closed).second, 40.0) << "no card once closed";
}

struct NoteCase {
    const char* level;
    std::size_t index;    // in the level's interactables
    glm::vec3 standingAt; // within reach of the note, on open floor
    const char* card;
};

TEST(Interaction, EachNoteOpensItsOwnCardWhereItStandsAndStaysOpenOutOfReach)
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
        auto& level = startOn<levels::PlayableLevel>(harness, c.level);
        auto& scene = level.getScene();
        auto& note = *scene.interactables.at(c.index);
        place(*scene.player, c.standingAt);
        simulate(harness, 3);
        EXPECT_LT(glm::distance(positionOf(*scene.player), c.standingAt), 0.2f) << "the player stands where put";
        for (std::size_t i = 0; i < scene.interactables.size(); ++i)
            EXPECT_EQ(scene.interactables[i]->inRange, i == c.index) << "interactable " << i;

        pressR(harness);
        ASSERT_TRUE(note.active);
        const Picture open =
            drawFrame(harness, std::string("leveltests_note_") + c.level + "_" + std::to_string(c.index));
        EXPECT_EQ(shownCard(open).first, c.card);
        EXPECT_LT(shownCard(open).second, 20.0);

        // Out of reach the note stays open and R does nothing.
        place(*scene.player, c.standingAt + glm::vec3(0.0f, 0.0f, 12.0f));
        harness.input.press(GLFW_KEY_R);
        simulate(harness, 40);
        harness.input.release(GLFW_KEY_R);
        EXPECT_FALSE(note.inRange);
        EXPECT_TRUE(note.active);

        // Back in reach, R closes it.
        place(*scene.player, c.standingAt);
        simulate(harness, 2);
        pressR(harness);
        EXPECT_FALSE(note.active);
    }
}

TEST(Interaction, RocksAreForPushingNotForReading)
{
    auto& harness = sharedGame();
    auto& tutorial = startOn<levels::TutorialLevel>(harness, "TutorialLevel");
    auto& rock = *tutorial.getScene().interactables.at(0);
    auto& player = *tutorial.getScene().player;
    const glm::vec3 rockStart = positionOf(rock);

    // Up against the rock (it lies at x -13.3..-10.9, z 11.7..14.3), pushing it
    // towards -Z, R held all the while.
    place(player, {-12.1f, 1.915f, 15.9f});
    harness.input.press(GLFW_KEY_R);
    harness.input.press(GLFW_KEY_D);
    simulate(harness, 45);
    harness.input.release(GLFW_KEY_D);
    harness.input.release(GLFW_KEY_R);
    EXPECT_FALSE(rock.inRange) << "a range of 0 is never reached";
    EXPECT_FALSE(rock.active);
    EXPECT_LT(positionOf(rock).z, rockStart.z - 0.25f) << "the rock gives way";

    auto& levelTwo = startOn<levels::LevelTwo>(harness, "LevelTwo");
    auto& secondRock = *levelTwo.getScene().interactables.at(0);
    ASSERT_NE(secondRock.mesh, nullptr) << "level two's rock comes from its model";
    place(*levelTwo.getScene().player, {-12.1f, 1.915f, 29.9f});
    harness.input.press(GLFW_KEY_R);
    simulate(harness, 5);
    harness.input.release(GLFW_KEY_R);
    EXPECT_FALSE(secondRock.inRange);
    EXPECT_FALSE(secondRock.active);
}

} // namespace
} // namespace fennik::test
