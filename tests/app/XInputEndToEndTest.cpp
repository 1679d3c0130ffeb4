// Plays the game itself with real X input, as a person would: a click on "Start Game",
// then a held key, then a stop by SIGTERM. The input comes from xdotool through the
// X server's test extension, so it travels the same way as a mouse and a keyboard.

#include "GameProcess.hpp"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using fennik::test::GameProcess;

// A display of our own. The tests that run beside this one (ctest -j) put their game
// windows on the shared display, all 800 x 800 and all named alike, and a click or a
// key could land in one of theirs.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int number[2];
        if (pipe(number) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(number[0]);
            const int nothing = open("/dev/null", O_WRONLY);
            dup2(nothing, STDOUT_FILENO);
            dup2(nothing, STDERR_FILENO);
            // The server picks a free display and writes its number to the pipe.
            const std::string numberPipe = std::to_string(number[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", numberPipe.c_str(), "-screen", "0", "1024x1024x24", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(number[1]);
        std::string digits;
        const auto deadline = Clock::now() + 60s;
        while (digits.find('\n') == std::string::npos && Clock::now() < deadline) {
            pollfd ready{number[0], POLLIN, 0};
            if (poll(&ready, 1, 500) <= 0)
                continue;
            char buffer[16];
            const ssize_t got = read(number[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            digits.append(buffer, static_cast<std::size_t>(got));
        }
        close(number[0]);
        if (digits.find('\n') != std::string::npos)
            name = ":" + digits.substr(0, digits.find('\n'));
    }

    ~VirtualDisplay()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    std::string name; // empty when the server did not start
    pid_t pid = -1;
};

struct Command {
    int status;
    std::string output;
};

Command xdotool(const VirtualDisplay& display, const std::string& arguments)
{
    const std::string command = "DISPLAY=" + display.name + " xdotool " + arguments + " 2>/dev/null";
    Command result{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        result.output += buffer.data();
    result.status = pclose(pipe);
    return result;
}

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while ((start = text.find_first_not_of(" \n", start)) != std::string::npos) {
        const std::size_t end = text.find_first_of(" \n", start);
        result.push_back(text.substr(start, end - start));
        start = end;
    }
    return result;
}

// The game's main window: the splash window has the same name, but it is hidden once
// the levels have loaded and it is smaller.
std::string findMainWindow(const VirtualDisplay& display, std::chrono::seconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        for (const auto& id : words(xdotool(display, "search --onlyvisible --name \"Fennik's Zavororor\"").output))
            if (xdotool(display, "getwindowgeometry " + id).output.find("Geometry: 800x800") != std::string::npos)
                return id;
        std::this_thread::sleep_for(200ms);
    }
    return {};
}

// The live particle count from the title that the playable levels refresh once a
// second ("Fennik's Zavororor | FPS: 3 | Particles: 147"); -1 before the first refresh.
int particlesInTitle(const VirtualDisplay& display, const std::string& window)
{
    const std::string title = xdotool(display, "getwindowname " + window).output;
    const std::string label = "Particles: ";
    const std::size_t at = title.find(label);
    if (at == std::string::npos)
        return -1;
    return std::atoi(title.c_str() + at + label.size());
}

bool waitForParticles(const VirtualDisplay& display, const std::string& window, const std::function<bool(int)>& wanted,
                      std::chrono::seconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        const int particles = particlesInTitle(display, window);
        if (particles >= 0 && wanted(particles))
            return true;
        std::this_thread::sleep_for(200ms);
    }
    return false;
}

} // namespace

TEST(XInputEndToEnd, AClickOnStartGameAndAHeldKeyPlayTheTestLevelUntilSigterm)
{
    VirtualDisplay display;
    ASSERT_FALSE(display.name.empty()) << "Xvfb did not start";
    GameProcess game({{"DISPLAY", display.name}, {"WAYLAND_DISPLAY", ""}});
    ASSERT_TRUE(game.waitForLine("[INFO]: Set level: StartMenu active!", 300s));
    const std::string window = findMainWindow(display, 60s);
    ASSERT_FALSE(window.empty()) << "no 800 x 800 window named \"Fennik's Zavororor\" showed";

    // "Start Game" is at (400, 370) in GL pixels, from the bottom left. The click is as
    // short as xdotool makes it, press and release together, far shorter than a frame
    // takes here: the game must not miss it.
    ASSERT_EQ(xdotool(display, "mousemove --window " + window + " 400 430").status, 0);
    ASSERT_EQ(xdotool(display, "click 1").status, 0);
    ASSERT_TRUE(game.waitForLine("[INFO]: Set level: TestLevel active!", 120s))
        << "the click on \"Start Game\" did not start the game";

    // Walking raises dust: the title's particle count tells that the held key reached
    // the player. Standing still there is none.
    ASSERT_TRUE(waitForParticles(display, window, [](int particles) { return particles == 0; }, 60s));
    ASSERT_EQ(xdotool(display, "keydown w").status, 0);
    const bool walked = waitForParticles(display, window, [](int particles) { return particles > 0; }, 60s);
    xdotool(display, "keyup w");
    EXPECT_TRUE(walked) << "holding W raised no dust: the key never reached the player";

    game.signal(SIGTERM);
    EXPECT_EQ(game.waitForExit(60s), 0);
    const auto lines = game.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "[INFO]: Closing game...");
    std::size_t testLevelStarts = 0;
    for (const auto& line : lines) {
        EXPECT_EQ(line.rfind("[ERROR]", 0), std::string::npos) << line;
        testLevelStarts += line == "[INFO]: Set level: TestLevel active!";
    }
    EXPECT_EQ(testLevelStarts, 1u);
}
