// Every level's frame against the picture the renderer is known to draw: a change to the
// pipeline may make a frame cheaper, never visibly different. The case runs first in
// its process, on levels nothing else has touched yet.
//
// FENNIK_WRITE_FRAME_PICTURES=1 writes the pictures anew instead of comparing.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "levels/StartMenu.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/GpuResources.hpp"
#include "support/GLPictures.hpp"
#include "support/TempDirectory.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <set>
#include <utility>

namespace fennik::test {
namespace {

constexpr int pictureSize = 320;
constexpr double startTime = 100.0;

// The level as it starts, its camera snapped to its resting place.
template <typename LevelType>
void restingFrame(GameHarness& harness, const std::string& name, Picture& picture)
{
    harness.input.releaseAll();
    harness.setLevel(name);
    // One tick with the clock held at the start of the process, which the gauge's
    // heart and noise follow.
    ASSERT_EQ(harness.input.time(), startTime) << "the pictures are drawn first, with the clock at its start";
    harness.active().processInput();
    harness.active().update();
    auto& camera = *harness.level<LevelType>(name).getScene().camera;
    if constexpr (std::is_same_v<LevelType, levels::StartMenu>)
        camera.yaw = 270.0f; // the menu's drift depends on how long it has been shown
    const float smoothing = std::exchange(camera.smoothing, 1.0f);
    camera.update();
    camera.smoothing = smoothing;
    picture = drawFrame(harness, "frame_" + name);
}

void compareWithStored(const Picture& shown, const std::string& name)
{
    const std::string file = "tests/levels/fixtures/frames/" + name + ".png";
    if (std::getenv("FENNIK_WRITE_FRAME_PICTURES")) {
        stbi_flip_vertically_on_write(1);
        ASSERT_NE(stbi_write_png(file.c_str(), shown.width, shown.height, 4, shown.rgba.data(), shown.width * 4), 0);
        stbi_flip_vertically_on_write(0);
        return;
    }
    int width = 0, height = 0, channels = 0;
    stbi_set_flip_vertically_on_load(1);
    const std::unique_ptr<unsigned char, void (*)(void*)> stored(stbi_load(file.c_str(), &width, &height, &channels, 4),
                                                                 stbi_image_free);
    stbi_set_flip_vertically_on_load(0);
    ASSERT_TRUE(stored) << file;
    ASSERT_EQ(width, shown.width);
    ASSERT_EQ(height, shown.height);

    // At most 0.1 % of the pixels off by more than 2/255 in a channel, none by more than 16/255.
    // The differences are kept as a picture: red where a pixel is off, the frame dimmed elsewhere.
    int overTwo = 0;
    int largest = 0;
    std::vector<std::uint8_t> marked(shown.rgba.size());
    for (std::size_t i = 0; i < shown.rgba.size(); i += 4) {
        int off = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            off = std::max(off, std::abs(int(shown.rgba[i + c]) - int(stored.get()[i + c])));
            marked[i + c] = static_cast<std::uint8_t>(shown.rgba[i + c] / 4);
        }
        overTwo += off > 2;
        largest = std::max(largest, off);
        if (off > 2)
            marked[i] = static_cast<std::uint8_t>(std::min(255, 128 + 8 * off));
        marked[i + 3] = 255;
    }
    if (overTwo > 0)
        saveScreenshot("frame_" + name + "_differences.png", shown.width, shown.height, marked);
    EXPECT_LE(overTwo, width * height / 1000) << name << ": pixels off by more than 2/255";
    EXPECT_LE(largest, 16) << name << ": the largest difference";
}

// Every GL object alive now, by kind and name: names are handed out anew and not
// reused at once, so an object made and another deleted still show.
std::set<std::pair<int, GLuint>> liveObjects()
{
    using Probe = GLboolean (*)(GLuint);
    const Probe probes[] = {[](GLuint n) { return glIsTexture(n); },      [](GLuint n) { return glIsBuffer(n); },
                            [](GLuint n) { return glIsFramebuffer(n); },  [](GLuint n) { return glIsRenderbuffer(n); },
                            [](GLuint n) { return glIsVertexArray(n); },  [](GLuint n) { return glIsProgram(n); },
                            [](GLuint n) { return glIsQuery(n); }};
    std::set<std::pair<int, GLuint>> live;
    for (int kind = 0; kind < 7; ++kind)
        for (GLuint name = 1; name < 20000; ++name)
            if (probes[kind](name))
                live.emplace(kind, name);
    return live;
}

TEST(FramePictures, EveryLevelDrawsTheKnownPictureAndSwitchesAndResizesMakeNoGLObjects)
{
    auto& harness = sharedGame();
    const unsigned width = harness.game->settings->windowWidth;
    harness.resizeWindow(pictureSize);
    Picture picture;
    // The start menu as a new player sees it: no runs recorded, so no best time, no
    // progress, and "Start Game" in the keys' focus.
    const TempDirectory noRuns("fennik_no_runs");
    auto& runs = core::LevelManager::instance().deck.folder;
    const std::string recorded = std::exchange(runs, noRuns.path().string());
    {
        const ScratchProgress none;
        restingFrame<levels::StartMenu>(harness, "StartMenu", picture);
    }
    runs = recorded;
    compareWithStored(picture, "StartMenu");
    for (const char* name : {"TestLevel", "TutorialLevel", "LevelOne", "LevelTwo", "LevelBoss"}) {
        restingFrame<levels::PlayableLevel>(harness, name, picture);
        compareWithStored(picture, name);
    }

    // Every level has drawn: from here on a switch, a resize or a frame makes nothing.
    const auto before = liveObjects();
    harness.resizeWindow(static_cast<int>(width));
    for (const char* name : {"StartMenu", "LevelOne", "TestLevel"}) {
        harness.setLevel(name);
        simulate(harness);
        drawFrame(harness, "frame_again");
    }
    EXPECT_EQ(liveObjects(), before);
    // One program per pair of shader files, all in the shared owner; beside it only the
    // windows' two splash programs, the debug lines' and the 2D shapes' and text's.
    EXPECT_EQ(std::count_if(before.begin(), before.end(), [](const auto& object) { return object.first == 5; }),
              static_cast<long>(render::gpu().programCount()) + 5);
}

// Pixels of the right half (clear of the gauge) off by more than 2/255: a frame drawn a
// little further on moves most (the camera follows), one at the same tick only the dust.
int movedPixels(const Picture& shown, const Picture& before)
{
    int moved = 0;
    for (std::size_t i = 0; i < shown.rgba.size(); i += 4) {
        const auto off = [&](std::size_t c) { return std::abs(int(shown.rgba[i + c]) - int(before.rgba[i + c])) > 2; };
        moved += (i / 4) % shown.width >= std::size_t(shown.width / 2) && (off(0) || off(1) || off(2));
    }
    return moved;
}

// Walking at 60, 75 and 144 frames a second: every frame is drawn a little further on,
// on the segment between the last two ticks, at the part of a tick the clock has run;
// at 30 frames a second every frame draws a tick exactly. The frame counts end on a
// tick, so the clock stays on the tick grid the other cases use.
TEST(FramePictures, WalkingIsDrawnBetweenTheLastTwoTicksEveryFrameAtAnyRate)
{
    auto& harness = sharedGame();
    const unsigned width = harness.game->settings->windowWidth;
    harness.resizeWindow(pictureSize);
    auto& level = startOn(harness, "TestLevel");
    auto& scene = level.getScene();
    auto& player = *scene.player;
    harness.input.press(GLFW_KEY_W);
    harness.tick(); // the clock's backlog from ticks run without the loop
    Picture strip;

    for (const auto& [framesPerSecond, frames] : {std::pair{60, 16}, std::pair{75, 15}, std::pair{144, 24},
                                                  std::pair{30, 4}}) {
        SCOPED_TRACE(std::to_string(framesPerSecond) + " frames a second");
        // The two ticks the loop has run last, as the player keeps them.
        glm::vec3 previousTick = player.drawnPosition(0.0f);
        glm::vec3 lastTick = player.drawnPosition(1.0f);
        glm::vec3 lastDrawn(std::numeric_limits<float>::quiet_NaN());
        for (int frame = 0; frame < frames; ++frame) {
            harness.frameAfter(1.0 / framesPerSecond);
            if (positionOf(player) != lastTick)
                previousTick = std::exchange(lastTick, positionOf(player));
            const float alpha = scene.drawAlpha();
            const double expected = std::fmod((frame + 1) * 30.0 / framesPerSecond, 1.0);
            EXPECT_NEAR(alpha, expected < 1.0 - 1e-6 ? expected : 0.0, 1e-4) << "frame " << frame;
            const glm::vec3 drawn = player.drawnPosition(alpha);
            EXPECT_LT(glm::distance(drawn, glm::mix(previousTick, lastTick, alpha)), 1e-4f) << "frame " << frame;
            EXPECT_TRUE(alpha != 0.0f || drawn == previousTick) << "frame " << frame << ": a tick exactly";
            EXPECT_TRUE(framesPerSecond == 30 || drawn != std::exchange(lastDrawn, drawn)) << "frame " << frame;
            // A strip of eight consecutive frames at 60 a second, to look at; no two alike,
            // as the window shows them.
            if (framesPerSecond == 60 && frame >= 8) {
                Picture shown = grab("smooth_60fps_" + std::to_string(frame - 8));
                EXPECT_TRUE(frame == 8 || movedPixels(shown, strip) > pictureSize * pictureSize / 8) // a quarter of the half
                    << "frame " << frame << " shows the world where the one before did";
                strip = std::move(shown);
            }
        }
    }
    harness.input.releaseAll();
    harness.resizeWindow(static_cast<int>(width));
}

} // namespace
} // namespace fennik::test
