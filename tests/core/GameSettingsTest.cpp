#include "core/GameSettings.hpp"

#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"
#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

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

TEST(Settings, MissingFileIsOneErrorAndInAFileAnyCaseIsReadAndMalformedLinesAreSkippedQuietly)
{
    LogCapture missing;
    loadSettings("no/such/settings.ini");
    EXPECT_EQ(missing.lines(),
              fellBack({"ERROR: Failed to load 'no/such/settings.ini'. Using default values instead."}));

    LogCapture log;
    auto settings = loadSettings(write("this line is not ini\n[Window]\nwidth = wide\nHeight: 600\n"
                                       "[camera\n[CAMERA]\nfov=60\n[fennik]\nuseaces = no\nmystery = 1\n"));
    EXPECT_EQ(settings->windowWidth, fennik::test::gameSettings().windowWidth); // not a number
    EXPECT_EQ(settings->windowHeight, 600u);
    EXPECT_FLOAT_EQ(settings->fov, 60.0f);
    EXPECT_FALSE(settings->useAces);
    EXPECT_EQ(log.count("ERROR") + log.count("[WARN]"), 0u);
}

TEST(Settings, ValuesTheGameCannotUseAreReplacedWithAWarningEach)
{
    struct Case { const char* text; std::size_t warnings; };
    for (const Case& c : {Case{"[window]\nwidth = 0\nheight = -600\n", 2}, Case{"[window]\nwidth = 16385\n", 1},
                          Case{"[window]\nrefresh_rate = 0\n", 1}, Case{"[camera]\nfov = 180\nnear = 0\n", 2},
                          Case{"[camera]\nfov = 0\n", 1}, Case{"[window]\nmax_fps = -30\n", 1},
                          Case{"[window]\nmax_fps = 9\n", 1}, Case{"[window]\nmax_fps = 99999999999\n", 1},
                          Case{"[camera]\nnear = 500\nfar = 2\n", 2}}) { // far cannot pass near at its default
        LogCapture log;
        loadSettings(write(c.text));
        const auto lines = log.lines();
        ASSERT_GT(lines.size(), c.warnings) << c.text;
        EXPECT_EQ(log.count("[WARN]: "), c.warnings) << c.text;
        EXPECT_EQ(lines, fellBack({lines.begin() + 1, lines.begin() + 1 + c.warnings})) << c.text;
    }
    LogCapture log;
    auto settings = loadSettings(write("[camera]\nnear = 5\nfar = 2\n")); // far is replaced, near stays
    EXPECT_FLOAT_EQ(settings->nearZ, 5.0f);
    EXPECT_FLOAT_EQ(settings->farZ, fennik::test::gameSettings().farZ);
    EXPECT_EQ(log.count("[WARN]: "), 1u);
}
