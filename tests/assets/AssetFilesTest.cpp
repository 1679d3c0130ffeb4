// Every file the game loads exists and decodes as the game decodes it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "AssetTestSupport.hpp"

namespace fennik::test {
namespace {

const std::vector<std::string> models = {
    "Fennik", "beginning", "tutorial", "firstLevel", "secondLevel", "bossRoom",
    "dummy",  "dummy2",    "enemy",    "boss_enemy", "kobbin",      "Heart",
};

struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> pixels;
};

Picture decode(const std::string& path)
{
    Picture picture;
    stbi_set_flip_vertically_on_load(0);
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &picture.channels, 0);
    if (data) {
        picture.pixels.assign(data, data + static_cast<size_t>(picture.width) * picture.height * picture.channels);
        stbi_image_free(data);
    }
    return picture;
}

TEST(AssetFiles, ModelsImportWithoutErrorsAndFindTheirTextures)
{
    for (const std::string& name : models) {
        std::string path = "assets/models/" + name + ".obj";
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        ImportedModel model = importModel(path);
        ASSERT_NE(model.scene, nullptr) << path;
        EXPECT_TRUE(model.errors.empty()) << path << ": " << model.errors.front();
        for (unsigned m = 0; m < model.scene->mNumMaterials; ++m) {
            const aiMaterial* material = model.scene->mMaterials[m];
            // The game loads diffuse, specular and height (its normal map) textures.
            for (aiTextureType type : {aiTextureType_DIFFUSE, aiTextureType_SPECULAR, aiTextureType_HEIGHT}) {
                for (unsigned t = 0; t < material->GetTextureCount(type); ++t) {
                    aiString file;
                    material->GetTexture(type, t, &file);
                    // Looked up next to the model, as the game does first.
                    Picture texture = decode("assets/models/" + std::string(file.C_Str()));
                    EXPECT_GT(texture.width, 0) << path << " names " << file.C_Str();
                    EXPECT_TRUE(texture.channels == 1 || texture.channels == 3 || texture.channels == 4) << file.C_Str();
                    EXPECT_LE(texture.width, 1024) << file.C_Str();
                    EXPECT_LE(texture.height, 1024) << file.C_Str();
                }
            }
        }
    }
}

TEST(AssetFiles, NormalMapsSitInTheBumpSlotAndPointOutOfTheSurface)
{
    int normalMaps = 0;
    for (const std::string name : {"beginning", "tutorial", "firstLevel", "secondLevel", "bossRoom"}) {
        ImportedModel model = importModel("assets/models/" + std::string(name) + ".obj");
        ASSERT_NE(model.scene, nullptr);
        for (unsigned m = 0; m < model.scene->mNumMaterials; ++m) {
            const aiMaterial* material = model.scene->mMaterials[m];
            if (material->GetTextureCount(aiTextureType_HEIGHT) == 0) {
                continue;
            }
            ++normalMaps;
            aiString file;
            material->GetTexture(aiTextureType_HEIGHT, 0, &file);
            Picture map = decode("assets/models/" + std::string(file.C_Str()));
            ASSERT_EQ(map.channels, 3) << file.C_Str();
            // A tangent-space normal map is mostly blue (+Z); a colour map by mistake is not.
            double blue = 0.0;
            for (size_t i = 2; i < map.pixels.size(); i += 3) {
                blue += map.pixels[i];
            }
            EXPECT_GT(blue / (map.pixels.size() / 3) / 255.0, 0.85) << file.C_Str();
        }
    }
    EXPECT_GT(normalMaps, 5);
}

TEST(AssetFiles, TrianglesFaceTheWayTheirNormalsPoint)
{
    // Back faces are culled: a triangle wound against its normal would vanish.
    for (const std::string& name : models) {
        ImportedModel model = importModel("assets/models/" + name + ".obj");
        ASSERT_NE(model.scene, nullptr);
        int wrong = 0;
        int total = 0;
        for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
            const aiMesh& mesh = *model.scene->mMeshes[m];
            for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
                const aiFace& face = mesh.mFaces[f];
                auto p = [&](unsigned k) { return glm::vec3(mesh.mVertices[face.mIndices[k]].x, mesh.mVertices[face.mIndices[k]].y, mesh.mVertices[face.mIndices[k]].z); };
                auto n = [&](unsigned k) { return glm::vec3(mesh.mNormals[face.mIndices[k]].x, mesh.mNormals[face.mIndices[k]].y, mesh.mNormals[face.mIndices[k]].z); };
                glm::vec3 wound = glm::cross(p(1) - p(0), p(2) - p(0));
                if (glm::length(wound) < 1e-6f) {
                    continue;
                }
                ++total;
                if (glm::dot(wound, n(0) + n(1) + n(2)) <= 0.0f) {
                    ++wrong;
                }
            }
        }
        EXPECT_GT(total, 0) << name;
        EXPECT_EQ(wrong, 0) << name << ": " << wrong << " of " << total << " triangles wound backwards";
    }
}

