#include "core/Files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace fennik::core {

std::string writeAtomically(const std::string& path, std::string_view bytes, const std::function<void()>& beforeRename)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    if (error)
        return error.message();
    const std::string temporary = path + ".tmp";
    const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0)
        return std::strerror(errno);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(file, bytes.data() + written, bytes.size() - written);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            break;
        written += static_cast<std::size_t>(step);
    }
    // On disk before the rename makes it the file: a crash then leaves the whole old
    // file or the whole new one.
    const bool complete = written == bytes.size() && ::fsync(file) == 0;
    const std::string reason = complete ? "" : std::strerror(errno);
    ::close(file);
    if (complete && beforeRename)
        beforeRename();
    if (!complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = complete ? std::strerror(errno) : reason;
        ::unlink(temporary.c_str());
        return why;
    }
    // The rename itself lives in the folder: without this a power cut can bring back
    // the old name. A folder that cannot be synced still holds the whole new file.
    const std::string folder = fs::path(path).parent_path().empty() ? "." : fs::path(path).parent_path().string();
    if (const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return {};
}

std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > limit)
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return std::nullopt;
    return bytes;
}

std::string playerFolder(const char* variable, const char* fallback)
{
    const char* root = std::getenv(variable);
    if (root && root[0] == '/')
        return std::string(root) + "/fennik";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return std::string(home) + "/" + fallback + "/fennik";
    return {};
}

} // namespace fennik::core
