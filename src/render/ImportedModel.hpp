#pragma once

#include "render/Mesh.hpp"

#include <string>
#include <vector>

namespace fennik::render {

// A model file read into memory, everything `Model` uploads: its meshes in import
// order with their vertices, indices, material values and the texture files their
// material names. Reading touches no GL, so it runs (and is fuzzed) without a
// context.
struct ImportedModel {
    struct TextureFile {
        std::string type; // the sampler's base name, as `Texture::type`
        std::string path; // exactly as the material stores it
    };

    struct Piece {
        std::string name;
        Material material;
        std::vector<TextureFile> textureFiles; // diffuse first, then specular, then normal
        std::vector<unsigned int> indices;
        std::vector<Vertex> vertices;
    };

    // The model path up to its last "/"; the whole path when it has none.
    std::string directory;
    std::vector<Piece> meshes;
    // False when the file could not be imported at all.
    bool imported = false;

    // Imports `path` with the game's fixed post-processing steps. A file that cannot
    // be imported logs one error naming it and gives no meshes. A material library that
    // cannot be read logs one error naming it, and the meshes get the default look; a mesh without
    // vertices is skipped with a warning. Takes two draws from the process-wide
    // random source for every mesh it keeps, in import order.
    static ImportedModel read(const std::string& path);
};

} // namespace fennik::render
