#include "core/GameSettings.hpp"

#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using fennik::core::loadSettings;
using fennik::test::LogCapture;

namespace {

const fennik::test::TempDirectory files{"fennik_settings"};
std::string write(const std::string& text) { return files.write("settings.ini", text).string(); }

// The start-up log of a file the game fell back on entirely: reading line, `between`, defaults.
std::vector<std::string> fellBack(std::vector<std::string> between)
{
    between.insert(between.begin(), "[INFO]: Reading settings.ini...");
    between.insert(between.end(), fennik::test::defaultSettingsLog().begin(), fennik::test::defaultSettingsLog().end());
    return between;
}

} // namespace

TEST(Settings, MissingFileIsOneErrorAndInAFileAnyCaseIsReadAndMalformedLinesAreSkippedWithOneWarning)
{
    LogCapture missing;
    loadSettings("no/such/settings.ini");
    EXPECT_EQ(missing.lines(),
              fellBack({"ERROR: Failed to load 'no/such/settings.ini'. Using default values instead."}));

    LogCapture log;
    auto settings = loadSettings(write("[Window]\nwidth = wide\nHeight: 600\nthis line is not ini\n"
                                       "[camera\n[CAMERA]\nfov=60\n[fennik]\nuseaces = no\nmystery = 1\n"));
    EXPECT_EQ(settings->windowWidth, fennik::test::gameSettings().windowWidth); // not a number
    EXPECT_EQ(settings->windowHeight, 600u);
    EXPECT_FLOAT_EQ(settings->fov, 60.0f);
    EXPECT_FALSE(settings->useAces);
    EXPECT_EQ(log.count("ERROR") + log.count("[WARN]"), 1u);
    EXPECT_EQ(log.count("settings.ini', from line 4 on; the rest is read\n"), 1u) << log.text();
}

TEST(Settings, ValuesTheGameCannotUseAreReplacedWithAWarningEach)
{
    struct Case { const char* text; std::size_t warnings; };
    for (const Case& c : {Case{"[window]\nwidth = 0\nheight = -600\n", 2}, Case{"[window]\nwidth = 16385\n", 1},
                          Case{"[window]\nrefresh_rate = 0\n", 1}, Case{"[camera]\nfov = 180\nnear = 0\n", 2},
                          Case{"[camera]\nfov = 0\n", 1}, Case{"[window]\nmax_fps = -30\n", 1},
                          Case{"[window]\nmax_fps = 9\n", 1}, Case{"[window]\nmax_fps = 99999999999\n", 1},
                          Case{"[camera]\nnear = 500\nfar = 2\n", 1}, Case{"[window]\nui_scale = 0\n", 1},
                          Case{"[window]\nui_scale = 500\n", 1}, Case{"[window]\nui_scale = big\n", 1}}) {
        LogCapture log;
        loadSettings(write(c.text));
        const auto lines = log.lines();
        ASSERT_GT(lines.size(), c.warnings) << c.text;
        EXPECT_EQ(log.count("[WARN]: "), c.warnings) << c.text;
        EXPECT_EQ(lines, fellBack({lines.begin() + 1, lines.begin() + 1 + c.warnings})) << c.text;
    }
    LogCapture log;
    auto settings = loadSettings(write("[camera]\nnear = 5\nfar = 2\n")); // the pair is replaced
    EXPECT_FLOAT_EQ(settings->nearZ, fennik::test::gameSettings().nearZ);
    EXPECT_FLOAT_EQ(settings->farZ, fennik::test::gameSettings().farZ);
    EXPECT_EQ(log.count("[WARN]: "), 1u);
}

