#include "render/Model.hpp"

#include "core/Log.hpp"
#include "core/Random.hpp"
#include "render/GpuResources.hpp"
#include "render/Texture.hpp"

#include <assimp/DefaultIOSystem.h>
#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>

namespace fennik::render {

namespace {

// The files an import opens besides the model itself: an OBJ's material libraries.
// Told to refuse them, it opens none, and the importer gives every mesh the default look.
class ModelFiles : public Assimp::DefaultIOSystem {
public:
    ModelFiles(std::string model, bool refuseLibraries, std::string& library)
        : model(std::move(model)), refuseLibraries(refuseLibraries), library(library)
    {
    }
    Assimp::IOStream* Open(const char* file, const char* mode) override
    {
        if (file == model)
            return DefaultIOSystem::Open(file, mode);
        if (library.empty())
            library = file;
        return refuseLibraries ? nullptr : DefaultIOSystem::Open(file, mode);
    }

private:
    std::string model;
    bool refuseLibraries;
    std::string& library;
};

// The importer's first complaint about materials while one model is read. The
// importer only logs them and goes on with made-up materials.
class MaterialComplaints : public Assimp::LogStream {
public:
    MaterialComplaints()
    {
        Assimp::DefaultLogger::create(nullptr, Assimp::Logger::NORMAL, 0);
        Assimp::DefaultLogger::get()->attachStream(this, Assimp::Logger::Err);
    }
    ~MaterialComplaints() override
    {
        Assimp::DefaultLogger::get()->detachStream(this, Assimp::Logger::Err);
        Assimp::DefaultLogger::kill();
    }
    void write(const char* message) override
    {
        const std::string text = message;
        if (first.empty() && text.find("material") != std::string::npos)
            first = text.substr(text.find(": ") + 2);
    }
    std::string first;
};

// Importer messages may quote what they failed to parse, bytes and all; a log line
// stays one printable line.
std::string printable(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    std::replace_if(text.begin(), text.end(), [](char c) { return c < ' ' || c == 127; }, '?');
    return text;
}

bool usable(const aiScene* scene)
{
    return scene && !(scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) && scene->mRootNode;
}

// Exactly these four steps: the vertex layout, the material look and the shapes all
// rest on triangles with smooth normals, flipped V and tangents.
constexpr unsigned int importSteps =
    aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs | aiProcess_CalcTangentSpace;

} // namespace

Model::Model(const std::string& path) : path(path)
{
    loadModel(path);
}

void Model::loadModel(const std::string& path)
{
    log::info("Loading model from path: ", path);

    Assimp::Importer importer;
    std::string library;
    MaterialComplaints complaints;
    importer.SetIOHandler(new ModelFiles(path, false, library));
    const aiScene* scene = importer.ReadFile(path, importSteps);
    std::string libraryFault = usable(scene) ? complaints.first : importer.GetErrorString();
    if (!usable(scene) && !library.empty()) {
        // A material library the importer cannot parse fails the whole model; without
        // it the shapes still load, in the default look.
        importer.SetIOHandler(new ModelFiles(path, true, library));
        scene = importer.ReadFile(path, importSteps);
    }
    if (!usable(scene)) {
        log::error("ERROR::ASSIMP:: ", printable(importer.GetErrorString()), " (", path, ")");
        return;
    }
    imported = true;
    if (!library.empty() && !libraryFault.empty())
        log::error("Material library ", library, " of ", path, " could not be read (", printable(libraryFault),
                   "); its meshes get the default look");

    const auto slash = path.find_last_of('/');
    directory = slash == std::string::npos ? path : path.substr(0, slash);

    processNode(scene->mRootNode, scene);
}

void Model::processNode(const aiNode* node, const aiScene* scene)
{
    for (unsigned int i = 0; i < node->mNumMeshes; ++i)
        processMesh(scene->mMeshes[node->mMeshes[i]], scene);
    for (unsigned int i = 0; i < node->mNumChildren; ++i)
        processNode(node->mChildren[i], scene);
}

void Model::processMesh(const aiMesh* mesh, const aiScene* scene)
{
    const std::string name = mesh->mName.C_Str();
    log::info("Processing Mesh: ", name);

    // Nothing to draw and no bounding box to build a shape from.
    if (mesh->mNumVertices == 0) {
        log::warn("Mesh ", name, " has no vertices and is skipped");
        return;
    }

    std::vector<Vertex> vertices;
    vertices.reserve(mesh->mNumVertices);
    const bool hasTexCoords = mesh->HasTextureCoords(0);
    const bool hasTangents = hasTexCoords && mesh->HasTangentsAndBitangents();
    for (unsigned int i = 0; i < mesh->mNumVertices; ++i) {
        Vertex vertex;
        const aiVector3D& position = mesh->mVertices[i];
        vertex.position = {position.x, position.y, position.z};
        if (mesh->HasNormals())
            vertex.normal = {mesh->mNormals[i].x, mesh->mNormals[i].y, mesh->mNormals[i].z};
        if (hasTexCoords) {
            vertex.texCoords = {mesh->mTextureCoords[0][i].x, mesh->mTextureCoords[0][i].y};
            if (hasTangents) {
                vertex.tangent = {mesh->mTangents[i].x, mesh->mTangents[i].y, mesh->mTangents[i].z};
                vertex.bitangent = {mesh->mBitangents[i].x, mesh->mBitangents[i].y, mesh->mBitangents[i].z};
            }
        }
        vertices.push_back(vertex);
    }

    std::vector<unsigned int> indices;
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        indices.insert(indices.end(), face.mIndices, face.mIndices + face.mNumIndices);
    }

