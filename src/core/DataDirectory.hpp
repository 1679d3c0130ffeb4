#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where the game's data (models, textures, sounds, shaders, settings.ini, the demo)
// lives. Every file the game reads is named through `dataPath`; the folder is found
// once at start and never written.
namespace fennik::core {

// The file that makes a folder the game's data: the build writes it with the game's
// version, so a folder of other files, or of another version, is passed over.
inline constexpr const char* dataMarkerName = "fennik.data";

// Where to look, in this order. An override (FENNIK_DATA_DIR) that is set is the only
// place looked at: a player who names a folder means that one.
struct DataPlaces {
    std::string override;         // empty when unset
    std::string executable;       // the running program's path; its ../share/fennik
    std::string installed;        // fixed at build time from the install prefix
    std::string workingDirectory; // the source tree's folder below the working directory
};

struct DataSearch {
    std::string directory;           // empty when none holds the marker
    std::vector<std::string> tried; // each place with why it did not count
};

DataSearch findDataDirectory(const DataPlaces& places, std::string_view version);

// The places for this process: the environment, /proc/self/exe, the build's prefix, "assets".
DataPlaces processDataPlaces();

// Finds the data for this process and uses it, logging one line naming the folder.
// Empty on success; otherwise one sentence listing every place tried.
std::string useProcessDataDirectory();

// The folder in use; "assets" until one is found, which is what tests run from the
// repository root read.
const std::string& dataDirectory();
void setDataDirectory(std::string directory);

// `relative` (forward slashes) inside the data folder.
std::string dataPath(std::string_view relative);

// The font: the data folder's own copy when it has one (the source tree, where the
// set-up places it), else the one the system's fonts-open-sans package installs.
std::string fontPath();

} // namespace fennik::core
