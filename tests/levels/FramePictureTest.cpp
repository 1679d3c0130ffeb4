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
#include "render/DrawChecks.hpp"
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
#include <map>
#include <memory>
#include <iterator>
#include <set>
#include <string>
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

// How far a frame may stray from the stored reference (drawn on llvmpipe) on each
// OpenGL implementation, as shares of the pixels. Measured at 320 x 320 on every
// stored picture (README, "OpenGL implementations"): the largest share seen, with a
// margin, so that a pass drawn wrong anywhere on screen fails.
struct PictureTolerance {
    const char* renderer; // the start of GL_RENDERER
    double overTwo, overEight, overSixteen, meanOff;
};
constexpr PictureTolerance tolerances[] = {
    // The references' own: none off by more than 16/255, any off by up to 2/255.
    {"llvmpipe", 0.001, 0.001, 0.0, 2.0},
    // The 2D overlay is drawn straight into the multisampled window, whose sample
    // positions the implementation chooses: edges of the gauge, text and buttons come
    // out up to 190/255 apart (0.4 to 0.8 % of the pixels). Nothing else differs.
    {"zink", 0.012, 0.012, 0.011, 1.0},
    // A per-pixel level of detail and float texture filtering (llvmpipe works per
    // 2 x 2 quad in 8 bits) move every textured pixel by a few 255ths (40 to 50 % of
    // them, 70 % where low's scale-up spreads them); by more than 8/255 at most 2.3 % (the half-size bloom of medium), by more
    // than 16/255 at most 0.8 %, the overlay's edges and captions.
    {"softpipe", 0.75, 0.03, 0.01, 3.5},
};

const PictureTolerance& toleranceHere()
{
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    // The driver cases name the implementation they mean to run on.
    if (const char* expected = std::getenv("FENNIK_EXPECTED_RENDERER")) {
        EXPECT_TRUE(renderer.starts_with(expected)) << renderer;
    }
    for (const PictureTolerance& tolerance : tolerances)
        if (renderer.starts_with(tolerance.renderer))
            return tolerance;
    // A real card: the loosest measured bound, as for softpipe.
    return tolerances[std::size(tolerances) - 1];
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

    // How many pixels are off by more than 2, 8 and 16 out of 255 in a channel, and by
    // how much on average. The differences are kept as a picture: red where a pixel is
    // off, the frame dimmed elsewhere.
    int overTwo = 0, overEight = 0, overSixteen = 0;
    double total = 0.0;
    std::vector<std::uint8_t> marked(shown.rgba.size());
    for (std::size_t i = 0; i < shown.rgba.size(); i += 4) {
        int off = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            off = std::max(off, std::abs(int(shown.rgba[i + c]) - int(stored.get()[i + c])));
            marked[i + c] = static_cast<std::uint8_t>(shown.rgba[i + c] / 4);
        }
        overTwo += off > 2;
        overEight += off > 8;
        overSixteen += off > 16;
        total += off;
        if (off > 2)
            marked[i] = static_cast<std::uint8_t>(std::min(255, 128 + 8 * off));
        marked[i + 3] = 255;
    }
    if (overTwo > 0)
        saveScreenshot("frame_" + name + "_differences.png", shown.width, shown.height, marked);
    const PictureTolerance& tolerance = toleranceHere();
    const double pixels = width * height;
    EXPECT_LE(overTwo / pixels, tolerance.overTwo) << name << " on " << tolerance.renderer << ": share off by more than 2/255";
    EXPECT_LE(overEight / pixels, tolerance.overEight) << name << " on " << tolerance.renderer << ": share off by more than 8/255";
    EXPECT_LE(overSixteen / pixels, tolerance.overSixteen) << name << " on " << tolerance.renderer << ": share off by more than 16/255";
    EXPECT_LE(total / pixels, tolerance.meanOff) << name << " on " << tolerance.renderer << ": mean difference";
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

// How many GL objects of each kind are alive: a target made again takes a new name.
std::map<int, long> liveCounts()
{
    std::map<int, long> counts;
    for (const auto& [kind, name] : liveObjects())
        ++counts[kind];
    return counts;
}

void usePreset(GameHarness& harness, core::GraphicsPreset preset)
{
    core::applyPreset(harness.game->settings->graphics, preset);
    render::gpu().configure(harness.game->settings->graphics);
}

TEST(FramePictures, EveryLevelDrawsTheKnownPictureOfEachPresetAndSwitchesResizesAndPresetsMakeNoGLObjects)
{
    auto& harness = sharedGame();
    const unsigned width = harness.game->settings->windowWidth;
    harness.resizeWindow(pictureSize);
    const render::DrawChecks draws;
    Picture picture;
    // High is the game's picture as it always was; the others keep their own.
    for (const auto& [preset, suffix] : {std::pair{core::GraphicsPreset::High, ""},
                                         std::pair{core::GraphicsPreset::Medium, "_medium"},
                                         std::pair{core::GraphicsPreset::Low, "_low"}}) {
        usePreset(harness, preset);
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
        compareWithStored(picture, std::string("StartMenu") + suffix);
        for (const char* name : {"TestLevel", "TutorialLevel", "LevelOne", "LevelTwo", "LevelBoss"}) {
            restingFrame<levels::PlayableLevel>(harness, name, picture);
            compareWithStored(picture, name + std::string(suffix));
        }
    }
    usePreset(harness, core::GraphicsPreset::High);

    // Every level has drawn: from here on a switch, a resize or a frame makes nothing.
    const auto before = liveObjects();
    harness.resizeWindow(static_cast<int>(width));
    for (const char* name : {"StartMenu", "LevelOne", "TestLevel"}) {
        harness.setLevel(name);
        simulate(harness);
        drawFrame(harness, "frame_again");
    }
    EXPECT_EQ(liveObjects(), before);
    EXPECT_GT(draws.drawsChecked(), 100);
    for (const std::string& fault : draws.faults())
        ADD_FAILURE() << fault;
    // One program per pair of shader files, all in the shared owner; beside it only the
    // main window's splash program (the splash window is gone with the loading), the
    // debug lines' and the 2D shapes' and text's.
    EXPECT_EQ(std::count_if(before.begin(), before.end(), [](const auto& object) { return object.first == 5; }),
              static_cast<long>(render::gpu().programCount()) + 4);

    // Presets release what they no longer draw with: back on high, as many of each kind.
    const auto counts = liveCounts();
    std::map<core::GraphicsPreset, long> framebuffers;
    for (core::GraphicsPreset preset : {core::GraphicsPreset::Low, core::GraphicsPreset::Medium,
                                        core::GraphicsPreset::Low, core::GraphicsPreset::High}) {
        usePreset(harness, preset);
        drawFrame(harness, "frame_preset");
        framebuffers[preset] = liveCounts()[2];
    }
    EXPECT_EQ(liveCounts(), counts);
    EXPECT_LT(framebuffers[core::GraphicsPreset::Low], framebuffers[core::GraphicsPreset::Medium])
        << "low keeps one target to scale up from, medium two for the half-size glow";
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
