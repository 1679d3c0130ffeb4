#include "core/Random.hpp"
#include "render/Model.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"

#include <assimp/material.h>
#include <glm/geometric.hpp>

#include <string>

namespace fennik::render {
namespace {

constexpr const char* fixtures = "tests/render/fixtures/";

std::string fixture(const std::string& name)
{
    return fixtures + name;
}

float asUnit(int draw)
{
    return static_cast<float>(draw) / 32767.0f;
}

class ModelTest : public test::GLTest {};

// --- import ---------------------------------------------------------------------

TEST_F(ModelTest, ImportsMeshesInFileOrderWithTheirObjectNames)
{
    test::LogCapture log;
    Model model(fixture("names.obj"));

    std::vector<std::string> names;
    for (const Mesh& mesh : model.meshes)
        names.push_back(mesh.name);
    EXPECT_EQ(names, (std::vector<std::string>{"plain", "pipe_metallic_rough", "stone_rough", "Cube", "Cube.001",
                                               "tutorial_note", "Metallic_pipe"}));
    EXPECT_EQ(model.directory, "tests/render/fixtures");
    EXPECT_TRUE(log.contains("[INFO]: Loading model from path: tests/render/fixtures/names.obj\n"));
    EXPECT_TRUE(log.contains("[INFO]: Processing Mesh: stone_rough\n"));
    EXPECT_TRUE(log.contains("[INFO]: stone_rough: Processing Material: Teal\n"));
}

TEST_F(ModelTest, FindMeshMatchesWholeNamesOnly)
{
    test::LogCapture log;
    Model model(fixture("names.obj"));

    Mesh* cube = model.findMesh("Cube");
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->name, "Cube");
    EXPECT_EQ(cube, &model.meshes[3]);
    EXPECT_EQ(model.findMesh("Cube.00"), nullptr);
    EXPECT_EQ(model.findMesh("cube"), nullptr);
    EXPECT_TRUE(log.contains("[ERROR]: Model tests/render/fixtures/names.obj has no mesh named cube\n"));
}

TEST_F(ModelTest, MovingAModelKeepsMeshPointersValid)
{
    test::LogCapture log;
    Model original(fixture("names.obj"));
    Mesh* note = original.findMesh("tutorial_note");
    Model moved(std::move(original));
    EXPECT_EQ(moved.findMesh("tutorial_note"), note);
}

// --- vertices -------------------------------------------------------------------

TEST_F(ModelTest, TextureCoordinatesAreFlippedAndTangentsComputedOrZeroWithoutCoordinates)
{
    test::LogCapture log;
    Model model(fixture("names.obj"));
    const Mesh& plain = model.meshes[0];
    ASSERT_EQ(plain.vertices.size(), 3u);
    ASSERT_EQ(plain.indices, (std::vector<unsigned int>{0, 1, 2}));

    // vt (1, 0) on the corner at x = 1 arrives with v flipped to 1.
    const Vertex& right = plain.vertices[1];
    EXPECT_EQ(right.position, glm::vec3(1, 0, 0));
    EXPECT_FLOAT_EQ(right.texCoords.x, 1.0f);
    EXPECT_FLOAT_EQ(right.texCoords.y, 1.0f);
    EXPECT_NEAR(glm::length(right.normal), 1.0f, 1e-5f);
    EXPECT_GT(glm::length(right.tangent), 0.5f);

    // A mesh without coordinates gets zeros for them and for its tangents.
    const Mesh* pipe = model.findMesh("pipe_metallic_rough");
    ASSERT_NE(pipe, nullptr);
    for (const Vertex& vertex : pipe->vertices) {
        EXPECT_EQ(vertex.texCoords, glm::vec2(0.0f));
        EXPECT_EQ(vertex.tangent, glm::vec3(0.0f));
        EXPECT_EQ(vertex.bitangent, glm::vec3(0.0f));
        // Normals still come from the importer's smoothing step.
        EXPECT_NEAR(glm::length(vertex.normal), 1.0f, 1e-5f);
    }
}

// --- materials ------------------------------------------------------------------

TEST_F(ModelTest, NameRulesDecideMetallicRoughnessAndColours)
{
    test::LogCapture log;
    Model model(fixture("names.obj"));
    const glm::vec3 red(1, 0, 0);

    const Material& both = model.findMesh("pipe_metallic_rough")->material;
    EXPECT_FLOAT_EQ(both.metallic, 1.0f); // "metallic" wins over "rough"
    EXPECT_FLOAT_EQ(both.roughness, 0.1f);
    EXPECT_FLOAT_EQ(both.shininess, 32.0f);

    const Material& rough = model.findMesh("stone_rough")->material;
    EXPECT_FLOAT_EQ(rough.metallic, 0.0f);
    EXPECT_FLOAT_EQ(rough.roughness, 0.1f);

    const Material& cube = model.findMesh("Cube")->material;
    EXPECT_FLOAT_EQ(cube.metallic, 1.0f);
    EXPECT_FLOAT_EQ(cube.roughness, 0.2f);
    EXPECT_EQ(cube.diffuse, red);
    EXPECT_EQ(cube.ambient, red);
    EXPECT_EQ(cube.specular, red);
    EXPECT_FLOAT_EQ(cube.shininess, 1.0f);

    const Material& note = model.findMesh("tutorial_note")->material;
    EXPECT_EQ(note.diffuse, red);
    EXPECT_FLOAT_EQ(note.roughness, 0.2f);

    // "Cube" followed by more characters is not the marker; the tests are case-sensitive.
    const Material& notCube = model.findMesh("Cube.001")->material;
    EXPECT_NE(notCube.diffuse, red);
    EXPECT_NE(notCube.roughness, 0.2f);
    const Material& capital = model.findMesh("Metallic_pipe")->material;
    EXPECT_NE(capital.roughness, 0.1f);
}

TEST_F(ModelTest, ColoursAreNormalisedAndBlackStaysBlack)
{
    test::LogCapture log;
    Model model(fixture("names.obj"));

    const Material& plain = model.findMesh("plain")->material;
    EXPECT_NEAR(plain.diffuse.x, 1.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(plain.diffuse.y, 2.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(plain.diffuse.z, 2.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(plain.ambient.x, 0.6f, 1e-5f);
    EXPECT_NEAR(plain.ambient.z, 0.8f, 1e-5f);
    EXPECT_NEAR(plain.specular.y, 0.6f, 1e-5f);
    EXPECT_NEAR(plain.specular.z, 0.8f, 1e-5f);
    EXPECT_FLOAT_EQ(plain.shininess, 32.0f);

    const Material& black = model.findMesh("Metallic_pipe")->material;
    EXPECT_EQ(black.diffuse, glm::vec3(0.0f));
    EXPECT_EQ(black.ambient, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(black.shininess, 8.0f);
}

TEST_F(ModelTest, EveryMeshTakesTwoRandomDrawsInImportOrder)
{
    test::LogCapture log;
    // The source is process-wide and never reseeded: predict from a copy of its state.
    core::RandomSource expected = core::processRandom();
    Model model(fixture("names.obj"));

    std::vector<std::pair<float, float>> draws;
    for (std::size_t i = 0; i < model.meshes.size(); ++i) {
        const float metallic = asUnit(expected.next());
        const float roughness = asUnit(expected.next());
        draws.emplace_back(metallic, roughness);
    }
    // Meshes without a naming rule keep their draws; the others consumed theirs anyway.
    EXPECT_FLOAT_EQ(model.meshes[0].material.metallic, draws[0].first);
    EXPECT_FLOAT_EQ(model.meshes[0].material.roughness, draws[0].second);
    EXPECT_FLOAT_EQ(model.meshes[4].material.metallic, draws[4].first);
    EXPECT_FLOAT_EQ(model.meshes[4].material.roughness, draws[4].second);
    EXPECT_EQ(core::processRandom().currentState(), expected.currentState());
}

TEST_F(ModelTest, ReadMaterialDefaultsWhenTheMaterialHasNoValues)
{
    aiMaterial empty;
    core::RandomSource expected = core::processRandom();
    const Material material = Model::readMaterial(empty, "plank");
    EXPECT_EQ(material.diffuse, glm::vec3(0.1f));
    EXPECT_EQ(material.specular, glm::vec3(0.1f));
    EXPECT_EQ(material.ambient, glm::vec3(0.1f));
    EXPECT_FLOAT_EQ(material.shininess, 1.0f);
    EXPECT_FLOAT_EQ(material.metallic, asUnit(expected.next()));
    EXPECT_FLOAT_EQ(material.roughness, asUnit(expected.next()));
}

// --- textures -------------------------------------------------------------------

TEST_F(ModelTest, MeshesOfOneModelShareATextureFileAndMissingFilesAreReported)
{
    test::LogCapture log;
    Model model(fixture("textured.obj"));
    ASSERT_EQ(model.meshes.size(), 3u);

    const Mesh& left = model.meshes[0];
    const Mesh& right = model.meshes[1];
    const Mesh& broken = model.meshes[2];
    ASSERT_EQ(left.textures.size(), 1u);
    ASSERT_EQ(right.textures.size(), 1u);
    EXPECT_EQ(left.textures[0].type, "texture_diffuse");
    EXPECT_EQ(left.textures[0].path, "bark.png");
    EXPECT_EQ(left.textures[0].id, right.textures[0].id);
    EXPECT_NE(left.textures[0].id, 0u);
    EXPECT_EQ(model.texturesLoaded.size(), 2u);

    // The shared file was tried once; the lost one is named, and its mesh keeps
    // a record with an empty texture.
    EXPECT_EQ(log.count("[ERROR]: Texture failed to load at path: bark.png\n"), 1u);
    EXPECT_EQ(log.count("[ERROR]: Texture failed to load at path: missing.png\n"), 1u);
    ASSERT_EQ(broken.textures.size(), 1u);
    EXPECT_EQ(broken.textures[0].path, "missing.png");
}

TEST_F(ModelTest, TwoModelsNeverShareTextures)
{
    test::LogCapture log;
    Model first(fixture("textured.obj"));
    Model second(fixture("textured.obj"));
    ASSERT_FALSE(first.meshes.empty());
    ASSERT_FALSE(second.meshes.empty());
    EXPECT_NE(first.meshes[0].textures[0].id, second.meshes[0].textures[0].id);
}

// --- bad input ------------------------------------------------------------------

TEST_F(ModelTest, MissingOrUnreadableFileGivesTheImporterLineAndAnEmptyModel)
{
    const std::pair<const char*, const char*> cases[] = {
        {"doesNotExist.obj", "ERROR::ASSIMP:: Unable to open file"},
        {"notAModel.txt", "ERROR::ASSIMP:: "},
    };
    for (const auto& [name, importerLine] : cases) {
        SCOPED_TRACE(name);
        test::LogCapture log;
        Model model(fixture(name));
        EXPECT_TRUE(model.meshes.empty());
        EXPECT_TRUE(log.contains(importerLine)) << log.text();
        for (const std::string& line : log.lines()) {
            if (line.find("ERROR::ASSIMP::") != std::string::npos) {
                EXPECT_EQ(line.rfind("ERROR::ASSIMP:: ", 0), 0u) << "no level tag: " << line;
            }
        }
        EXPECT_EQ(model.findMesh("Fennik"), nullptr);
        EXPECT_TRUE(log.contains("[ERROR]: Model " + fixture(name) + " has no mesh named Fennik\n"));
    }
}

TEST_F(ModelTest, MeshWithoutVerticesIsSkippedWithAWarning)
{
    test::LogCapture log;
    core::RandomSource expected = core::processRandom();
    Model model(fixture("emptyMesh.stl"));
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.meshes[0].name, "tri_solid");
    EXPECT_TRUE(log.contains("[WARN]: Mesh hollow has no vertices and is skipped\n"));
    // A skipped mesh takes no random draws, so it does not shift later looks.
    expected.next();
    expected.next();
    EXPECT_EQ(core::processRandom().currentState(), expected.currentState());
}

} // namespace
} // namespace fennik::render
