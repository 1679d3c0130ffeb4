#include "render/ImportedModel.hpp"

#include "core/Log.hpp"
#include "core/Random.hpp"

#include <assimp/DefaultIOSystem.h>
#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/Importer.hpp>
#include <assimp/MemoryIOWrapper.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>

namespace fennik::render {

namespace {

// What the game's models are made of: every statement its OBJ and MTL files and the
// test models use, and OBJ's groups and points besides.
constexpr std::array<std::string_view, 11> objStatements{"v", "vt", "vn", "f", "l", "p", "o", "g", "s", "usemtl",
                                                         "mtllib"};
constexpr std::array<std::string_view, 12> mtlStatements{"newmtl", "Ka",     "Kd",       "Ks",       "Ns",  "d",
                                                         "illum",  "map_Kd", "map_Ks", "map_Bump", "map_bump", "bump"};

bool endsWith(const std::string& text, std::string_view end)
{
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// Only the lines that start with one of `statements` and hold no NUL byte, each
// ended by a newline; with an `opening` statement, only from the first of those on.
// `dropped` counts the others that were more than a comment.
template <std::size_t count>
std::string keptLines(const std::string& text, const std::array<std::string_view, count>& statements,
                      std::string_view opening, std::size_t& dropped)
{
    bool opened = opening.empty();
    std::string kept;
    kept.reserve(text.size() + 1);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        const std::string_view word = line.substr(first, line.find_first_of(" \t\r", first) - first);
        opened = opened || word == opening;
        if (opened && line.find('\0') == std::string_view::npos &&
            std::find(statements.begin(), statements.end(), word) != statements.end()) {
            kept.append(line);
            kept.push_back('\n');
        } else {
            ++dropped;
        }
    }
    return kept;
}

// The files an OBJ import opens, as assimp reads them: the OBJ file and the
// material libraries it names (whatever their names) arrive with only the
// statements the game's models use, and a material library's only from its first
// material on. assimp 5.2's material parser writes through a null material for a
// texture named before any "newmtl", and crashes the same way on some statements it
// does not expect (a library of "\na\nrs2rs" is enough), so those never reach it;
// what the game draws is made of the statements kept.
//
// The first material library opened is noted in `library`; with `refuseLibraries`
// none is opened, and the importer gives every mesh the default look. How many lines
// each file lost goes into `leftOut`, for one line about it once the import is over.
class ObjTextFiles : public Assimp::DefaultIOSystem {
public:
    ObjTextFiles(std::string model, bool refuseLibraries, std::string& library,
                 std::map<std::string, std::size_t>& leftOut)
        : model(std::move(model)), refuseLibraries(refuseLibraries), library(library), leftOut(leftOut)
    {
    }

