// Walks the game through the moments a player sees most and keeps a picture of
// each in <build>/screenshots, checking what must be on screen.

#include "GameHarness.hpp"
#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "levels/LevelBoss.hpp"
#include "levels/TestLevel.hpp"
#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/GL.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace fennik::test {
namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // bottom row first

    std::array<int, 3> at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// What the window showed last: Mesa keeps the swapped frame in the back buffer.
Picture grab(GLFWwindow* window, const std::string& name)
{
    Picture picture;
    glfwGetFramebufferSize(window, &picture.width, &picture.height);
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());

    const std::filesystem::path folder = std::filesystem::path(FENNIK_SCREENSHOT_DIR);
    std::filesystem::create_directories(folder);
    stbi_flip_vertically_on_write(1);
    stbi_write_png((folder / (name + ".png")).string().c_str(), picture.width, picture.height, 3,
                   picture.rgb.data(), picture.width * 3);
    return picture;
}

void place(physics::Entity& entity, glm::vec3 at)
{
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(btVector3(at.x, at.y, at.z));
    entity.body->setWorldTransform(transform);
    entity.motionState->setWorldTransform(transform);
    entity.body->setLinearVelocity(btVector3(0, 0, 0));
}

bool brighterThan(std::array<int, 3> pixel, int level)
{
    return pixel[0] + pixel[1] + pixel[2] > 3 * level;
}

TEST(GameScreenshots, MenuPromptNotePauseAndBossFight)
{
    auto& harness = sharedGame();
    GLFWwindow* window = harness.game->mainWindow->handle;

    harness.setLevel("StartMenu");
    // Play runs undrawn; only the frames looked at are drawn (a frame costs as much
    // as hundreds of ticks under the software renderer).
    simulate(harness, 40);
    harness.tick(2);
    const Picture menu = grab(window, "start_menu");
    // The title picture above the buttons, the plum "Start Game" button in the middle.
    EXPECT_TRUE(brighterThan(menu.at(400, 560), 80)) << "title picture";

    harness.clickAt(400.0f, 370.0f);
    ASSERT_EQ(harness.activeName(), "TestLevel");
    simulate(harness, 40);
    harness.tick(1);
    auto& test = harness.level<levels::TestLevel>("TestLevel");
    ASSERT_TRUE(test.getScene().interactables.front()->inRange);
    grab(window, "test_level_prompt");

    harness.input.press(GLFW_KEY_R);
    harness.tick(1);
    harness.input.release(GLFW_KEY_R);
    harness.tick(2);
    ASSERT_TRUE(test.getScene().interactables.front()->active);
    const Picture note = grab(window, "open_note");
    // The card fills the middle of the window: parchment is bright.
    EXPECT_TRUE(brighterThan(note.at(400, 400), 120));

    harness.input.advance(1.5);
    harness.input.press(GLFW_KEY_R);
    harness.tick(1);
    harness.input.release(GLFW_KEY_R);
    ASSERT_FALSE(test.getScene().interactables.front()->active);

    harness.tap(GLFW_KEY_ESCAPE);
    harness.tick(3);
    ASSERT_TRUE(test.isPaused());
    const Picture pause = grab(window, "pause_menu");
    const auto resume = pause.at(400, 470);
    const auto mainMenu = pause.at(340, 330);
    EXPECT_NE(resume, mainMenu) << "both buttons drawn over the frozen scene";
    harness.tap(GLFW_KEY_ESCAPE);

    harness.setLevel("LevelBoss");
    auto& boss = harness.level<levels::LevelBoss>("LevelBoss");
    auto& scene = boss.getScene();
    place(*scene.player, {6.0f, 1.915f, -20.0f});
    scene.enemies.front()->damage();
    scene.enemies.front()->damage();
    simulate(harness, 60);
    harness.tick(1);
    grab(window, "boss_fight");
    EXPECT_FALSE(boss.endFigureSpawned());
}

} // namespace
} // namespace fennik::test