// The player's own file over the shipped one, key by key: what it lacks or cannot say
// stays as shipped, with a warning for each thing it cannot say.
TEST(Settings, ThePlayersFileOverridesKeyByKeyAndKeepsWhatItCannotSay)
{
    const std::string shipped = write("[window]\nwidth = 640\nvsync = false\n[camera]\nfov = 50\n");
    const std::string player = files.write("player/settings.ini",
                                           "[window]\nvsync = true\nmax_fps = 3\n[camera]\nfov = 70\n"
                                           "[sound]\nvolume = 250\nmusic = -5\neffects = 40\n"
                                           "[keys]\njump = UP\ninteract = F3\n"
                                           "pause = NOSUCHKEY\nforward = s\n").string();
    LogCapture log;
    const auto settings = loadSettings(shipped, player);
    EXPECT_EQ(settings->windowWidth, 640u) << "not in the player's file";
    EXPECT_TRUE(settings->vsync);
    EXPECT_FLOAT_EQ(settings->fov, 70.0f);
    EXPECT_EQ(settings->maxFps, 0) << "a cap below ten";
    EXPECT_FLOAT_EQ(settings->volume, 100.0f) << "clamped";
    EXPECT_FLOAT_EQ(settings->musicVolume, 0.0f) << "clamped";
    EXPECT_FLOAT_EQ(settings->effectsVolume, 40.0f);
    using fennik::core::Action;
    EXPECT_EQ(settings->keys[Action::Jump], GLFW_KEY_UP);
    EXPECT_EQ(settings->keys[Action::Interact], GLFW_KEY_R) << "a debug key is never an action's";
    EXPECT_EQ(settings->keys[Action::Pause], GLFW_KEY_ESCAPE);
    EXPECT_EQ(settings->keys[Action::Forward], GLFW_KEY_S) << "taken from back, which gets W";
    EXPECT_EQ(settings->keys[Action::Back], GLFW_KEY_W);
    EXPECT_EQ(log.count("[WARN]: "), 5u);
    EXPECT_EQ(log.count("Cannot bind 'NOSUCHKEY' to pause in settings, keeping ESCAPE"), 1u);
}

// Saved through a temporary file and a rename: what a crash between the two leaves
// behind is ignored and replaced; a folder that cannot be written warns once.
TEST(Settings, SavedChoicesComeBackAndAFailedOrInterruptedSaveLeavesTheOldFile)
{
    const std::string shipped = write("");
    const std::string player = (files / "saved/fennik/settings.ini").string();
    auto settings = loadSettings(shipped, player);
    settings->fullscreen = true;
    settings->vsync = false;
    settings->maxFps = 144;
    settings->fov = 90.0f;
    settings->invertDrag = true;
    settings->exposure = 1.5f;
    settings->volume = 35.0f;
    settings->uiScale = 150.0f;
    settings->musicVolume = 20.0f;
    settings->effectsVolume = 60.0f;
    settings->timer = fennik::core::RunTimer::Run;
    ASSERT_TRUE(settings->keys.bind(fennik::core::Action::Jump, GLFW_KEY_J));
    ASSERT_TRUE(fennik::core::saveSettings(*settings, player));
    files.write("saved/fennik/settings.ini.tmp", "[camera]\nfov = 31\n"); // a crash before the rename

    const auto again = loadSettings(shipped, player);
    EXPECT_TRUE(again->fullscreen && !again->vsync && again->invertDrag);
    EXPECT_EQ(again->maxFps, 144);
    EXPECT_FLOAT_EQ(again->fov, 90.0f);
    EXPECT_FLOAT_EQ(again->exposure, 1.5f);
    EXPECT_FLOAT_EQ(again->volume, 35.0f);
    EXPECT_FLOAT_EQ(again->uiScale, 150.0f);
    EXPECT_FLOAT_EQ(again->musicVolume, 20.0f);
    EXPECT_FLOAT_EQ(again->effectsVolume, 60.0f);
    EXPECT_EQ(again->timer, fennik::core::RunTimer::Run);
    EXPECT_EQ(again->keys.keys, settings->keys.keys);

    // A folder that cannot be made (a file has its name; root writes anywhere else).
    LogCapture log;
    const std::string unwritable = files.write("file", "").string() + "/settings.ini";
    EXPECT_FALSE(fennik::core::saveSettings(*settings, unwritable));
    EXPECT_FALSE(fennik::core::saveSettings(*settings, unwritable));
    EXPECT_EQ(log.count("[WARN]: Could not save your settings"), 1u);
    EXPECT_TRUE(fennik::core::saveSettings(*settings, player));
}

