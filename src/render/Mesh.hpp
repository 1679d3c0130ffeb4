#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class btCollisionShape;
class btTriangleMesh;

namespace fennik::render {

class Shader;

// One corner as the vertex buffer holds it: 14 tightly packed floats. The shaders
// read position, normal, texture coordinates and tangent at locations 0 to 3.
struct Vertex {
    glm::vec3 position{0.0f};
    glm::vec3 normal{0.0f};
    glm::vec2 texCoords{0.0f};
    glm::vec3 tangent{0.0f};
    glm::vec3 bitangent{0.0f};
};
static_assert(sizeof(Vertex) == 56, "the vertex layout is shared with the shaders");
static_assert(offsetof(Vertex, normal) == 12 && offsetof(Vertex, texCoords) == 24 &&
              offsetof(Vertex, tangent) == 32 && offsetof(Vertex, bitangent) == 44);

// A texture a mesh's material names. `type` is also the base name of the sampler
// uniform ("texture_diffuse", "texture_specular" or "texture_normal"); `path` is
// the file name exactly as the material stores it, the key of the model's cache.
struct Texture {
    GLuint id = 0;
    std::string type;
    std::string path;
};

struct Material {
    glm::vec3 diffuse{0.1f};
    glm::vec3 specular{0.1f};
    glm::vec3 ambient{0.1f};
    float metallic = 0.0f;
    float roughness = 1.0f;
    float shininess = 1.0f;
};

// A named piece of a model: its vertex array on the GPU, its textures and material,
// and the collision shape every entity built on it uses. The name picks the material
// look (Model) and the shape: a mesh called exactly "Sphere" collides as the box
// around it, every other one as the convex hull of its triangles.
//
// Owns its vertex array, buffers, shape and triangle mesh; move-only. The textures
// belong to the model's cache.
class Mesh {
public:
    Mesh(std::string name, Material material, std::vector<Texture> textures, std::vector<unsigned int> indices,
         std::vector<Vertex> vertices);
    ~Mesh();

    Mesh(Mesh&& other) noexcept;
    Mesh& operator=(Mesh&& other) noexcept;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // The caller has made `shader` current. Leaves every texture unit the mesh used
    // unbound again, and the last of them active.
    void draw(Shader& shader, const glm::mat4& modelMatrix);
    void unbindTextures(Shader& shader);

    std::vector<unsigned int> indices;
    std::vector<Texture> textures; // diffuse first, then specular, then normal
    Material material;
    std::string name;
    GLVertexArray vertexArray;

    std::unique_ptr<btCollisionShape> collisionShape;
    // Created for every mesh, filled only when the shape is the triangle hull.
    std::unique_ptr<btTriangleMesh> triangleMesh;
    glm::vec3 center{0.0f}; // centre of the bounding box of the positions
    bool hasTriangleShape = false;

    GLBuffer vertexBuffer;
    GLBuffer elementBuffer;

private:
    void upload(const std::vector<Vertex>& vertices);
    void buildCollisionShape(const std::vector<Vertex>& vertices);
    void release() noexcept;
};

} // namespace fennik::render
