#include "GameProcess.hpp"

#include <csignal>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fennik::test {

using Clock = std::chrono::steady_clock;

GameProcess::GameProcess(std::vector<std::pair<std::string, std::string>> environment)
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

GameProcess::~GameProcess()
{
    if (pid > 0 && !exited) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(readEnd);
}

bool GameProcess::waitForLine(const std::string& line, std::chrono::seconds timeout)
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

int GameProcess::waitForExit(std::chrono::seconds timeout)
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

void GameProcess::signal(int number)
{
    kill(pid, number);
}

std::vector<std::string> GameProcess::lines() const
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(output.substr(start, end - start));
    return result;
}

bool GameProcess::hasLine(const std::string& line) const
{
    for (const auto& seen : lines())
        if (seen == line)
            return true;
    return false;
}

bool GameProcess::readSome(Clock::time_point deadline)
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

} // namespace fennik::test
