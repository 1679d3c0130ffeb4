#include "render/Mesh.hpp"
#include "render/Model.hpp"
#include "render/Shader.hpp"
#include "render/Texture.hpp"

#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/OffscreenTarget.hpp"
#include "support/TempDirectory.hpp"

#include <btBulletCollisionCommon.h>

#include <glm/gtc/matrix_transform.hpp>
#include <stb/stb_image_write.h>

#include <array>
#include <string>

namespace fennik::render {
namespace {

constexpr const char* fixtures = "tests/render/fixtures/";

using Pixel = std::array<unsigned char, 4>;

// Solid-colour textures and a model that uses them, written fresh for each test so
// no binary files live in the repository.
class TexturedScene {
public:
    TexturedScene()
    {
        writeSolid("red.png", {255, 0, 0, 255});
        writeSolid("green.png", {0, 255, 0, 255});
        writeSolid("blue.png", {0, 0, 255, 255});
        // Left half of the screen: a quad with all three kinds of texture. Right half:
        // a quad without texture coordinates or textures.
        files.write("screen.mtl", "newmtl Textured\nKd 1 1 1\nmap_Kd red.png\nmap_Ks green.png\n"
                                  "map_bump blue.png\nnewmtl Bare\nKd 1 1 1\n");
        files.write("screen.obj", "mtllib screen.mtl\n"
                                  "o textured_quad\nv -1 -1 0\nv 0 -1 0\nv 0 1 0\nv -1 1 0\n"
                                  "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl Textured\nf 1/1 2/2 3/3 4/4\n"
                                  "o bare_quad\nv 0 -1 0\nv 1 -1 0\nv 1 1 0\nv 0 1 0\nusemtl Bare\nf 5 6 7 8\n");
    }

    std::string path(const std::string& name) const { return (files / name).string(); }

private:
    void writeSolid(const std::string& name, Pixel colour)
    {
        std::array<unsigned char, 4 * 4 * 4> pixels{};
        for (std::size_t i = 0; i < pixels.size(); i += 4)
            std::copy(colour.begin(), colour.end(), pixels.begin() + static_cast<long>(i));
        stbi_write_png(path(name).c_str(), 4, 4, 4, pixels.data(), 16);
    }

    test::TempDirectory files{"fennik_mesh_test"};
};

const char* const screenVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 texCoords;
uniform mat4 modelMatrix;
out vec2 uv;
void main() { uv = texCoords; gl_Position = modelMatrix * vec4(position, 1.0); }
)";

// Each channel shows one sampler, and only while the mesh says it has that texture.
const char* const kindsFragment = R"(#version 330 core
in vec2 uv;
uniform sampler2D texture_diffuse1;
uniform sampler2D texture_specular1;
uniform sampler2D texture_normal1;
uniform int enaDiff1;
uniform int enaSpec1;
uniform int enaNorm1;
out vec4 colour;
void main() {
    colour = vec4(texture(texture_diffuse1, uv).r * float(enaDiff1),
                  texture(texture_specular1, uv).g * float(enaSpec1),
                  texture(texture_normal1, uv).b * float(enaNorm1), 1.0);
}
)";

const char* const twoDiffuseFragment = R"(#version 330 core
in vec2 uv;
uniform sampler2D texture_diffuse1;
uniform sampler2D texture_diffuse2;
uniform int enaDiff1;
out vec4 colour;
void main() {
    colour = vec4(texture(texture_diffuse1, uv).r, texture(texture_diffuse2, uv).g, float(enaDiff1), 1.0);
}
)";

// Uses every material and matrix uniform so none is optimised away.
const char* const probeVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
uniform mat4 modelMatrix;
uniform mat3 normalMatrix;
out vec3 worldNormal;
void main() { worldNormal = normalMatrix * normal; gl_Position = modelMatrix * vec4(position, 1.0); }
)";

const char* const probeFragment = R"(#version 330 core
in vec3 worldNormal;
uniform vec3 materialAmbient;
uniform vec3 materialDiffuse;
uniform vec3 materialSpecular;
uniform vec3 albedo;
uniform float metallic;
uniform float roughness;
uniform float specularAlpha;
out vec4 colour;
void main() {
    colour = vec4(materialAmbient + materialDiffuse + materialSpecular + albedo + worldNormal,
                  metallic + roughness + specularAlpha);
}
)";

glm::vec3 toGlm(const btVector3& v)
{
    return {v.x(), v.y(), v.z()};
}

