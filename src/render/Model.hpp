#pragma once

#include "render/Mesh.hpp"

#include <string>
#include <vector>

struct aiMaterial;
struct aiMesh;
struct aiNode;
struct aiScene;

namespace fennik::render {

// One model file (the levels use Wavefront OBJ under "assets/models/") turned into
// named meshes, in import order. Fully built when the constructor returns. A file
// that cannot be imported gives an empty model: every lookup in it fails, and the
// game goes on without the missing pieces.
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

    // The material values of one mesh. Draws two values from the process-wide random
    // source for every mesh, whatever its name, so the looks of a level depend only
    // on the order in which meshes are imported.
    static Material readMaterial(const aiMaterial& material, const std::string& meshName);

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
    void loadModel(const std::string& path);
    void processNode(const aiNode* node, const aiScene* scene);
    void processMesh(const aiMesh* mesh, const aiScene* scene);
    // `importerType` is the importer's aiTextureType.
    std::vector<Texture> loadMaterialTextures(const aiMaterial& material, int importerType,
                                              const std::string& typeName);
};

} // namespace fennik::render
