#include "core/GameSettings.hpp"

#include "support/LogCapture.hpp"
#include "support/TestSettings.hpp"
#include "support/TempDirectory.hpp"

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

const std::vector<std::string>& defaultBlock = fennik::test::defaultSettingsLog();

} // namespace

TEST_F(SettingsFile, MissingEmptyAndCommittedFilesAllGiveTheDefaultBlock)
{
    struct Case {
        std::string path;
        std::vector<std::string> before;
    };
    const std::string missing = "ERROR: Failed to load 'no/such/settings.ini'. Using default values instead.";
    const Case cases[] = {
        {"no/such/settings.ini", {missing}},
        {write(""), {}},
        {"assets/settings.ini", {}},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto settings = loadSettings(c.path);
        std::vector<std::string> expected = {"[INFO]: Reading settings.ini..."};
        expected.insert(expected.end(), c.before.begin(), c.before.end());
        expected.insert(expected.end(), defaultBlock.begin(), defaultBlock.end());
        EXPECT_EQ(log.lines(), expected) << c.path;
        EXPECT_EQ(settings->windowHeight, 800u) << c.path;
        EXPECT_FLOAT_EQ(settings->gravity, 9.81f) << c.path;
        EXPECT_TRUE(settings->useAces) << c.path;
    }
}

TEST_F(SettingsFile, ValuesAreReadWhateverTheCaseOfSectionsKeysAndBooleans)
{
    const std::string path = write("[Window]\nWIDTH = 1024\nHeight: 600\nFullScreen = ON\n"
                                   "[CAMERA]\nnear = 0.05\nfov=60\n"
                                   "[fennik]\nuseaces = no\nGamma = 1.8\n");
    LogCapture log;
    auto settings = loadSettings(path);

    EXPECT_EQ(settings->windowWidth, 1024u);
    EXPECT_EQ(settings->windowHeight, 600u);
    EXPECT_TRUE(settings->fullscreen);
    EXPECT_EQ(settings->nearZ, 0.05f);
    EXPECT_FLOAT_EQ(settings->fov, 60.0f);
    EXPECT_FALSE(settings->useAces);
    EXPECT_FLOAT_EQ(settings->gamma, 1.8f);
    EXPECT_TRUE(log.contains("[INFO]: gNearZ: 0.050000\n"));
    EXPECT_TRUE(log.contains("[INFO]: gFullscreen: 1\n"));
    EXPECT_TRUE(log.contains("[INFO]: gUseAces: 0\n"));
}

TEST_F(SettingsFile, BadTextFallsBackPerKeyAndKeepsTheGoodLines)
{
    const std::string path = write("this line is not ini\n[window]\nwidth = wide\nheight = 700\nfullscreen = maybe\n"
                                   "[camera\nfar = 250\n[unknown]\nwidth = 5\n[fennik]\ngravity = 20\nmystery = 1\n");
    LogCapture log;
    auto settings = loadSettings(path);

    EXPECT_FALSE(log.contains("ERROR: Failed to load"));
    EXPECT_EQ(settings->windowWidth, 800u);  // not a number
    EXPECT_EQ(settings->windowHeight, 700u); // good line after a malformed one
    EXPECT_FALSE(settings->fullscreen);      // "maybe" is no boolean
    EXPECT_FLOAT_EQ(settings->gravity, 20.0f);
    EXPECT_FALSE(log.contains("[WARN]"));
}

TEST_F(SettingsFile, ValuesTheGameCannotUseAreReplacedWithAWarningEach)
{
    const std::string path = write("[window]\nwidth = 0\nheight = -600\nrefresh_rate = -1\n"
                                   "[camera]\nfov = 180\nnear = 0\nfar = 50\n");
    LogCapture log;
    auto settings = loadSettings(path);

    EXPECT_EQ(settings->windowWidth, 800u);
    EXPECT_EQ(settings->windowHeight, 800u);
    EXPECT_EQ(settings->refreshRate, 60);
    EXPECT_FLOAT_EQ(settings->fov, 45.0f);
    EXPECT_FLOAT_EQ(settings->nearZ, 0.1f);
    EXPECT_FLOAT_EQ(settings->farZ, 50.0f);
    EXPECT_EQ(log.count("[WARN]: "), 5u);
    // The block shows the values the game will use.
    EXPECT_TRUE(log.contains("[INFO]: gWindowHeight: 800\n"));

    // A far plane not beyond the near one is replaced too; the near one stays.
    LogCapture again;
    settings = loadSettings(write("[camera]\nnear = 5\nfar = 2\n"));
    EXPECT_FLOAT_EQ(settings->nearZ, 5.0f);
    EXPECT_FLOAT_EQ(settings->farZ, 100.0f);
    EXPECT_EQ(again.count("[WARN]: "), 1u);
}
