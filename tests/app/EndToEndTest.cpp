// Runs the game itself on the (virtual) display, reads its log and its windows,
// and stops it the way a terminal or a service manager would.

#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;

// The game as a child process whose standard output is read through a pipe.
class GameProcess {
public:
    explicit GameProcess(std::vector<std::pair<std::string, std::string>> environment = {})
    {
        int output[2];
        if (pipe(output) != 0)
            throw std::runtime_error("pipe");
        pid = fork();
        if (pid == 0) {
            dup2(output[1], STDOUT_FILENO);
            close(output[0]);
            close(output[1]);
            const int nothing = open("/dev/null", O_RDONLY);
            dup2(nothing, STDIN_FILENO);
            for (const auto& [name, value] : environment) {
                if (value.empty())
                    unsetenv(name.c_str());
                else
                    setenv(name.c_str(), value.c_str(), 1);
            }
            execl(FENNIK_EXECUTABLE, FENNIK_EXECUTABLE, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(output[1]);
        readEnd = output[0];
    }

    ~GameProcess()
    {
        if (pid > 0 && !exited) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(readEnd);
    }

    // Reads output until `line` has appeared as a whole line or the time is up.
    bool waitForLine(const std::string& line, std::chrono::seconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            if (hasLine(line))
                return true;
            if (!readSome(deadline))
                break;
        }
        return hasLine(line);
    }

    // Waits for the process to end, reading the rest of its output; -1 on timeout.
    int waitForExit(std::chrono::seconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (readSome(deadline)) {
        }
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    void signal(int number) { kill(pid, number); }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
            result.push_back(output.substr(start, end - start));
        return result;
    }

    pid_t pid = -1;

private:
    bool hasLine(const std::string& line) const
    {
        for (const auto& seen : lines())
            if (seen == line)
                return true;
        return false;
    }

    // False at end of output or when the deadline passed.
    bool readSome(Clock::time_point deadline)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd ready{readEnd, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left)) <= 0)
            return false;
        char buffer[4096];
        const ssize_t got = read(readEnd, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        output.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    int readEnd = -1;
    bool exited = false;
    std::string output;
};

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

const std::vector<std::string> startUpLines = {
    "[INFO]: Starting Fennik's Zavororor...",
    "[INFO]: Reading settings.ini...",
    "[INFO]: Fennik - Settings: ",
    "[INFO]: gWindowWidth: 800",
    "[INFO]: gWindowHeight: 800",
    "[INFO]: gRefreshRate: 60",
    "[INFO]: gFullscreen: 0",
    "[INFO]: gFOV: 45.000000",
    "[INFO]: gNearZ: 0.100000",
    "[INFO]: gFarZ: 100.000000",
    "[INFO]: gSlopeThreshold: 0.400000",
    "[INFO]: gGravity: 9.810000",
    "[INFO]: gGamma: 2.200000",
    "[INFO]: gUseAces: 1",
    "[INFO]: gExposure: 1.000000",
    "[INFO]: ----------------------------------------------",
    "[INFO]: Default 'stub' level initialized!",
    "[INFO]: Initializing game...",
};

} // namespace

TEST(EndToEnd, StartsWithTheExactLogShowsTheMainWindowAndStopsCleanlyOnSigterm)
{
    GameProcess game;
    ASSERT_TRUE(game.waitForLine("[INFO]: Set level: StartMenu active!", std::chrono::seconds(300)));
    ASSERT_TRUE(waitForWindow(800, 800, std::chrono::seconds(60))) << "the main window never showed";

    game.signal(SIGTERM);
    EXPECT_EQ(game.waitForExit(std::chrono::seconds(60)), 0);

    const auto lines = game.lines();
    ASSERT_GE(lines.size(), startUpLines.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + startUpLines.size()), startUpLines);
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