    Assimp::IOStream* Open(const char* file, const char* mode) override
    {
        const std::string name = file;
        if (name != model) {
            if (library.empty())
                library = name;
            if (refuseLibraries)
                return nullptr;
        }
        const bool obj = endsWith(name, ".obj");
        std::ifstream stream(name, std::ios::binary);
        if (!stream)
            return nullptr;
        const std::string text{std::istreambuf_iterator<char>(stream), {}};
        std::size_t dropped = 0;
        const std::string kept =
            obj ? keptLines(text, objStatements, "", dropped) : keptLines(text, mtlStatements, "newmtl", dropped);
        leftOut[name] = dropped;
        auto* bytes = new std::uint8_t[kept.size() + 1];
        std::memcpy(bytes, kept.data(), kept.size());
        return new Assimp::MemoryIOStream(bytes, kept.size(), true);
    }

private:
    std::string model;
    bool refuseLibraries;
    std::string& library;
    std::map<std::string, std::size_t>& leftOut;
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

// Exactly these steps: the vertex layout, the material look and the shapes all rest on
// triangles with smooth normals, flipped V and tangents. The OBJ reader makes a vertex
// for every corner of every face; joining the corners that agree in everything keeps
// the same triangles in the same order with a third to a sixth of the vertices.
constexpr unsigned int importSteps = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs |
                                     aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices;

// The material values of one mesh. Draws two values from the process-wide random
// source for every mesh, whatever its name, so the looks of a level depend only on
// the order in which meshes are imported.
Material readMaterial(const aiMaterial& material, const std::string& meshName)
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

void addTextureFiles(const aiMaterial& material, aiTextureType type, const char* typeName,
                     std::vector<ImportedModel::TextureFile>& into)
{
    for (unsigned int i = 0; i < material.GetTextureCount(type); ++i) {
        aiString file;
        material.GetTexture(type, i, &file);
        into.push_back({typeName, file.C_Str()});
    }
}

void readMesh(const aiMesh& mesh, const aiScene& scene, std::vector<ImportedModel::Piece>& into)
{
    const std::string name = mesh.mName.C_Str();
    log::info("Processing Mesh: ", name);

    // Nothing to draw and no bounding box to build a shape from.
    if (mesh.mNumVertices == 0) {
        log::warn("Mesh ", name, " has no vertices and is skipped");
        return;
    }

    ImportedModel::Piece piece;
    piece.name = name;
    piece.vertices.reserve(mesh.mNumVertices);
    const bool hasTexCoords = mesh.HasTextureCoords(0);
    const bool hasTangents = hasTexCoords && mesh.HasTangentsAndBitangents();
    for (unsigned int i = 0; i < mesh.mNumVertices; ++i) {
        Vertex vertex;
        const aiVector3D& position = mesh.mVertices[i];
        vertex.position = {position.x, position.y, position.z};
        if (mesh.HasNormals())
            vertex.normal = {mesh.mNormals[i].x, mesh.mNormals[i].y, mesh.mNormals[i].z};
        if (hasTexCoords) {
            vertex.texCoords = {mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y};
            if (hasTangents) {
                vertex.tangent = {mesh.mTangents[i].x, mesh.mTangents[i].y, mesh.mTangents[i].z};
                vertex.bitangent = {mesh.mBitangents[i].x, mesh.mBitangents[i].y, mesh.mBitangents[i].z};
            }
        }
        piece.vertices.push_back(vertex);
    }

    for (unsigned int f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        piece.indices.insert(piece.indices.end(), face.mIndices, face.mIndices + face.mNumIndices);
    }

    const aiMaterial& material = *scene.mMaterials[mesh.mMaterialIndex];
    piece.material = readMaterial(material, name);
    log::info(name, ": Processing Material: ", material.GetName().C_Str());

    // Normal maps live in the material's height (bump) slot.
    addTextureFiles(material, aiTextureType_DIFFUSE, "texture_diffuse", piece.textureFiles);
    addTextureFiles(material, aiTextureType_SPECULAR, "texture_specular", piece.textureFiles);
    addTextureFiles(material, aiTextureType_HEIGHT, "texture_normal", piece.textureFiles);

    into.push_back(std::move(piece));
}

void readNode(const aiNode& node, const aiScene& scene, std::vector<ImportedModel::Piece>& into)
{
    for (unsigned int i = 0; i < node.mNumMeshes; ++i)
        readMesh(*scene.mMeshes[node.mMeshes[i]], scene, into);
    for (unsigned int i = 0; i < node.mNumChildren; ++i)
        readNode(*node.mChildren[i], scene, into);
}

} // namespace

ImportedModel ImportedModel::read(const std::string& path)
{
    log::info("Loading model from path: ", path);

    ImportedModel model;
    Assimp::Importer importer;
    std::string library;
    std::map<std::string, std::size_t> leftOut;
    MaterialComplaints complaints;
    const bool obj = endsWith(path, ".obj");
    if (obj)
        importer.SetIOHandler(new ObjTextFiles(path, false, library, leftOut)); // the importer owns it
    const aiScene* scene = importer.ReadFile(path, importSteps);
    const std::string libraryFault = usable(scene) ? complaints.first : importer.GetErrorString();
    if (!usable(scene) && obj && !library.empty()) {
        // A material library the importer cannot parse fails the whole model; without
        // it the shapes still load, in the default look.
        importer.SetIOHandler(new ObjTextFiles(path, true, library, leftOut));
        scene = importer.ReadFile(path, importSteps);
    }
    if (!usable(scene)) {
        log::error("ERROR::ASSIMP:: ", printable(importer.GetErrorString()), " (", path, ")");
        return model;
    }
    model.imported = true;
    // One line for each file: a library that failed says so, and what it lost with it.
    if (!library.empty() && !libraryFault.empty()) {
        log::error("Material library ", library, " of ", path, " could not be read (", printable(libraryFault),
                   "); its meshes get the default look");
        leftOut.erase(library);
    }
    for (const auto& [file, lines] : leftOut)
        if (lines > 0)
            log::warn("Model file ", file, ": left out ", lines, " line(s) the game does not read");

    const auto slash = path.find_last_of('/');
    model.directory = slash == std::string::npos ? path : path.substr(0, slash);
    readNode(*scene->mRootNode, *scene, model.meshes);
    return model;
}

} // namespace fennik::render
