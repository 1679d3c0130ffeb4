#include "render/Model.hpp"

#include "core/Log.hpp"
#include "render/GpuResources.hpp"
#include "render/ImportedModel.hpp"

namespace fennik::render {

Model::Model(const std::string& path) : path(path)
{
    ImportedModel file = ImportedModel::read(path);
    imported = file.imported;
    directory = std::move(file.directory);
    for (ImportedModel::Piece& piece : file.meshes) {
        std::vector<Texture> textures;
        for (const ImportedModel::TextureFile& file : piece.textureFiles)
            textures.push_back(texture(file));
        meshes.emplace_back(std::move(piece.name), piece.material, std::move(textures), std::move(piece.indices),
                            std::move(piece.vertices));
    }
}

Texture Model::texture(const ImportedModel::TextureFile& file)
{
    for (const Texture& loaded : texturesLoaded) {
        if (loaded.path == file.path)
            return loaded;
    }
    Texture texture{gpu().materialTexture(file.path, directory), file.type, file.path};
    texturesLoaded.push_back(texture);
    return texture;
}

Mesh* Model::findMesh(std::string name)
{
    for (Mesh& mesh : meshes) {
        if (mesh.name == name)
            return &mesh;
    }
    // A model that did not import has said so already.
    if (imported)
        log::error("Model ", path, " has no mesh named ", name);
    return nullptr;
}

} // namespace fennik::render
