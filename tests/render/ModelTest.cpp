#include "core/Random.hpp"
#include "render/Model.hpp"
#include "render/Shader.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/MeshVertices.hpp"
#include "support/OffscreenTarget.hpp"

#include <btBulletCollisionCommon.h>
#include <glm/geometric.hpp>

#include <string>
#include <tuple>

namespace fennik::render {
namespace {

const std::string fixtures = "tests/render/fixtures/";

// Every test imports a model, which logs; the capture keeps that out of the output.
class ModelTest : public test::GLTest {
protected:
    test::LogCapture log;
};

TEST_F(ModelTest, ImportsMeshesInFileOrderAndFindsThemByWholeName)
{
    Model model(fixtures + "names.obj");
    std::vector<std::string> names;
    for (const Mesh& mesh : model.meshes)
        names.push_back(mesh.name);
    EXPECT_EQ(names, (std::vector<std::string>{"plain", "pipe_metallic_rough", "stone_rough", "Cube", "Cube.001",
                                               "tutorial_note", "Metallic_pipe"}));
    EXPECT_EQ(model.findMesh("Cube"), &model.meshes[3]);
    EXPECT_EQ(model.findMesh("Cube.00"), nullptr);
    EXPECT_EQ(model.findMesh("cube"), nullptr);
    EXPECT_TRUE(log.contains("[ERROR]: Model tests/render/fixtures/names.obj has no mesh named cube\n"));

    // Texture coordinates arrive with v flipped: vt (1, 0) becomes (1, 1), as the
    // vertex buffer holds it.
    EXPECT_EQ(test::verticesOf(model.meshes[0]).at(1).texCoords, glm::vec2(1.0f, 1.0f));
}

TEST_F(ModelTest, NameRulesDecideTheLookAndEveryMeshTakesTwoRandomDraws)
{
    // The source is process-wide and never reseeded: predict from a copy of its state.
    core::RandomSource expected = core::processRandom();
    Model model(fixtures + "names.obj");
    for (std::size_t i = 0; i < 2 * model.meshes.size(); ++i)
        expected.next();
    EXPECT_EQ(core::processRandom().currentState(), expected.currentState());

    // Name rules: roughness (-1: left to the random draw) and normalised diffuse colour.
    // Case matters, and "Cube" must be the whole name.
    const glm::vec3 red(1, 0, 0), teal(1.0f / 3, 2.0f / 3, 2.0f / 3);
    const std::tuple<const char*, float, glm::vec3> rules[] = {
        {"pipe_metallic_rough", 0.1f, teal}, {"stone_rough", 0.1f, teal}, {"Cube", 0.2f, red},
        {"tutorial_note", 0.2f, red},        {"Cube.001", -1.0f, teal},   {"Metallic_pipe", -1.0f, {}}};
    for (const auto& [name, roughness, diffuse] : rules) {
        const Material& material = model.findMesh(name)->material;
        const bool ruled = material.roughness == 0.1f || material.roughness == 0.2f;
        EXPECT_TRUE(roughness < 0.0f ? !ruled : material.roughness == roughness) << name;
        EXPECT_NEAR(glm::length(material.diffuse - diffuse), 0.0f, 1e-5f) << name;
    }
    EXPECT_EQ(model.findMesh("pipe_metallic_rough")->material.metallic, 1.0f) << "metallic wins over rough";
    EXPECT_EQ(model.findMesh("stone_rough")->material.metallic, 0.0f);
    EXPECT_EQ(model.findMesh("Cube")->material.metallic, 1.0f);
    EXPECT_EQ(model.findMesh("Cube")->material.specular, red);
}

TEST_F(ModelTest, ModelsShareATextureFileAndMissingFilesAreReportedOnce)
{
    Model model(fixtures + "textured.obj");
    ASSERT_EQ(model.meshes.size(), 3u);
    EXPECT_EQ(model.meshes[0].textures[0].id, model.meshes[1].textures[0].id);
    Model second(fixtures + "textured.obj");
    EXPECT_EQ(second.meshes[0].textures[0].id, model.meshes[0].textures[0].id) << "one texture per file";
    EXPECT_EQ(log.count("[ERROR]: Texture failed to load at path: bark.png\n"), 1u);
    EXPECT_EQ(log.count("[ERROR]: Texture failed to load at path: missing.png\n"), 1u);
}

TEST_F(ModelTest, BadFilesGiveAnEmptyModelAndHollowMeshesAreSkipped)
{
    for (const char* name : {"doesNotExist.obj", "notAModel.txt"}) {
        Model model(fixtures + name);
        EXPECT_TRUE(model.meshes.empty()) << name;
        EXPECT_EQ(model.findMesh("Fennik"), nullptr);
        EXPECT_EQ(log.count(std::string("(") + fixtures + name + ")\n"), 1u) << "the line names the file";
    }
    EXPECT_EQ(log.count("[ERROR]: ERROR::ASSIMP:: "), 2u);

    Model model(fixtures + "emptyMesh.stl");
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_TRUE(log.contains("[WARN]: Mesh hollow has no vertices and is skipped\n"));
}

TEST_F(ModelTest, OnlyAMeshNamedSphereCollidesAsItsBox)
{
    Model model(fixtures + "shapes.obj");
    const Mesh* sphere = model.findMesh("Sphere");
    ASSERT_EQ(sphere->collisionShape->getShapeType(), BOX_SHAPE_PROXYTYPE);
    const btVector3 half = static_cast<const btBoxShape*>(sphere->collisionShape.get())->getHalfExtentsWithMargin();
    EXPECT_TRUE((half - btVector3(1.0f, 0.5f, 2.0f)).fuzzyZero());

    // The same box by another name is the hull of its triangles, where it was modelled.
    const Mesh* hull = model.findMesh("Sphere.001");
    ASSERT_EQ(hull->collisionShape->getShapeType(), CONVEX_TRIANGLEMESH_SHAPE_PROXYTYPE);
    const auto* shape = static_cast<const btConvexTriangleMeshShape*>(hull->collisionShape.get());
    EXPECT_TRUE((shape->localGetSupportingVertexWithoutMargin({1, 1, 1}) - btVector3(4, 0, 14)).fuzzyZero());
    EXPECT_EQ(model.findMesh("guide_line")->collisionShape->getShapeType(), BOX_SHAPE_PROXYTYPE)
        << "no whole triangles: keeps its box";
}

TEST_F(ModelTest, SamplersAreNumberedPerKindOnConsecutiveUnitsAndUnboundAfterwards)
{
    // Each channel shows one sampler (red, green and blue files) while the mesh says it has it.
    Model model(fixtures + "screen.obj");
    auto shader = Shader::fromSources(
        "#version 330 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n",
        "#version 330 core\nuniform sampler2D texture_diffuse1, texture_specular1, texture_normal1;\n"
        "uniform int enaDiff1, enaSpec1, enaNorm1;\nout vec4 c;\nvoid main() { vec2 uv = vec2(0.5);\n"
        "  c = vec4(texture(texture_diffuse1, uv).r * float(enaDiff1), texture(texture_specular1, uv).g *\n"
        "    float(enaSpec1), texture(texture_normal1, uv).b * float(enaNorm1), 1); }\n");
    test::OffscreenTarget target(viewportSize, viewportSize);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    shader->use();
    for (Mesh& mesh : model.meshes)
        mesh.draw(*shader, glm::mat4(1.0f));

    EXPECT_EQ(target.pixel(16, 32), glm::u8vec4(255, 255, 255, 255));
    EXPECT_EQ(target.pixel(48, 32), glm::u8vec4(0, 0, 0, 255)) << "a bare mesh draws with every kind off";
    for (GLenum unit = 0; unit < 3; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0) << "unit " << unit;
    }
    glActiveTexture(GL_TEXTURE0);
}

} // namespace
} // namespace fennik::render