// A preset sets every switch; switches beside a named preset do not count, beside
// Custom they do. What cannot be used is replaced with one warning each.
TEST(Settings, GraphicsPresetsSetTheirSwitchesAndBadValuesFallBackWithAWarningEach)
{
    using namespace fennik::core;
    LogCapture log;
    auto settings = loadSettings(write("[graphics]\npreset = ultra\nrender_scale = 3\nshadow_size = 7\n"));
    EXPECT_FALSE(settings->graphics.preset) << "left to the renderer";
    EXPECT_TRUE(settings->graphics.sameSwitches(presetSwitches(GraphicsPreset::High)));
    EXPECT_EQ(log.count("[WARN]: "), 3u);
    EXPECT_EQ(log.count("Invalid graphics preset 'ultra' in settings (low, medium, high or custom)"), 1u);
    EXPECT_EQ(log.count("Invalid render_scale 3 in settings (0.5 to 1.0), using 1"), 1u);
    EXPECT_EQ(log.count("Invalid shadow_size 7 in settings (512, 1024, 2048 or 4096), using 2048"), 1u);

    settings = loadSettings(write("[graphics]\npreset = LOW\nshadow_size = 4096\nbloom = full\n"));
    EXPECT_TRUE(settings->graphics.preset == GraphicsPreset::Low && settings->graphics.chosen);
    EXPECT_TRUE(settings->graphics.sameSwitches(presetSwitches(GraphicsPreset::Low)));
    EXPECT_LT(settings->graphics.renderScale, 1.0f);

    settings = loadSettings(write("[graphics]\npreset = custom\nrender_scale = 0.6\nshadow_size = 512\nbloom = half\n"
                                  "depth_of_field = false\nantialiasing = 3\nparticles = 101\nsoft_shadows = no\n"
                                  "full_textures = false\n"));
    GraphicsSettings expected = presetSwitches(GraphicsPreset::High);
    expected.renderScale = 0.6f;
    expected.shadowSize = 512;
    expected.bloom = Bloom::Half;
    expected.depthOfField = expected.softShadows = expected.fullTextures = false;
    EXPECT_TRUE(settings->graphics.sameSwitches(expected)) << "antialiasing 3 and particles 101 refused";
    EXPECT_EQ(matchingPreset(settings->graphics), GraphicsPreset::Custom);
    EXPECT_EQ(matchingPreset(presetSwitches(GraphicsPreset::Medium)), GraphicsPreset::Medium);
}

// Without a chosen preset a renderer that draws on the processor starts on low; a
// choice in the player's file wins, and only a choice is saved.
TEST(Settings, TheRenderersNameChoosesThePresetUnlessThePlayerHasChosenOne)
{
    using fennik::core::GraphicsPreset;
    struct Case { const char* renderer; GraphicsPreset preset; };
    for (const Case& c : {Case{"llvmpipe (LLVM 15.0.6, 256 bits)", GraphicsPreset::Low},
                          Case{"softpipe", GraphicsPreset::Low},
                          Case{"zink Vulkan 1.3(llvmpipe (LLVM 15.0.6, 256 bits) (MESA_LLVMPIPE))", GraphicsPreset::Low},
                          Case{"Google SwiftShader", GraphicsPreset::Low},
                          Case{"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", GraphicsPreset::High},
                          Case{"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", GraphicsPreset::High}}) {
        const std::string player = (files / "unchosen/settings.ini").string();
        std::filesystem::remove(player);
        auto settings = loadSettings(write(""), player);
        LogCapture log;
        fennik::core::settleGraphicsPreset(*settings, c.renderer);
        EXPECT_EQ(settings->graphics.preset, c.preset) << c.renderer;
        EXPECT_TRUE(settings->graphics.sameSwitches(fennik::core::presetSwitches(c.preset))) << c.renderer;
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(log.count(std::string("Renderer '") + c.renderer + "': graphics preset " +
                            fennik::core::presetName(c.preset)), 1u) << log.text();
        // Saving other choices does not make the renderer's preset the player's.
        ASSERT_TRUE(fennik::core::saveSettings(*settings, player));
        EXPECT_FALSE(loadSettings(write(""), player)->graphics.preset) << c.renderer;
    }

    const std::string player = files.write("chosen/settings.ini", "[graphics]\npreset = high\n").string();
    auto settings = loadSettings(write(""), player);
    LogCapture log;
    fennik::core::settleGraphicsPreset(*settings, "llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_EQ(settings->graphics.preset, GraphicsPreset::High);
    EXPECT_EQ(log.count("graphics preset high, your choice"), 1u) << log.text();

    // A custom set of switches comes back as it was saved.
    settings->graphics.preset = GraphicsPreset::Custom;
    settings->graphics.renderScale = 0.85f;
    settings->graphics.bloom = fennik::core::Bloom::Half;
    settings->graphics.samples = 0;
    settings->graphics.particles = 25;
    settings->graphics.fullTextures = false;
    ASSERT_TRUE(fennik::core::saveSettings(*settings, player));
    const auto again = loadSettings(write(""), player);
    EXPECT_EQ(again->graphics.preset, GraphicsPreset::Custom);
    EXPECT_TRUE(again->graphics.sameSwitches(settings->graphics));
}
