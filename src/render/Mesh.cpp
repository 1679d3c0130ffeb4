#include "render/Mesh.hpp"

#include "render/GpuResources.hpp"
#include "render/Shader.hpp"

#include <btBulletCollisionCommon.h>

#include <glm/geometric.hpp>
#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>

#include <utility>

namespace fennik::render {

namespace {

// A black material colour has no direction to normalise to; it stays black rather
// than turning into NaN and poisoning the lighting.
glm::vec3 unitLength(const glm::vec3& colour)
{
    const float length = glm::length(colour);
    return length > 0.0f ? colour / length : colour;
}

} // namespace

Mesh::Mesh(std::string name, Material material, std::vector<Texture> textures, std::vector<unsigned int> indices,
           std::vector<Vertex> vertices)
    : indices(std::move(indices)), textures(std::move(textures)),
      material(material), name(std::move(name))
{
    this->material.diffuse = unitLength(this->material.diffuse);
    this->material.specular = unitLength(this->material.specular);
    this->material.ambient = unitLength(this->material.ambient);

    // The buffers and the collision shape keep their own copies of the vertices.
    upload(vertices);
    buildCollisionShape(vertices);
}

Mesh::~Mesh()
{
    release();
}

Mesh::Mesh(Mesh&& other) noexcept
    : indices(std::move(other.indices)), textures(std::move(other.textures)),
      material(other.material), name(std::move(other.name)), vertexArray(std::move(other.vertexArray)),
      collisionShape(std::move(other.collisionShape)), triangleMesh(std::move(other.triangleMesh)),
      center(other.center), hasTriangleShape(other.hasTriangleShape),
      vertexBuffer(std::move(other.vertexBuffer)), elementBuffer(std::move(other.elementBuffer))
{
}

Mesh& Mesh::operator=(Mesh&& other) noexcept
{
    if (this == &other)
        return *this;
    release();
    indices = std::move(other.indices);
    textures = std::move(other.textures);
    material = other.material;
    name = std::move(other.name);
    vertexArray = std::move(other.vertexArray);
    collisionShape = std::move(other.collisionShape);
    triangleMesh = std::move(other.triangleMesh);
    center = other.center;
    hasTriangleShape = other.hasTriangleShape;
    vertexBuffer = std::move(other.vertexBuffer);
    elementBuffer = std::move(other.elementBuffer);
    return *this;
}

void Mesh::release() noexcept
{
    vertexArray.reset();
    vertexBuffer.reset();
    elementBuffer.reset();
    // The hull keeps a pointer into the triangle mesh: the shape goes first.
    collisionShape.reset();
    triangleMesh.reset();
}

void Mesh::upload(const std::vector<Vertex>& vertices)
{
    glBindVertexArray(vertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer.id());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned int)),
                 indices.data(), GL_STATIC_DRAW);

    constexpr GLsizei stride = sizeof(Vertex);
    const auto at = [](std::size_t offset) { return reinterpret_cast<const void*>(offset); };
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, normal)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, texCoords)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, tangent)));
    // Described but deliberately left disabled: a shader that declares location 4
    // reads the current generic attribute value, not the stored bitangent.
    glVertexAttribPointer(4, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, bitangent)));

    glBindVertexArray(0);
}

