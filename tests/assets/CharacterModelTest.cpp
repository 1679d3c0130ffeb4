// The character models: one mesh each (the game only uses the first), facing +X, standing
// where the game puts its bodies' feet, low enough to be jumped on.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "AssetTestSupport.hpp"

namespace fennik::test {
namespace {

struct Character {
    std::string file;
    float lowest;   // model-space y of the lowest point
    bool landable;  // the player must be able to land on it from the floor
};

void PrintTo(const Character& c, std::ostream* out)
{
    *out << c.file;
}

// Enemies, dummies and Kobbin are placed with their origin 1.9 above the floor; Fennik is
// drawn 1.7 below the centre of a capsule that rests 1.875 above the floor.
const std::vector<Character> characters = {
    {"Fennik", -0.175f, false},   {"dummy", -1.9f, true}, {"dummy2", -1.9f, true},
    {"enemy", -1.9f, true},       {"boss_enemy", -1.9f, true}, {"kobbin", -1.9f, false},
};

// Height the player's capsule bottom rises in a jump (twice the configured gravity).
constexpr float jumpLift = 1.7f;

struct Palette {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    // The colour a vertex samples: texture coordinates as the game's importer leaves them
    // (v already flipped), the image's first row at v = 0.
    glm::vec3 at(glm::vec2 uv) const
    {
        int x = std::clamp(static_cast<int>(uv.x * width), 0, width - 1);
        int y = std::clamp(static_cast<int>(uv.y * height), 0, height - 1);
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
        return glm::vec3(p[0], p[1], p[2]) / 255.0f;
    }
};

class CharacterModelTest : public ::testing::TestWithParam<Character> {
protected:
    void SetUp() override
    {
        model = importModel("assets/models/" + GetParam().file + ".obj");
        ASSERT_NE(model.scene, nullptr);
        ASSERT_GE(model.scene->mNumMeshes, 1u);
        mesh = model.scene->mMeshes[0];
    }

    Palette palette() const
    {
        Palette result;
        const aiMaterial* material = model.scene->mMaterials[mesh->mMaterialIndex];
        aiString file;
        if (material->GetTexture(aiTextureType_DIFFUSE, 0, &file) != AI_SUCCESS) {
            return result;
        }
        int channels = 0;
        stbi_set_flip_vertically_on_load(0);
        unsigned char* data = stbi_load((std::string("assets/models/") + file.C_Str()).c_str(), &result.width, &result.height, &channels, 3);
        if (data) {
            result.pixels.assign(data, data + static_cast<size_t>(result.width) * result.height * 3);
            stbi_image_free(data);
        }
        return result;
    }

    ImportedModel model;
    const aiMesh* mesh = nullptr;
};

TEST_P(CharacterModelTest, IsOneMeshWithOnePaletteTexture)
{
    EXPECT_TRUE(model.errors.empty());
    EXPECT_EQ(model.scene->mNumMeshes, 1u);
    const aiMaterial* material = model.scene->mMaterials[mesh->mMaterialIndex];
    EXPECT_EQ(material->GetTextureCount(aiTextureType_DIFFUSE), 1u);
    EXPECT_GT(palette().width, 0) << "palette texture missing";
    EXPECT_TRUE(mesh->HasTextureCoords(0));
    // A name without "rough" or "metallic" would get a random look per run order.
    EXPECT_NE(std::string(mesh->mName.C_Str()).find("rough"), std::string::npos);
}

TEST_P(CharacterModelTest, StandsOnItsFeet)
{
    glm::vec3 lo = minCorner(*mesh);
    glm::vec3 hi = maxCorner(*mesh);
    EXPECT_NEAR(lo.y, GetParam().lowest, 0.005f);
    if (GetParam().landable) {
        EXPECT_LE(hi.y - lo.y, jumpLift) << "too tall to land on from the floor";
    }
    // Wide enough to be a target, not so wide that it blocks a passage.
    EXPECT_GT(hi.x - lo.x, 1.0f);
    EXPECT_LT(hi.z - lo.z, 5.0f);
}

TEST_P(CharacterModelTest, FacesPlusX)
{
    // Eyes and noses are painted in the palette's darkest colour and sit on the front of
    // every character, left and right of the middle.
    Palette colours = palette();
    ASSERT_GT(colours.width, 0);
    glm::vec3 lo = minCorner(*mesh);
    glm::vec3 hi = maxCorner(*mesh);
    glm::vec3 sum(0.0f);
    int dark = 0;
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        glm::vec3 c = colours.at({mesh->mTextureCoords[0][i].x, mesh->mTextureCoords[0][i].y});
        if (glm::dot(c, glm::vec3(0.2126f, 0.7152f, 0.0722f)) < 0.09f) {
            sum += glm::vec3(mesh->mVertices[i].x, mesh->mVertices[i].y, mesh->mVertices[i].z);
            ++dark;
        }
    }
    ASSERT_GT(dark, 0) << "no eyes found";
    glm::vec3 eyes = sum / static_cast<float>(dark);
    float middle = (lo.x + hi.x) * 0.5f;
    EXPECT_GT(eyes.x - middle, (hi.x - lo.x) * 0.2f) << "the face is not on the +X side";
    EXPECT_LT(std::fabs(eyes.z), 0.1f) << "the face is turned sideways";
}

INSTANTIATE_TEST_SUITE_P(Characters, CharacterModelTest, ::testing::ValuesIn(characters),
                         [](const ::testing::TestParamInfo<Character>& info) { return info.param.file; });

TEST(FennikModel, FitsThePlayersCapsule)
{
    ImportedModel model = importModel("assets/models/Fennik.obj");
    ASSERT_NE(model.scene, nullptr);
    glm::vec3 lo = minCorner(*model.scene->mMeshes[0]);
    glm::vec3 hi = maxCorner(*model.scene->mMeshes[0]);
    // The capsule (radius 1.5, 3.75 tall) spans model y from -0.175 to 3.575.
    EXPECT_LE(hi.y, 3.575f);
    EXPECT_GT(hi.y, 2.5f) << "much smaller than the body it stands for";
    EXPECT_LE(std::max(std::fabs(lo.z), std::fabs(hi.z)), 1.5f);
    EXPECT_LE(std::max(std::fabs(lo.x), std::fabs(hi.x)), 2.2f);
}

TEST(HeartModel, IsARedHeartTheGaugeCanScale)
{
    ImportedModel model = importModel("assets/models/Heart.obj");
    ASSERT_NE(model.scene, nullptr);
    ASSERT_EQ(model.scene->mNumMeshes, 1u);
    const aiMesh& heart = *model.scene->mMeshes[0];
    glm::vec3 lo = minCorner(heart);
    glm::vec3 hi = maxCorner(heart);
    // The gauge scales it by 30 pixels in x and y: about 60 pixels across.
    EXPECT_NEAR(hi.x - lo.x, 1.9f, 0.2f);
    EXPECT_NEAR(hi.y - lo.y, 1.8f, 0.3f);
    EXPECT_NEAR(lo.x + hi.x, 0.0f, 0.05f);
    EXPECT_NEAR(lo.y + hi.y, 0.0f, 0.2f);
    EXPECT_LT(std::max(-lo.z, hi.z), 0.6f);
    aiColor3D diffuse;
    ASSERT_EQ(model.scene->mMaterials[heart.mMaterialIndex]->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse), AI_SUCCESS);
    EXPECT_GT(diffuse.r, 3.0f * std::max(diffuse.g, diffuse.b));
}

} // namespace
} // namespace fennik::test
