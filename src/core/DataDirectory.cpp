#include "core/DataDirectory.hpp"

#include "core/Log.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fennik::core {

namespace fs = std::filesystem;

namespace {

std::string currentDirectory = "assets";

// Why `directory` is not the game's data, or empty when it is.
std::string refusal(const std::string& directory, std::string_view version)
{
    std::error_code error;
    if (!fs::is_directory(directory, error))
        return "no such folder";
    std::ifstream marker(fs::path(directory) / dataMarkerName);
    std::string found;
    if (!marker || !std::getline(marker, found))
        return std::string("no ") + dataMarkerName;
    if (found != version)
        return "data of version " + found;
    return {};
}

} // namespace

DataSearch findDataDirectory(const DataPlaces& places, std::string_view version)
{
    std::vector<std::pair<std::string, std::string>> candidates; // what, folder
    if (!places.override.empty()) {
        candidates.emplace_back("FENNIK_DATA_DIR", places.override);
    } else {
        if (!places.executable.empty())
            candidates.emplace_back("beside the program",
                                    (fs::path(places.executable).parent_path() / "../share/fennik").lexically_normal());
        if (!places.installed.empty())
            candidates.emplace_back("install prefix", places.installed);
        candidates.emplace_back("working directory", places.workingDirectory);
    }
    DataSearch search;
    for (const auto& [what, directory] : candidates) {
        const std::string why = refusal(directory, version);
        if (why.empty()) {
            search.directory = directory;
            return search;
        }
        search.tried.push_back(what + " '" + directory + "' (" + why + ")");
    }
    return search;
}

DataPlaces processDataPlaces()
{
    DataPlaces places;
    if (const char* chosen = std::getenv("FENNIK_DATA_DIR"))
        places.override = chosen;
    std::error_code error;
    places.executable = fs::read_symlink("/proc/self/exe", error).string();
    places.installed = FENNIK_INSTALLED_DATA_DIR;
    places.workingDirectory = "assets";
    return places;
}

std::string useProcessDataDirectory()
{
    const DataSearch search = findDataDirectory(processDataPlaces(), FENNIK_VERSION);
    if (search.directory.empty()) {
        std::string sentence = std::string("no game data (a folder with ") + dataMarkerName + " " + FENNIK_VERSION +
                               ") found; looked in: ";
        for (std::size_t i = 0; i < search.tried.size(); ++i)
            sentence += (i ? ", " : "") + search.tried[i];
        return sentence;
    }
    setDataDirectory(search.directory);
    log::info("Game data from '", search.directory, "'");
    return {};
}

const std::string& dataDirectory()
{
    return currentDirectory;
}

void setDataDirectory(std::string directory)
{
    currentDirectory = std::move(directory);
}

std::string dataPath(std::string_view relative)
{
    return currentDirectory + "/" + std::string(relative);
}

std::string fontPath()
{
    const std::string own = dataPath("fonts/OpenSans-SemiBold.ttf");
    std::error_code error;
    return fs::exists(own, error) ? own : FENNIK_SYSTEM_FONT;
}

} // namespace fennik::core
