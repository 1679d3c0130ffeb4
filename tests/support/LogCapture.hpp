#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace fennik::test {

// Redirects std::cout for its lifetime so a test can read the log lines.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() const { return captured.str(); }
    std::vector<std::string> lines() const;
    bool contains(const std::string& piece) const { return text().find(piece) != std::string::npos; }
    std::size_t count(const std::string& piece) const;

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

} // namespace fennik::test