void Mesh::buildCollisionShape(const std::vector<Vertex>& vertices)
{
    glm::vec3 minimum(0.0f);
    glm::vec3 maximum(0.0f);
    if (!vertices.empty()) {
        minimum = maximum = vertices.front().position;
        for (const Vertex& vertex : vertices) {
            minimum = glm::min(minimum, vertex.position);
            maximum = glm::max(maximum, vertex.position);
        }
    }

    // 32-bit indices, three floats a vertex.
    triangleMesh = std::make_unique<btTriangleMesh>(true, false);
    const glm::vec3 halfExtents = (maximum - minimum) * 0.5f;
    center = maximum - halfExtents;
    // The box sits around the shape's own origin; entities on a box mesh place the
    // body at `center` instead.
    collisionShape = std::make_unique<btBoxShape>(btVector3(halfExtents.x, halfExtents.y, halfExtents.z));
    hasTriangleShape = false;

    if (name == "Sphere")
        return;

    // Each vertex once and the triangles by index, as the mesh is drawn. Only whole
    // triangles: line and point primitives leave index counts that are not a multiple
    // of three, and reading past the end would take garbage.
    triangleMesh->preallocateVertices(static_cast<int>(vertices.size()));
    for (const Vertex& vertex : vertices)
        triangleMesh->findOrAddVertex(btVector3(vertex.position.x, vertex.position.y, vertex.position.z), false);
    for (std::size_t k = 0; k + 2 < indices.size(); k += 3) {
        const unsigned int a = indices[k], b = indices[k + 1], c = indices[k + 2];
        if (a >= vertices.size() || b >= vertices.size() || c >= vertices.size())
            continue;
        triangleMesh->addTriangleIndices(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c));
    }
    // A hull over no triangles has no extent at all and would break the broadphase;
    // such a mesh (lines, points) keeps the box around its vertices.
    if (triangleMesh->getNumTriangles() == 0)
        return;

    collisionShape = std::make_unique<btConvexTriangleMeshShape>(triangleMesh.get(), true);
    hasTriangleShape = true;
}

void Mesh::draw(Shader& shader, const glm::mat4& modelMatrix)
{
    glBindVertexArray(vertexArray.id());

    shader.setVec3("materialAmbient", material.ambient);
    shader.setVec3("materialDiffuse", material.diffuse);
    shader.setVec3("materialSpecular", material.specular);
    shader.setVec3("albedo", material.diffuse);
    shader.setFloat("metallic", material.metallic);
    shader.setFloat("roughness", material.roughness);
    shader.setFloat("specularAlpha", material.shininess);
    shader.setMat4("modelMatrix", modelMatrix);
    shader.setMat3("normalMatrix", glm::mat3(glm::transpose(glm::inverse(modelMatrix))));

    unsigned int diffuseNumber = 1;
    unsigned int specularNumber = 1;
    unsigned int normalNumber = 1;
    shader.setInt("enaDiff1", 0);
    shader.setInt("enaSpec1", 0);
    shader.setInt("enaNorm1", 0);
    // The maps this mesh lacks read the blank texel on unit 0 rather than whatever a
    // sampler's unit held from the last mesh or pass; its own maps take their units below.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, gpu().blankTexture());
    shader.setInt("texture_diffuse1", 0);
    shader.setInt("texture_normal1", 0);

    for (std::size_t i = 0; i < textures.size(); ++i) {
        const Texture& texture = textures[i];
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        std::string number;
        if (texture.type == "texture_diffuse") {
            number = std::to_string(diffuseNumber++);
            shader.setInt("enaDiff1", 1);
        } else if (texture.type == "texture_specular") {
            number = std::to_string(specularNumber++);
            shader.setInt("enaSpec1", 1);
        } else if (texture.type == "texture_normal") {
            number = std::to_string(normalNumber++);
            shader.setInt("enaNorm1", 1);
        }
        shader.setInt(texture.type + number, static_cast<int>(i));
        glBindTexture(GL_TEXTURE_2D, texture.id);
    }

    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);

    unbindTextures(shader);
    if (textures.empty()) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

void Mesh::unbindTextures(Shader& shader)
{
    unsigned int diffuseNumber = 1;
    unsigned int specularNumber = 1;
    unsigned int normalNumber = 1;
    for (std::size_t i = 0; i < textures.size(); ++i) {
        const Texture& texture = textures[i];
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        std::string number;
        if (texture.type == "texture_diffuse")
            number = std::to_string(diffuseNumber++);
        else if (texture.type == "texture_specular")
            number = std::to_string(specularNumber++);
        else if (texture.type == "texture_normal")
            number = std::to_string(normalNumber++);
        shader.setInt(texture.type + number, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    shader.setInt("enaDiff1", 0);
    shader.setInt("enaSpec1", 0);
    shader.setInt("enaNorm1", 0);
}

} // namespace fennik::render
