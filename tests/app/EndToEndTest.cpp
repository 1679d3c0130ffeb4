// The game's own process: its exact start-up log, the clean stop on a signal, the refusal
// without a display and one real X click on "Start Game". The levels are the playthrough's.

#include "core/GameSettings.hpp"
#include "core/Replay.hpp"
#include "support/TempDirectory.hpp"
#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A child process whose standard output is read through a pipe; killed if it still
// runs when the object goes. `environment` is set on top of ours; an empty value unsets.
class Process {
public:
    Process(std::vector<const char*> command, std::vector<std::pair<std::string, std::string>> environment = {})
    {
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        if ((pid = fork()) == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(open("/dev/null", O_RDWR), STDIN_FILENO);
            close(out[0]);
            for (const auto& [name, value] : environment)
                value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
            command.push_back(nullptr);
            execvp(command[0], const_cast<char* const*>(command.data()));
            _exit(127);
        }
        close(out[1]);
        readEnd = out[0];
    }
    ~Process()
    {
        if (!exited) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(readEnd);
    }

    // Reads output until a whole line starts with `start` (true), or the time is up or
    // the output ends (false).
    bool waitForLine(const std::string& start, std::chrono::seconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const std::size_t at = ("\n" + output).find("\n" + start); // where such a line begins
            if (at != std::string::npos && output.find('\n', at) != std::string::npos)
                return true;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                    .count();
            pollfd ready{readEnd, POLLIN, 0};
            char buffer[4096];
            ssize_t got = 0;
            if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0 ||
                (got = read(readEnd, buffer, sizeof buffer)) <= 0)
                return false;
            output.append(buffer, static_cast<std::size_t>(got));
        }
    }
    // The exit status once the output has ended; -1 when it did not end in time.
    int waitForExit(std::chrono::seconds timeout)
    {
        waitForLine("\x01 never", timeout);
        int status = 0;
        for (int wait = 0; wait < 100 && !exited; ++wait, std::this_thread::sleep_for(20ms))
            exited = waitpid(pid, &status, WNOHANG) == pid;
        return !exited ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    pid_t pid = -1;
    int readEnd = -1;
    bool exited = false;
    std::string output;
};

std::string run(const std::string& command)
{
    Process shell({"sh", "-c", command.c_str()});
    shell.waitForExit(30s);
    return shell.output;
}

} // namespace

TEST(EndToEnd, StartsWithTheExactLogAndStopsCleanlyOnSigtermAndSigint)
{
    std::string expected = "[INFO]: Starting Fennik's Zavororor...\n[INFO]: Game data from 'assets'\n"
                           "[INFO]: Reading settings.ini...\n";
    for (const std::string& line : fennik::test::defaultSettingsLog())
        expected += line + "\n";
    // Then the renderer, whose name is the machine's, and the preset it gets.
    const std::regex renderer("\\[INFO\\]: Renderer '.+': graphics preset (low, as it draws on the processor|"
                              "high, as it is a graphics card)\n");
    const std::string after = "[INFO]: Default 'stub' level initialized!\n[INFO]: Initializing game...\n";
    for (int signal : {SIGTERM, SIGINT}) {
        Process game({FENNIK_EXECUTABLE});
        ASSERT_TRUE(game.waitForLine("[INFO]: Set level: StartMenu active!", 300s));
        kill(game.pid, signal);
        EXPECT_EQ(game.waitForExit(60s), 0) << strsignal(signal);
        EXPECT_EQ(game.output.substr(0, expected.size()), expected);
        const std::size_t lineEnd = game.output.find('\n', expected.size()) + 1;
        EXPECT_TRUE(std::regex_match(game.output.substr(expected.size(), lineEnd - expected.size()), renderer))
            << game.output;
        EXPECT_EQ(game.output.substr(lineEnd, after.size()), after);
        EXPECT_TRUE(game.output.ends_with("\n[INFO]: Closing game...\n")) << strsignal(signal);
        EXPECT_EQ(game.output.find("[ERROR]"), std::string::npos) << game.output;
    }
}

