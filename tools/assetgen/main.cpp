// Writes the game's whole asset tree (models, textures, sky box, note cards, sounds, music,
// icons)
// from code, so every file can be rebuilt byte for byte: fixed seeds, fixed number
// formatting, no timestamps.
//
//   fennik_assetgen [output-directory] [font-file]
//
// The output directory defaults to "assets"; shaders, fonts and settings.ini in it are
// left alone.

#include <filesystem>
#include <iostream>
#include <string>

#include "Characters.hpp"
#include "Levels.hpp"
#include "Music.hpp"
#include "NoteCards.hpp"
#include "Pictures.hpp"
#include "Sky.hpp"
#include "Sounds.hpp"
#include "Surfaces.hpp"

int main(int argc, char** argv)
{
    using namespace fennik::assetgen;
    OutputPaths paths;
    paths.root = argc > 1 ? argv[1] : "assets";
    paths.fontFile = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf";

    std::error_code error;
    for (const std::string& directory : {paths.textures(), paths.models(), paths.music(), paths.skybox(), paths.icons()}) {
        std::filesystem::create_directories(directory, error);
        if (error) {
            std::cerr << "assetgen: cannot create " << directory << ": " << error.message() << "\n";
            return 1;
        }
    }
    if (!std::filesystem::exists(paths.fontFile)) {
        std::cerr << "assetgen: font not found: " << paths.fontFile << "\n";
        return 1;
    }

    bool ok = true;
    auto step = [&](const char* what, bool result) {
        std::cout << (result ? "wrote " : "FAILED ") << what << "\n";
        ok = ok && result;
    };
    step("title pictures, icon and buttons", writeTitlePictures(paths));
    step("sounds", writeSounds(paths.music()));
    step("music", writeMusic(paths.music()));
    step("characters and heart", writeCharacters(paths));
    step("surface textures", writeSurfaceTextures(paths));
    step("levels", writeLevels(paths));
    step("sky box", writeSkybox(paths));
    step("note cards", writeNoteCards(paths));
    return ok ? 0 : 1;
}
