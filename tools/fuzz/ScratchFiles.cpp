#include "ScratchFiles.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fennik::fuzz {

namespace {

// Made on first use, removed when the process ends normally (a crash leaves it for
// the post-mortem).
const std::filesystem::path& folder()
{
    static const std::filesystem::path made = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : tmp ? tmp : "/tmp";
        std::string pattern = base + "/fennik-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("fennik fuzz: cannot make a scratch folder");
            std::abort();
        }
        std::atexit([] { std::filesystem::remove_all(folder()); });
        return std::filesystem::path(pattern);
    }();
    return made;
}

} // namespace

void clearScratch()
{
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
        std::filesystem::remove_all(entry.path());
}

std::string writeScratch(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path path = folder() / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

} // namespace fennik::fuzz
