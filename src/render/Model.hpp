#pragma once

#include "render/ImportedModel.hpp"
#include "render/Mesh.hpp"

#include <string>
#include <vector>

namespace fennik::render {

// One model file (the levels use Wavefront OBJ from the data folder's "models/") turned into
// named meshes, in import order: read by ImportedModel, then uploaded. Fully built
// when the constructor returns. A file that cannot be imported gives an empty model:
// every lookup in it fails, and the game goes on without the missing pieces.
//
// Entities keep pointers into `meshes`; the vector is never resized after loading,
// and moving a Model keeps the meshes where they are.
class Model {
public:
    explicit Model(const std::string& path);

    Model(Model&&) noexcept = default;
    Model& operator=(Model&&) noexcept = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // The first mesh whose name equals `name` exactly, or null (logged for a model
    // that imported: the levels only ask for meshes they need).
    Mesh* findMesh(std::string name);

    // Every texture this model uses. They come from the shared cache (GpuResources):
    // models that name the same file share one texture, which the cache releases.
    std::vector<Texture> texturesLoaded;
    std::vector<Mesh> meshes;
    // The model path up to its last "/"; the whole path when it has none.
    std::string directory;
    std::string path;
    // False when the file could not be imported (logged once, then left at that).
    bool imported = false;

private:
    // The texture `file` names, from the model's own list when an earlier mesh named
    // the same file (the type stays the one it was first named with).
    Texture texture(const ImportedModel::TextureFile& file);
};

} // namespace fennik::render
