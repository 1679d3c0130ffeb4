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

class SettingsFile : public ::testing::Test {
protected:
    std::string write(const std::string& text) { return files.write("settings.ini", text).string(); }
    fennik::test::TempDirectory files{"fennik_settings"};
};

// The start-up log of a file the game fell back on entirely: the reading line,
// `between`, then the block of default values.
std::vector<std::string> fellBack(const std::vector<std::string>& between)
{
    std::vector<std::string> lines = {"[INFO]: Reading settings.ini..."};
    lines.insert(lines.end(), between.begin(), between.end());
    const auto& block = fennik::test::defaultSettingsLog();
    lines.insert(lines.end(), block.begin(), block.end());
    return lines;
}

} // namespace

TEST_F(SettingsFile, MissingFileIsOneLineAndTheDefaults)
{
    LogCapture log;
    loadSettings("no/such/settings.ini");
    EXPECT_EQ(log.lines(), fellBack({"ERROR: Failed to load 'no/such/settings.ini'. Using default values instead."}));
}

TEST_F(SettingsFile, AnyCaseIsReadAndMalformedLinesAreSkippedQuietly)
{
    LogCapture log;
    auto settings = loadSettings(write("this line is not ini\n[Window]\nwidth = wide\nHeight: 600\nFullScreen = ON\n"
                                       "[camera\n[CAMERA]\nfov=60\n[fennik]\nuseaces = no\nmystery = 1\n"));
    EXPECT_EQ(settings->windowWidth, fennik::test::gameSettings().windowWidth); // not a number
    EXPECT_EQ(settings->windowHeight, 600u);
    EXPECT_TRUE(settings->fullscreen);
    EXPECT_FLOAT_EQ(settings->fov, 60.0f);
    EXPECT_FALSE(settings->useAces);
    EXPECT_FALSE(log.contains("ERROR"));
    EXPECT_FALSE(log.contains("[WARN]"));
}

TEST_F(SettingsFile, ValuesTheGameCannotUseAreReplacedWithAWarningEach)
{
    struct Case { const char* text; std::size_t warnings; };
    const Case cases[] = {
        {"[window]\nwidth = 0\nheight = -600\n", 2},
        {"[window]\nwidth = 16385\nrefresh_rate = 0\n", 2},
        {"[camera]\nfov = 180\nnear = 0\n", 2},
        {"[camera]\nfov = 0\n", 1},
        {"[camera]\nnear = 500\nfar = 2\n", 2}, // far cannot follow near beyond the default far
    };
    for (const Case& c : cases) {
        LogCapture log;
        loadSettings(write(c.text));
        const auto lines = log.lines();
        EXPECT_EQ(log.count("[WARN]: "), c.warnings) << c.text;
        if (lines.size() > c.warnings)
            EXPECT_EQ(lines, fellBack({lines.begin() + 1, lines.begin() + 1 + static_cast<long>(c.warnings)}))
                << c.text;
    }

    // A far plane not beyond the near one is replaced; the near one stays.
    LogCapture log;
    auto settings = loadSettings(write("[camera]\nnear = 5\nfar = 2\n"));
    EXPECT_FLOAT_EQ(settings->nearZ, 5.0f);
    EXPECT_FLOAT_EQ(settings->farZ, fennik::test::gameSettings().farZ);
    EXPECT_EQ(log.count("[WARN]: "), 1u);
}
