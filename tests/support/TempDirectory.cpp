#include "support/TempDirectory.hpp"

#include <fstream>
#include <random>

#include <unistd.h>

namespace fennik::test {

TempDirectory::TempDirectory(const std::string& prefix)
{
    std::random_device seed;
    root = std::filesystem::temp_directory_path() /
           (prefix + "_" + std::to_string(::getpid()) + "_" + std::to_string(seed()));
    std::filesystem::create_directories(root);
}

TempDirectory::~TempDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::filesystem::path TempDirectory::write(const std::string& name, const std::string& text) const
{
    const auto file = root / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& directory)
    : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(directory);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    std::filesystem::current_path(previous);
}

} // namespace fennik::test