    const aiMaterial& material = *scene->mMaterials[mesh->mMaterialIndex];
    const Material look = readMaterial(material, name);
    log::info(name, ": Processing Material: ", material.GetName().C_Str());

    // Normal maps live in the material's height (bump) slot.
    std::vector<Texture> textures = loadMaterialTextures(material, aiTextureType_DIFFUSE, "texture_diffuse");
    std::vector<Texture> specular = loadMaterialTextures(material, aiTextureType_SPECULAR, "texture_specular");
    std::vector<Texture> normal = loadMaterialTextures(material, aiTextureType_HEIGHT, "texture_normal");
    textures.insert(textures.end(), specular.begin(), specular.end());
    textures.insert(textures.end(), normal.begin(), normal.end());

    meshes.emplace_back(name, look, std::move(textures), std::move(indices), std::move(vertices));
}

std::vector<Texture> Model::loadMaterialTextures(const aiMaterial& material, int importerType,
                                                 const std::string& typeName)
{
    const auto type = static_cast<aiTextureType>(importerType);
    std::vector<Texture> result;
    for (unsigned int i = 0; i < material.GetTextureCount(type); ++i) {
        aiString file;
        material.GetTexture(type, i, &file);
        const std::string fileName = file.C_Str();

        bool cached = false;
        for (const Texture& loaded : texturesLoaded) {
            if (loaded.path == fileName) {
                result.push_back(loaded);
                cached = true;
                break;
            }
        }
        if (cached)
            continue;

        Texture texture{gpu().materialTexture(fileName, directory), typeName, fileName};
        result.push_back(texture);
        texturesLoaded.push_back(texture);
    }
    return result;
}

Material Model::readMaterial(const aiMaterial& material, const std::string& meshName)
{
    Material result;
    const auto readColour = [&material](const char* key, glm::vec3& into) {
        aiColor4D colour;
        if (aiGetMaterialColor(&material, key, 0, 0, &colour) == AI_SUCCESS)
            into = {colour.r, colour.g, colour.b};
    };
    readColour("$clr.ambient", result.ambient);
    readColour("$clr.diffuse", result.diffuse);
    readColour("$clr.specular", result.specular);
    float shininess = 0.0f;
    if (aiGetMaterialFloat(&material, "$mat.shininess", 0, 0, &shininess) == AI_SUCCESS)
        result.shininess = shininess;

    // Both draws happen for every mesh, even when the name overrides them below:
    // skipping them would shift the looks of every mesh imported afterwards.
    auto& random = core::processRandom();
    result.metallic = static_cast<float>(random.next()) / static_cast<float>(core::RandomSource::maxValue);
    result.roughness = static_cast<float>(random.next()) / static_cast<float>(core::RandomSource::maxValue);

    const auto contains = [&meshName](const char* piece) { return meshName.find(piece) != std::string::npos; };
    if (contains("metallic")) {
        result.metallic = 1.0f;
        result.roughness = 0.1f;
    } else if (contains("rough")) {
        result.metallic = 0.0f;
        result.roughness = 0.1f;
    } else if (meshName == "Cube" || contains("note")) {
        // Markers and notes stand out in plain red.
        result.metallic = 1.0f;
        result.roughness = 0.2f;
        result.ambient = result.diffuse = result.specular = glm::vec3(1.0f, 0.0f, 0.0f);
        result.shininess = 1.0f;
    }
    return result;
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