TEST(EndToEnd, WithoutADisplayOrItsDataTheGameSaysWhyAndExitsWithStatusOne)
{
    Process game({FENNIK_EXECUTABLE}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(game.waitForExit(30s), 1);
    const std::size_t lastLine = game.output.rfind('\n', game.output.size() - 2) + 1;
    EXPECT_NE(game.output.find("\nERROR: glfwInit\n"), std::string::npos) << game.output;
    EXPECT_EQ(game.output.compare(lastLine, 9, "[ERROR]: "), 0) << game.output;

    const fennik::test::TempDirectory empty{"fennik_no_data"};
    Process lost({FENNIK_EXECUTABLE}, {{"FENNIK_DATA_DIR", empty.path().string()}});
    EXPECT_EQ(lost.waitForExit(30s), 1);
    EXPECT_EQ(lost.output, "[INFO]: Starting Fennik's Zavororor...\n[ERROR]: Start-up failed: no game data (a folder "
                           "with fennik.data 1.0) found; looked in: FENNIK_DATA_DIR '" +
                               empty.path().string() + "' (no fennik.data). Exiting.\n");
}

TEST(EndToEnd, ARealClickOnStartGameReachesTheTestLevel)
{
    // A display of its own: under ctest -j the click could land in another test's window.
    Process server({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x1024x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForLine("", 60s)) << "Xvfb did not start";
    const std::string display = ":" + server.output.substr(0, server.output.find('\n'));
    // A new player's data: no progress, so "Start Game" is the first button.
    const fennik::test::TempDirectory home("fennik_new_player");
    Process game({FENNIK_EXECUTABLE},
                 {{"DISPLAY", display}, {"WAYLAND_DISPLAY", ""}, {"XDG_DATA_HOME", home.path().string()}});
    ASSERT_TRUE(game.waitForLine("[INFO]: Set level: StartMenu active!", 300s));
    // The main window, 800 x 800: the splash window has the same name and may still
    // show for a moment after the start menu is set.
    const std::string xdotool = "DISPLAY=" + display + " xdotool ";
    std::string window;
    for (int wait = 0; wait < 300 && window.empty(); ++wait, std::this_thread::sleep_for(200ms))
        window = run("for w in $(" + xdotool + "search --onlyvisible --name \"Fennik's Zavororor\"); do " + xdotool +
                     "getwindowgeometry $w | grep -q 800x800 && echo $w; done | head -n 1");
    ASSERT_FALSE(window.empty()) << "the main window never showed";

    // "Start Game" is at (400, 370) in GL pixels, from the bottom left. The click is as
    // short as xdotool makes it, far shorter than a frame takes here: it must not be missed.
    window = window.substr(0, window.find('\n'));
    run(xdotool + "mousemove --window " + window + " 400 430 click 1");
    EXPECT_TRUE(game.waitForLine("[INFO]: Set level: TestLevel active!", 120s)) << "the click did not start the game";

    // A playable level writes its frame rate and particle count into the title once a second.
    const std::regex counters(R"(Fennik's Zavororor \| FPS: \d+ \| Particles: \d+\s*)");
    std::string title;
    for (int wait = 0; wait < 150 && !std::regex_match(title, counters); ++wait, std::this_thread::sleep_for(200ms))
        title = run(xdotool + "getwindowname " + window);
    EXPECT_TRUE(std::regex_match(title, counters)) << title;
    kill(game.pid, SIGTERM);
    EXPECT_EQ(game.waitForExit(60s), 0);
    EXPECT_EQ(game.output.find("[ERROR]"), std::string::npos) << game.output;

    // A run stopped by a signal (as by closing the window) is saved, and this game plays it.
    std::smatch saved;
    ASSERT_TRUE(std::regex_search(game.output, saved, std::regex(R"(Run recorded in (\S+) \()"))) << game.output;
    const auto settings = fennik::core::loadSettings(fennik::core::gameSettingsPath());
    const fennik::core::ReplayEntry run = fennik::core::readReplay(saved[1].str(), *settings);
    EXPECT_TRUE(run.replay) << run.problem;
}

// Every kind of file the game reads, broken one way at a time in a scratch copy of assets/
// and of a player's settings: one line names it and the game goes on (a shader: status 1).
TEST(EndToEnd, EveryKindOfBrokenFileIsNamedInOneLineAndTheGameGoesOn)
{
    namespace fs = std::filesystem;
    enum Breakage { missing, empty, half, randomBytes, huge }; // huge: 64 MB of random bytes
    // Kind, file below the game's working directory, breakages, exit status (0: on SIGTERM).
    const std::tuple<const char*, const char*, std::vector<Breakage>, int> table[] = {
        {"settings", "assets/settings.ini", {missing, huge}, 0},
        {"player's settings", "config/fennik/settings.ini", {randomBytes}, 0},
        {"player's progress", "data/fennik/progress.ini", {half}, 0},
        {"model", "assets/models/Fennik.obj", {missing, empty, huge}, 0},
        {"material", "assets/models/Fennik.mtl", {missing, half, randomBytes}, 0},
        {"texture", "assets/textures/button.png", {missing, half, randomBytes}, 0},
        {"sky box face", "assets/textures/skybox/top.jpg", {half, randomBytes}, 0},
        {"sound", "assets/music/empty.wav", {missing, half, randomBytes}, 0},
        {"font", "assets/fonts/OpenSans-SemiBold.ttf", {empty, randomBytes}, 0},
        {"shader", "assets/shader/pbrShader.frag", {missing, half, randomBytes}, 1},
    };
    std::mt19937_64 random(2026);
    for (const auto& [kind, file, breakages, exitStatus] : table)
        for (const Breakage breakage : breakages) {
            SCOPED_TRACE(std::string(kind) + " " + file + ", breakage " + std::to_string(breakage));
            const fennik::test::TempDirectory scratch{"fennik_bad_file"};
            for (const auto& entry : fs::recursive_directory_iterator("assets")) {
                fs::create_directories((scratch / entry.path().string()).parent_path());
                if (!entry.is_directory())
                    fs::create_symlink(fs::absolute(entry.path()), scratch / entry.path().string());
            }
            scratch.write("config/fennik/settings.ini", "[camera]\nfov = 50\n");
            scratch.write("data/fennik/progress.ini", "[best]\nTestLevel = 500\n[progress]\nfurthest = LevelOne\n"
                                                      "finished = false\n");
            std::ifstream original(scratch / file, std::ios::binary);
            std::string bytes{std::istreambuf_iterator<char>(original), {}};
            fs::remove(scratch / file);
            const std::size_t sizes[] = {0, 0, bytes.size() / 2, bytes.size(), std::size_t{64} << 20};
            bytes.resize(sizes[breakage]);
            for (std::size_t at = 0; breakage >= randomBytes && at < bytes.size(); ++at)
                bytes[at] = static_cast<char>(random() >> 56);
            if (breakage != missing)
                std::ofstream(scratch / file, std::ios::binary) << bytes;
            Process game({"sh", "-c", "cd \"$0\" && exec \"$1\"", scratch.path().c_str(), FENNIK_EXECUTABLE},
                         {{"XDG_CONFIG_HOME", (scratch / "config").string()},
                          {"XDG_DATA_HOME", (scratch / "data").string()}, {"ALSOFT_DRIVERS", "wave"},
                          {"ALSOFT_CONF", fs::absolute("tests/levels/fixtures/wave-output.conf").string()}});
            EXPECT_TRUE(exitStatus != 0 ||
                        (game.waitForLine("[INFO]: Set level: StartMenu active!", 300s) && !kill(game.pid, SIGTERM)));
            EXPECT_EQ(game.waitForExit(60s), exitStatus);
            const std::string log = "\n" + game.output; // one line names the file, besides [INFO]'s record of loads
            const std::regex naming(std::string("\n(?!\\[INFO\\])[^\n]*") + file);
            EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), naming), {}), 1) << game.output;
        }
}
