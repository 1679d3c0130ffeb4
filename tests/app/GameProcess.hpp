#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace fennik::test {

// The game built with the tests (FENNIK_EXECUTABLE) as a child process whose standard
// output is read through a pipe. The child is killed if it still runs when the object
// goes.
class GameProcess {
public:
    // `environment` is set in the child on top of ours; an empty value unsets the name.
    explicit GameProcess(std::vector<std::pair<std::string, std::string>> environment = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Reads output until `line` has appeared as a whole line or the time is up.
    bool waitForLine(const std::string& line, std::chrono::seconds timeout);
    // Waits for the process to end, reading the rest of its output; -1 on timeout.
    int waitForExit(std::chrono::seconds timeout);
    void signal(int number);
    std::vector<std::string> lines() const;

    pid_t pid = -1;

private:
    bool hasLine(const std::string& line) const;
    // False at end of output or when the deadline passed.
    bool readSome(std::chrono::steady_clock::time_point deadline);

    int readEnd = -1;
    bool exited = false;
    std::string output;
};

} // namespace fennik::test