void expectNear(glm::vec3 actual, glm::vec3 expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

int uniformInt(const Shader& shader, const char* name)
{
    GLint value = -1;
    glGetUniformiv(shader.program, glGetUniformLocation(shader.program, name), &value);
    return value;
}

class MeshTest : public test::GLTest {};

// --- vertex layout --------------------------------------------------------------

TEST_F(MeshTest, VertexArrayDescribesTheFiveAttributesAndEnablesFour)
{
    test::LogCapture log;
    Model model(std::string(fixtures) + "names.obj");
    ASSERT_FALSE(model.meshes.empty());
    glBindVertexArray(model.meshes[0].vertexArray);

    const std::array<std::pair<GLint, std::size_t>, 5> expected{{{3, 0}, {3, 12}, {2, 24}, {3, 32}, {3, 44}}};
    for (GLuint location = 0; location < 5; ++location) {
        GLint enabled = -1, size = 0, stride = 0;
        void* offset = nullptr;
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
        glGetVertexAttribPointerv(location, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
        EXPECT_EQ(enabled, location < 4 ? GL_TRUE : GL_FALSE) << "location " << location;
        EXPECT_EQ(size, expected[location].first) << "location " << location;
        EXPECT_EQ(stride, 56) << "location " << location;
        EXPECT_EQ(reinterpret_cast<std::size_t>(offset), expected[location].second) << "location " << location;
    }
    glBindVertexArray(0);
}

// --- collision shapes -----------------------------------------------------------

TEST_F(MeshTest, MeshNamedExactlySphereCollidesAsTheBoxAroundIt)
{
    test::LogCapture log;
    Model model(std::string(fixtures) + "shapes.obj");
    const Mesh* sphere = model.findMesh("Sphere");
    ASSERT_NE(sphere, nullptr);

    EXPECT_FALSE(sphere->hasTriangleShape);
    ASSERT_EQ(sphere->collisionShape->getShapeType(), BOX_SHAPE_PROXYTYPE);
    const auto* box = static_cast<const btBoxShape*>(sphere->collisionShape.get());
    expectNear(toGlm(box->getHalfExtentsWithMargin()), {1.0f, 0.5f, 2.0f}, "half extents");
    expectNear(sphere->center, {3.0f, -0.5f, 12.0f}, "centre");
    ASSERT_NE(sphere->triangleMesh, nullptr);
    EXPECT_EQ(sphere->triangleMesh->getNumTriangles(), 0);
}

TEST_F(MeshTest, EveryOtherNameCollidesAsTheHullOfItsTrianglesWhereModelled)
{
    test::LogCapture log;
    Model model(std::string(fixtures) + "shapes.obj");
    const Mesh* hull = model.findMesh("Sphere.001");
    ASSERT_NE(hull, nullptr);

    EXPECT_TRUE(hull->hasTriangleShape);
    ASSERT_EQ(hull->collisionShape->getShapeType(), CONVEX_TRIANGLEMESH_SHAPE_PROXYTYPE);
    EXPECT_EQ(hull->triangleMesh->getNumTriangles(), 12);

    // The hull keeps the modelled positions: its corners are the box's, not centred
    // on the origin.
    const auto* shape = static_cast<const btConvexTriangleMeshShape*>(hull->collisionShape.get());
    const btVector3 down(-1, -1, -1), up(1, 1, 1);
    expectNear(toGlm(shape->localGetSupportingVertexWithoutMargin(down)), {2.0f, -1.0f, 10.0f}, "low corner");
    expectNear(toGlm(shape->localGetSupportingVertexWithoutMargin(up)), {4.0f, 0.0f, 14.0f}, "high corner");
    EXPECT_NEAR(hull->center.z, 12.0f, 1e-5f);
}

TEST_F(MeshTest, MeshWithoutWholeTrianglesKeepsItsBox)
{
    test::LogCapture log;
    Model model(std::string(fixtures) + "shapes.obj");
    const Mesh* line = model.findMesh("guide_line");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->indices.size(), 2u);
    EXPECT_FALSE(line->hasTriangleShape);
    EXPECT_EQ(line->collisionShape->getShapeType(), BOX_SHAPE_PROXYTYPE);
    EXPECT_NEAR(line->center.y, 1.5f, 1e-5f);
}

TEST_F(MeshTest, MovedMeshKeepsItsGpuObjectsAndShape)
{
    Mesh original("moved", Material{}, {}, {0, 1, 2}, {Vertex{{0, 0, 0}}, Vertex{{1, 0, 0}}, Vertex{{0, 1, 0}}});
    const GLuint vertexArray = original.vertexArray;
    const btCollisionShape* shape = original.collisionShape.get();

    Mesh moved(std::move(original));
    EXPECT_EQ(moved.vertexArray, vertexArray);
    EXPECT_EQ(moved.collisionShape.get(), shape);
    EXPECT_EQ(original.vertexArray, 0u);
    EXPECT_EQ(original.collisionShape, nullptr);
    EXPECT_TRUE(glIsVertexArray(vertexArray));
}

// --- drawing --------------------------------------------------------------------

TEST_F(MeshTest, SamplersAreNumberedPerKindOnConsecutiveUnits)
{
    TexturedScene files;
    test::LogCapture log;
    Model model(files.path("screen.obj"));
    ASSERT_EQ(model.meshes.size(), 2u);
    Mesh& textured = model.meshes[0];
    ASSERT_EQ(textured.textures.size(), 3u);
    EXPECT_EQ(textured.textures[0].type, "texture_diffuse");
    EXPECT_EQ(textured.textures[1].type, "texture_specular");
    EXPECT_EQ(textured.textures[2].type, "texture_normal");

    auto shader = Shader::fromSources(screenVertex, kindsFragment);
    test::OffscreenTarget target(viewportSize, viewportSize);
    target.clear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    shader->use();
    for (Mesh& mesh : model.meshes)
        mesh.draw(*shader, glm::mat4(1.0f));
    target.save("mesh_samplers.png");

    // Left: diffuse on unit 0 in red, specular on unit 1 in green, normal on unit 2 in blue.
    EXPECT_EQ(target.pixel(16, 32), glm::u8vec4(255, 255, 255, 255));
    // Right: a mesh without coordinates or textures still draws, with every kind off.
    EXPECT_EQ(target.pixel(48, 32), glm::u8vec4(0, 0, 0, 255));

    // Afterwards the samplers and switches are back at 0, the units are empty, and
    // the last unit used stays active.
    EXPECT_EQ(uniformInt(*shader, "enaDiff1"), 0);
    EXPECT_EQ(uniformInt(*shader, "texture_specular1"), 0);
    EXPECT_EQ(uniformInt(*shader, "texture_normal1"), 0);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE2);
    for (GLenum unit = 0; unit < 3; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0) << "unit " << unit;
    }
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(MeshTest, SecondDiffuseTextureGetsTheNextNumberAndUnit)
{
    TexturedScene files;
    const GLuint red = loadTexture(files.path("red.png"), true);
    const GLuint green = loadTexture(files.path("green.png"), true);
    const std::vector<Vertex> corners{Vertex{{-1, -1, 0}, {}, {0, 0}}, Vertex{{1, -1, 0}, {}, {1, 0}},
                                      Vertex{{1, 1, 0}, {}, {1, 1}}, Vertex{{-1, 1, 0}, {}, {0, 1}}};
    Mesh mesh("double", Material{},
              {Texture{red, "texture_diffuse", "red.png"}, Texture{green, "texture_diffuse", "green.png"}},
              {0, 1, 2, 0, 2, 3}, corners);

    auto shader = Shader::fromSources(screenVertex, twoDiffuseFragment);
    test::OffscreenTarget target(viewportSize, viewportSize);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    shader->use();
    mesh.draw(*shader, glm::mat4(1.0f));

    EXPECT_EQ(target.pixel(32, 32), glm::u8vec4(255, 255, 255, 255));
    EXPECT_EQ(uniformInt(*shader, "texture_diffuse2"), 0);
}

