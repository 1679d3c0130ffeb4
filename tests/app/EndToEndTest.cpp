// Runs the game itself on the (virtual) display, reads its log and its windows,
// and stops it the way a terminal or a service manager would.

#include "GameProcess.hpp"

#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;
using fennik::test::GameProcess;

struct MappedWindow {
    int width;
    int height;
};

// Every top-level window of the display that is mapped and viewable.
std::vector<MappedWindow> viewableWindows()
{
    std::vector<MappedWindow> found;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return found;
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
                found.push_back({attributes.width, attributes.height});
        }
        XFree(children);
    }
    XCloseDisplay(display);
    return found;
}

bool waitForWindow(int width, int height, std::chrono::seconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        for (const auto& window : viewableWindows())
            if (window.width == width && window.height == height)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// The exact first lines of every start: the greeting, the settings block, the stub
// level and the start of loading.
std::vector<std::string> startUpLines()
{
    std::vector<std::string> lines = {"[INFO]: Starting Fennik's Zavororor...", "[INFO]: Reading settings.ini..."};
    const auto& settings = fennik::test::defaultSettingsLog();
    lines.insert(lines.end(), settings.begin(), settings.end());
    lines.push_back("[INFO]: Default 'stub' level initialized!");
    lines.push_back("[INFO]: Initializing game...");
    return lines;
}

} // namespace

TEST(EndToEnd, StartsWithTheExactLogShowsTheMainWindowAndStopsCleanlyOnSigterm)
{
    GameProcess game;
    ASSERT_TRUE(game.waitForLine("[INFO]: Set level: StartMenu active!", std::chrono::seconds(300)));
    ASSERT_TRUE(waitForWindow(800, 800, std::chrono::seconds(60))) << "the main window never showed";

    game.signal(SIGTERM);
    EXPECT_EQ(game.waitForExit(std::chrono::seconds(60)), 0);

    const auto lines = game.lines();
    const auto expected = startUpLines();
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    EXPECT_EQ(lines.back(), "[INFO]: Closing game...");
    std::size_t levelSwitches = 0;
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind("[ERROR]", 0), std::string::npos) << line;
        levelSwitches += line.rfind("[INFO]: Set level: ", 0) == 0;
    }
    EXPECT_EQ(levelSwitches, 1u);
}

TEST(EndToEnd, SigintEndsTheGameTheSameWay)
{
    GameProcess game;
    ASSERT_TRUE(game.waitForLine("[INFO]: Set level: StartMenu active!", std::chrono::seconds(300)));
    ASSERT_TRUE(waitForWindow(800, 800, std::chrono::seconds(60)));
    game.signal(SIGINT);
    EXPECT_EQ(game.waitForExit(std::chrono::seconds(60)), 0);
    EXPECT_EQ(game.lines().back(), "[INFO]: Closing game...");
}

TEST(EndToEnd, WithoutADisplayTheGameSaysWhyAndExitsWithStatusOne)
{
    GameProcess game({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(game.waitForExit(std::chrono::seconds(30)), 1);
    const auto lines = game.lines();
    bool toldWhy = false;
    for (const auto& line : lines)
        toldWhy = toldWhy || line == "ERROR: glfwInit";
    EXPECT_TRUE(toldWhy);
    EXPECT_EQ(lines.back().rfind("[ERROR]: ", 0), 0u) << lines.back();
}
