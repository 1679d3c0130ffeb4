#include "support/LogCapture.hpp"

#include <iostream>

namespace fennik::test {

LogCapture::LogCapture() : previous(std::cout.rdbuf(captured.rdbuf())) {}

LogCapture::~LogCapture()
{
    std::cout.rdbuf(previous);
}

std::vector<std::string> LogCapture::lines() const
{
    std::vector<std::string> result;
    std::istringstream stream(captured.str());
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

std::size_t LogCapture::count(const std::string& piece) const
{
    const std::string all = captured.str();
    std::size_t found = 0;
    for (auto at = all.find(piece); at != std::string::npos; at = all.find(piece, at + piece.size()))
        ++found;
    return found;
}

} // namespace fennik::test
