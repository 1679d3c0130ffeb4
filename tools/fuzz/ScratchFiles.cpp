#include "ScratchFiles.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <signal.h>
#include <unistd.h>

namespace fennik::fuzz {

namespace {

constexpr const char* prefix = "fennik-fuzz-";

std::filesystem::path base()
{
    if (std::filesystem::is_directory("/dev/shm"))
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp ? tmp : "/tmp";
}

// A crash, or a fuzzer ending with _Exit, leaves its folder behind: the folders of
// processes that are gone are swept away when the next one starts.
void sweepAbandoned(const std::filesystem::path& parent)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(parent, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + std::char_traits<char>::length(prefix), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            std::filesystem::remove_all(entry.path(), error);
    }
}

void removeFolder();

// One folder per process, named after it; removed when the process ends normally.
const std::filesystem::path& folder()
{
    static const std::filesystem::path made = [] {
        const std::filesystem::path parent = base();
        sweepAbandoned(parent);
        const std::filesystem::path path = parent / (prefix + std::to_string(::getpid()));
        std::error_code error;
        std::filesystem::create_directories(path, error);
        if (error) {
            std::fprintf(stderr, "fennik fuzz: cannot make %s: %s\n", path.c_str(), error.message().c_str());
            std::abort();
        }
        return path;
    }();
    // Registered once the path is made, so that it runs before the path is destroyed.
    static const bool removedAtExit = std::atexit(removeFolder) == 0;
    (void)removedAtExit;
    return made;
}

void removeFolder()
{
    std::error_code error;
    std::filesystem::remove_all(folder(), error);
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