TEST_F(MeshTest, DrawSetsTheMaterialAndMatrixUniforms)
{
    test::LogCapture log;
    Model model(std::string(fixtures) + "names.obj");
    Mesh& cube = *model.findMesh("Cube");
    auto shader = Shader::fromSources(probeVertex, probeFragment);
    shader->use();
    const glm::mat4 modelMatrix = glm::scale(glm::mat4(1.0f), glm::vec3(2.0f, 4.0f, 8.0f));
    cube.draw(*shader, modelMatrix);

    const auto vec3Uniform = [&shader](const char* name) {
        glm::vec3 value(-1.0f);
        glGetUniformfv(shader->program, glGetUniformLocation(shader->program, name), &value.x);
        return value;
    };
    const auto floatUniform = [&shader](const char* name) {
        float value = -1.0f;
        glGetUniformfv(shader->program, glGetUniformLocation(shader->program, name), &value);
        return value;
    };
    EXPECT_EQ(vec3Uniform("albedo"), cube.material.diffuse);
    EXPECT_EQ(vec3Uniform("materialDiffuse"), cube.material.diffuse);
    EXPECT_EQ(vec3Uniform("materialAmbient"), cube.material.ambient);
    EXPECT_EQ(vec3Uniform("materialSpecular"), cube.material.specular);
    EXPECT_FLOAT_EQ(floatUniform("metallic"), 1.0f);
    EXPECT_FLOAT_EQ(floatUniform("roughness"), 0.2f);
    EXPECT_FLOAT_EQ(floatUniform("specularAlpha"), 1.0f);

    std::array<float, 9> normalMatrix{};
    glGetUniformfv(shader->program, glGetUniformLocation(shader->program, "normalMatrix"), normalMatrix.data());
    EXPECT_FLOAT_EQ(normalMatrix[0], 0.5f);
    EXPECT_FLOAT_EQ(normalMatrix[4], 0.25f);
    EXPECT_FLOAT_EQ(normalMatrix[8], 0.125f);
    EXPECT_FLOAT_EQ(normalMatrix[1], 0.0f);
}

} // namespace
} // namespace fennik::render
