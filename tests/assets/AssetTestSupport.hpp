#pragma once

#include <memory>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/glm.hpp>

class btCollisionWorld;
class btDefaultCollisionConfiguration;
class btCollisionDispatcher;
class btDbvtBroadphase;
class btCollisionObject;
class btCollisionShape;
class btTriangleMesh;

namespace fennik::test {

// A model imported exactly as the game imports it (triangulate, smooth normals where
// missing, flipped texture coordinates, tangent space), with the importer's error lines.
struct ImportedModel {
    std::unique_ptr<Assimp::Importer> importer;
    const aiScene* scene = nullptr;
    std::vector<std::string> errors;

    const aiMesh* mesh(const std::string& name) const;
    std::vector<std::string> meshNames() const;
};

ImportedModel importModel(const std::string& path);

glm::vec3 minCorner(const aiMesh& mesh);
glm::vec3 maxCorner(const aiMesh& mesh);

// The level's colliding meshes (names containing "solid") as convex hull bodies in a Bullet
// collision world, placed as the game places them: at their modelled positions.
class LevelWorld {
public:
    // `skipInteractable`: leave out meshes whose name contains "interactable", as the
    // tutorial, level two and the boss level do.
    LevelWorld(const aiScene& scene, bool skipInteractable);
    ~LevelWorld();
    LevelWorld(const LevelWorld&) = delete;
    LevelWorld& operator=(const LevelWorld&) = delete;

    // Height of the first solid surface hit going straight down from `from`; false if none.
    bool floorBelow(glm::vec3 from, float& floorY) const;
    // True when a capsule of the given radius and total height, its centre at `centre`,
    // overlaps no solid piece (by more than a small tolerance).
    bool capsuleFits(glm::vec3 centre, float radius, float height) const;
    // The same for an axis-aligned box.
    bool boxFits(glm::vec3 centre, glm::vec3 halfExtents) const;

    struct Cell {
        int x = 0;
        int z = 0;
        float floorY = 0.0f;
    };
    struct Reach {
        std::vector<Cell> cells;       // every standable cell the player can get to
        int edgesOverNothing = 0;      // reachable cells next to a cell without any floor
        std::vector<Cell> edgeCells;   // the first few of them, for messages
        bool contains(float x, float z, float radius) const;
        float cellSize = 1.0f;
    };
    // Walks the level on a grid of 1-unit cells from `start` with a capsule of `radius`
    // (3.75 tall): walking climbs up to `walkStep`; with `jumps`, straight jumps of up to
    // `jumpLength` cells may cross gaps and climb up to `jumpStep`.
    Reach explore(glm::vec3 start, float radius, bool jumps, float walkStep = 0.55f, float jumpStep = 1.0f, int jumpLength = 7) const;

private:
    std::unique_ptr<btDefaultCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btDbvtBroadphase> broadphase;
    std::unique_ptr<btCollisionWorld> world;
    std::vector<std::unique_ptr<btTriangleMesh>> triangles;
    std::vector<std::unique_ptr<btCollisionShape>> shapes;
    std::vector<std::unique_ptr<btCollisionObject>> objects;
    glm::vec3 lowCorner{1e9f};
    glm::vec3 highCorner{-1e9f};
};

} // namespace fennik::test
