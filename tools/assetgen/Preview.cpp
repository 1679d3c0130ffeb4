// A small software rasteriser for looking at generated models without the game:
//
//   fennik_assetpreview <model.obj> <out.png> <eye x y z> <target x y z> [fov] [width] [height]
//
// Imports the model with the game's import steps, draws every mesh with its diffuse
// texture (or its colour), a sun from the game's light direction and a sky-coloured
// background. Meshes with "solid" in their name can be tinted with FENNIK_PREVIEW_SOLID=1
// to check what collides.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels; // RGB

    glm::vec3 sample(glm::vec2 uv) const
    {
        if (width == 0) {
            return glm::vec3(1.0f);
        }
        float u = uv.x - std::floor(uv.x);
        float v = uv.y - std::floor(uv.y);
        int x = std::clamp(static_cast<int>(u * width), 0, width - 1);
        int y = std::clamp(static_cast<int>(v * height), 0, height - 1);
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
        return glm::vec3(p[0], p[1], p[2]) / 255.0f;
    }
};

struct DrawMesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<unsigned> indices;
    const Image* texture = nullptr;
    glm::vec3 colour{0.8f};
    bool solid = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 9) {
        std::cerr << "usage: fennik_assetpreview model.obj out.png ex ey ez tx ty tz [fov] [w] [h]\n";
        return 1;
    }
    std::string modelPath = argv[1];
    std::string outPath = argv[2];
    glm::vec3 eye(std::atof(argv[3]), std::atof(argv[4]), std::atof(argv[5]));
    glm::vec3 target(std::atof(argv[6]), std::atof(argv[7]), std::atof(argv[8]));
    float fov = argc > 9 ? static_cast<float>(std::atof(argv[9])) : 45.0f;
    int width = argc > 10 ? std::atoi(argv[10]) : 800;
    int height = argc > 11 ? std::atoi(argv[11]) : 800;
    bool tintSolid = std::getenv("FENNIK_PREVIEW_SOLID") != nullptr;

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(modelPath, aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs
                                                            | aiProcess_CalcTangentSpace);
    if (!scene || !scene->mRootNode) {
        std::cerr << "import failed: " << importer.GetErrorString() << "\n";
        return 1;
    }
    std::string directory = modelPath.substr(0, modelPath.find_last_of('/'));
    std::map<std::string, Image> textures;
    std::vector<DrawMesh> meshes;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        DrawMesh draw;
        draw.solid = std::string(mesh->mName.C_Str()).find("solid") != std::string::npos;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            draw.positions.emplace_back(mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z);
            draw.normals.emplace_back(mesh->mNormals[v].x, mesh->mNormals[v].y, mesh->mNormals[v].z);
            draw.uvs.emplace_back(mesh->HasTextureCoords(0) ? glm::vec2(mesh->mTextureCoords[0][v].x, mesh->mTextureCoords[0][v].y) : glm::vec2(0.0f));
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            for (unsigned i = 0; i < mesh->mFaces[f].mNumIndices; ++i) {
                draw.indices.push_back(mesh->mFaces[f].mIndices[i]);
            }
        }
        const aiMaterial* material = scene->mMaterials[mesh->mMaterialIndex];
        aiColor3D kd(0.8f, 0.8f, 0.8f);
        material->Get(AI_MATKEY_COLOR_DIFFUSE, kd);
        draw.colour = glm::vec3(kd.r, kd.g, kd.b);
        if (glm::length(draw.colour) > 0.0f) {
            draw.colour = glm::normalize(draw.colour);
        }
        aiString file;
        if (material->GetTextureCount(aiTextureType_DIFFUSE) > 0 && material->GetTexture(aiTextureType_DIFFUSE, 0, &file) == AI_SUCCESS) {
            std::string path = directory + "/" + file.C_Str();
            if (!textures.count(path)) {
                Image image;
                int channels = 0;
                unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
                if (data) {
                    image.pixels.assign(data, data + static_cast<size_t>(image.width) * image.height * 3);
                    stbi_image_free(data);
                } else {
                    std::cerr << "texture missing: " << path << "\n";
                }
                textures[path] = image;
            }
            draw.texture = &textures[path];
        }
        meshes.push_back(std::move(draw));
    }

    glm::mat4 view = glm::lookAt(eye, target, glm::vec3(0, 1, 0));
    glm::mat4 projection = glm::perspective(glm::radians(fov), static_cast<float>(width) / height, 0.1f, 200.0f);
    glm::mat4 viewProjection = projection * view;
    std::vector<float> depth(static_cast<size_t>(width) * height, 1e30f);
    std::vector<glm::vec3> colour(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        glm::vec3 sky = glm::mix(glm::vec3(0.55f, 0.72f, 0.92f), glm::vec3(0.3f, 0.45f, 0.8f), static_cast<float>(height - y) / height);
        for (int x = 0; x < width; ++x) {
            colour[static_cast<size_t>(y) * width + x] = sky;
        }
    }
    const glm::vec3 toSun = glm::normalize(glm::vec3(1.0f, 1.0f, -1.0f));
    for (const DrawMesh& mesh : meshes) {
        for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            glm::vec4 clip[3];
            glm::vec3 screen[3];
            bool behind = false;
            for (int k = 0; k < 3; ++k) {
                clip[k] = viewProjection * glm::vec4(mesh.positions[mesh.indices[i + k]], 1.0f);
                if (clip[k].w < 0.1f) {
                    behind = true;
                }
                screen[k] = glm::vec3((clip[k].x / clip[k].w * 0.5f + 0.5f) * width, (0.5f - clip[k].y / clip[k].w * 0.5f) * height, clip[k].w);
            }
            if (behind) {
                continue;
            }
            // Back faces are culled as the game does (counter-clockwise is front; y is flipped here).
            float area = (screen[1].x - screen[0].x) * (screen[2].y - screen[0].y) - (screen[2].x - screen[0].x) * (screen[1].y - screen[0].y);
            if (area >= 0.0f) {
                continue;
            }
            int minX = std::max(0, static_cast<int>(std::floor(std::min({screen[0].x, screen[1].x, screen[2].x}))));
            int maxX = std::min(width - 1, static_cast<int>(std::ceil(std::max({screen[0].x, screen[1].x, screen[2].x}))));
            int minY = std::max(0, static_cast<int>(std::floor(std::min({screen[0].y, screen[1].y, screen[2].y}))));
            int maxY = std::min(height - 1, static_cast<int>(std::ceil(std::max({screen[0].y, screen[1].y, screen[2].y}))));
            for (int py = minY; py <= maxY; ++py) {
                for (int px = minX; px <= maxX; ++px) {
                    glm::vec2 p(px + 0.5f, py + 0.5f);
                    float w0 = ((screen[1].x - p.x) * (screen[2].y - p.y) - (screen[2].x - p.x) * (screen[1].y - p.y)) / area;
                    float w1 = ((screen[2].x - p.x) * (screen[0].y - p.y) - (screen[0].x - p.x) * (screen[2].y - p.y)) / area;
                    float w2 = 1.0f - w0 - w1;
                    if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f) {
                        continue;
                    }
                    // Perspective-correct weights.
                    glm::vec3 b(w0 / screen[0].z, w1 / screen[1].z, w2 / screen[2].z);
                    float sum = b.x + b.y + b.z;
                    b /= sum;
                    float z = 1.0f / sum;
                    size_t index = static_cast<size_t>(py) * width + px;
                    if (z >= depth[index]) {
                        continue;
                    }
                    depth[index] = z;
                    glm::vec3 n = glm::normalize(mesh.normals[mesh.indices[i]] * b.x + mesh.normals[mesh.indices[i + 1]] * b.y
                                                 + mesh.normals[mesh.indices[i + 2]] * b.z);
                    glm::vec2 uv = mesh.uvs[mesh.indices[i]] * b.x + mesh.uvs[mesh.indices[i + 1]] * b.y + mesh.uvs[mesh.indices[i + 2]] * b.z;
                    glm::vec3 base = mesh.texture ? mesh.texture->sample(uv) : mesh.colour;
                    if (tintSolid && mesh.solid) {
                        base = glm::mix(base, glm::vec3(0.2f, 0.9f, 0.3f), 0.35f);
                    }
                    float light = 0.45f + 0.75f * std::max(0.0f, glm::dot(n, toSun));
                    colour[index] = glm::min(base * light, glm::vec3(1.0f));
                }
            }
        }
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < colour.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            bytes[i * 3 + c] = static_cast<unsigned char>(std::lround(std::clamp(colour[i][c], 0.0f, 1.0f) * 255.0f));
        }
    }
    stbi_write_png(outPath.c_str(), width, height, 3, bytes.data(), width * 3);
    std::cout << "meshes: " << meshes.size() << "\n";
    return 0;
}