TEST(AssetFiles, PicturesHaveTheFormatsTheirUsersExpect)
{
    Picture icon = decode("assets/models/icon.png");
    EXPECT_EQ(icon.channels, 4) << "the window icon is 8-bit RGBA";
    EXPECT_EQ(icon.width, 64);
    EXPECT_EQ(icon.height, 64);
    // Transparent corners, an opaque face.
    EXPECT_EQ(icon.pixels[3], 0);
    EXPECT_EQ(icon.pixels[(32 * 64 + 32) * 4 + 3], 255);

    for (const std::string name : {"splash", "background", "button", "button_hover", "beginning_texture", "tutorial1_texture",
                                    "tutorial2_texture", "tutorial3_texture", "level1_texture", "end_texture"}) {
        Picture picture = decode("assets/textures/" + std::string(name) + ".png");
        EXPECT_GE(picture.width, 256) << name;
        EXPECT_TRUE(picture.channels == 3 || picture.channels == 4) << name;
    }
    Picture splash = decode("assets/textures/splash.png");
    // Shown stretched over 640 x 350 and in the menu at 320 x 175: keep that shape.
    EXPECT_NEAR(static_cast<double>(splash.width) / splash.height, 640.0 / 350.0, 0.02);
}

TEST(AssetFiles, ButtonFacesDifferSoHoverIsVisible)
{
    Picture idle = decode("assets/textures/button.png");
    Picture hover = decode("assets/textures/button_hover.png");
    ASSERT_EQ(idle.pixels.size(), hover.pixels.size());
    ASSERT_EQ(idle.channels, 4);
    auto brightness = [](const Picture& p) {
        double sum = 0.0;
        for (size_t i = 0; i < p.pixels.size(); i += 4) {
            sum += (p.pixels[i] + p.pixels[i + 1] + p.pixels[i + 2]) * (p.pixels[i + 3] / 255.0);
        }
        return sum / (p.pixels.size() / 4);
    };
    // The idle face carries a white caption, the hover face a dark grey one.
    EXPECT_LT(brightness(idle), 250.0);
    EXPECT_GT(brightness(hover), 450.0);
}

TEST(AssetFiles, SkyBoxFacesAreSquareRgbAndMeetAtTheHorizon)
{
    const std::vector<std::string> faces = {"right", "left", "top", "bottom", "front", "back"};
    std::vector<Picture> pictures;
    for (const std::string& face : faces) {
        pictures.push_back(decode("assets/textures/skybox/" + face + ".jpg"));
        EXPECT_EQ(pictures.back().channels, 3) << face;
        EXPECT_EQ(pictures.back().width, pictures.back().height) << face;
        EXPECT_EQ(pictures.back().width, pictures.front().width) << face;
    }
    // Along the seam between +X (right) and +Z (front): the left column of the +X face and
    // the right column of the +Z face show the same directions.
    const Picture& right = pictures[0];
    const Picture& front = pictures[4];
    int n = right.width;
    double difference = 0.0;
    for (int y = 0; y < n; ++y) {
        for (int c = 0; c < 3; ++c) {
            difference += std::abs(right.pixels[(static_cast<size_t>(y) * n) * 3 + c] - front.pixels[(static_cast<size_t>(y) * n + n - 1) * 3 + c]);
        }
    }
    EXPECT_LT(difference / (n * 3), 6.0);
    // Sky above, ground below: the top face is bluer than the bottom face.
    auto blueness = [](const Picture& p) {
        double b = 0.0;
        for (size_t i = 0; i < p.pixels.size(); i += 3) {
            b += static_cast<double>(p.pixels[i + 2]) - p.pixels[i];
        }
        return b / (p.pixels.size() / 3);
    };
    EXPECT_GT(blueness(pictures[2]), 40.0);
    EXPECT_LT(blueness(pictures[3]), 0.0);
}

} // namespace
} // namespace fennik::test
