#include "AssetTestSupport.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <queue>

#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/postprocess.h>
#include <btBulletCollisionCommon.h>

namespace fennik::test {

namespace {

class ErrorCollector : public Assimp::LogStream {
public:
    explicit ErrorCollector(std::vector<std::string>& sink) : sink(sink) {}
    void write(const char* message) override { sink.emplace_back(message); }

private:
    std::vector<std::string>& sink;
};

} // namespace

const aiMesh* ImportedModel::mesh(const std::string& name) const
{
    if (!scene) {
        return nullptr;
    }
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        if (name == scene->mMeshes[i]->mName.C_Str()) {
            return scene->mMeshes[i];
        }
    }
    return nullptr;
}

std::vector<std::string> ImportedModel::meshNames() const
{
    std::vector<std::string> names;
    if (scene) {
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
            names.emplace_back(scene->mMeshes[i]->mName.C_Str());
        }
    }
    return names;
}

ImportedModel importModel(const std::string& path)
{
    ImportedModel model;
    model.importer = std::make_unique<Assimp::Importer>();
    Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
    auto* collector = new ErrorCollector(model.errors);
    Assimp::DefaultLogger::get()->attachStream(collector, Assimp::Logger::Err);
    model.scene = model.importer->ReadFile(path, aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs | aiProcess_CalcTangentSpace);
    Assimp::DefaultLogger::get()->detachStream(collector, Assimp::Logger::Err);
    delete collector;
    Assimp::DefaultLogger::kill();
    if (!model.scene || (model.scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !model.scene->mRootNode) {
        model.errors.push_back(std::string("import failed: ") + model.importer->GetErrorString());
        model.scene = nullptr;
    }
    return model;
}

glm::vec3 minCorner(const aiMesh& mesh)
{
    glm::vec3 m(1e9f);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        m = glm::min(m, glm::vec3(mesh.mVertices[i].x, mesh.mVertices[i].y, mesh.mVertices[i].z));
    }
    return m;
}

glm::vec3 maxCorner(const aiMesh& mesh)
{
    glm::vec3 m(-1e9f);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        m = glm::max(m, glm::vec3(mesh.mVertices[i].x, mesh.mVertices[i].y, mesh.mVertices[i].z));
    }
    return m;
}

LevelWorld::LevelWorld(const aiScene& scene, bool skipInteractable)
    : configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      broadphase(std::make_unique<btDbvtBroadphase>()),
      world(std::make_unique<btCollisionWorld>(dispatcher.get(), broadphase.get(), configuration.get()))
{
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        std::string name = mesh.mName.C_Str();
        if (name.find("solid") == std::string::npos) {
            continue;
        }
        if (skipInteractable && name.find("interactable") != std::string::npos) {
            continue;
        }
        // The game's shape: a convex triangle-mesh shape over the mesh's triangles, which
        // collides as their convex hull.
        auto mesh32 = std::make_unique<btTriangleMesh>(true, true);
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) {
                continue;
            }
            auto v = [&](unsigned k) {
                const aiVector3D& p = mesh.mVertices[face.mIndices[k]];
                return btVector3(p.x, p.y, p.z);
            };
            mesh32->addTriangle(v(0), v(1), v(2), false);
        }
        auto shape = std::make_unique<btConvexTriangleMeshShape>(mesh32.get(), true);
        auto object = std::make_unique<btCollisionObject>();
        object->setCollisionShape(shape.get());
        world->addCollisionObject(object.get());
        lowCorner = glm::min(lowCorner, minCorner(mesh));
        highCorner = glm::max(highCorner, maxCorner(mesh));
        triangles.push_back(std::move(mesh32));
        shapes.push_back(std::move(shape));
        objects.push_back(std::move(object));
    }
    world->updateAabbs();
}

LevelWorld::~LevelWorld()
{
    for (auto& object : objects) {
        world->removeCollisionObject(object.get());
    }
}

bool LevelWorld::floorBelow(glm::vec3 from, float& floorY) const
{
    btVector3 a(from.x, from.y, from.z);
    btVector3 b(from.x, from.y - 60.0f, from.z);
    btCollisionWorld::ClosestRayResultCallback hit(a, b);
    world->rayTest(a, b, hit);
    if (!hit.hasHit()) {
        return false;
    }
    floorY = hit.m_hitPointWorld.y();
    return true;
}

namespace {

struct OverlapCounter : btCollisionWorld::ContactResultCallback {
    float deepest = 0.0f;
    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper*, int, int, const btCollisionObjectWrapper*, int, int) override
    {
        deepest = std::min(deepest, static_cast<float>(point.getDistance()));
        return 0;
    }
};

} // namespace

bool LevelWorld::capsuleFits(glm::vec3 centre, float radius, float height) const
{
    btCapsuleShape capsule(radius, std::max(0.0f, height - 2.0f * radius));
    btCollisionObject probe;
    probe.setCollisionShape(&capsule);
    btTransform place;
    place.setIdentity();
    place.setOrigin(btVector3(centre.x, centre.y, centre.z));
    probe.setWorldTransform(place);
    OverlapCounter counter;
    world->contactTest(&probe, counter);
    return counter.deepest > -0.05f;
}

bool LevelWorld::boxFits(glm::vec3 centre, glm::vec3 halfExtents) const
{
    btBoxShape box(btVector3(halfExtents.x, halfExtents.y, halfExtents.z));
    btCollisionObject probe;
    probe.setCollisionShape(&box);
    btTransform place;
    place.setIdentity();
    place.setOrigin(btVector3(centre.x, centre.y, centre.z));
    probe.setWorldTransform(place);
    OverlapCounter counter;
    world->contactTest(&probe, counter);
    return counter.deepest > -0.05f;
}

bool LevelWorld::Reach::contains(float x, float z, float radius) const
{
    for (const Cell& c : cells) {
        float dx = static_cast<float>(c.x) * cellSize - x;
        float dz = static_cast<float>(c.z) * cellSize - z;
        if (dx * dx + dz * dz <= radius * radius) {
            return true;
        }
    }
    return false;
}

LevelWorld::Reach LevelWorld::explore(glm::vec3 start, float radius, bool jumps, float walkStep, float jumpStep, int jumpLength) const
{
    const float capsuleHeight = 3.75f;
    const float ceiling = highCorner.y + 5.0f;
    struct Probe {
        bool hasFloor = false;
        bool standable = false;
        float floorY = 0.0f;
    };
    std::map<std::pair<int, int>, Probe> probes;
    auto probe = [&](int x, int z) -> const Probe& {
        auto key = std::make_pair(x, z);
        auto found = probes.find(key);
        if (found != probes.end()) {
            return found->second;
        }
        Probe p;
        float floorY = 0.0f;
        glm::vec3 top(static_cast<float>(x), ceiling, static_cast<float>(z));
        if (floorBelow(top, floorY)) {
            p.hasFloor = true;
            p.floorY = floorY;
            // A probe wider than the capsule is tall is a sphere; lift it clear of the floor.
            float centreHeight = std::max(capsuleHeight * 0.5f, radius) + (radius > capsuleHeight * 0.5f ? 0.2f : 0.1f);
            p.standable = capsuleFits({top.x, floorY + centreHeight, top.z}, radius, capsuleHeight);
        }
        return probes.emplace(key, p).first->second;
    };

    Reach reach;
    int sx = static_cast<int>(std::lround(start.x));
    int sz = static_cast<int>(std::lround(start.z));
    const Probe& first = probe(sx, sz);
    if (!first.standable) {
        return reach;
    }
    std::map<std::pair<int, int>, bool> seen;
    std::queue<std::pair<int, int>> open;
    open.push({sx, sz});
    seen[{sx, sz}] = true;
    const int directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!open.empty()) {
        auto [x, z] = open.front();
        open.pop();
        const Probe here = probe(x, z);
        reach.cells.push_back({x, z, here.floorY});
        bool nextToNothing = false;
        for (const auto& d : directions) {
            const Probe next = probe(x + d[0], z + d[1]);
            if (!next.hasFloor) {
                nextToNothing = true;
            } else if (next.standable && next.floorY - here.floorY <= walkStep && !seen[{x + d[0], z + d[1]}]) {
                seen[{x + d[0], z + d[1]}] = true;
                open.push({x + d[0], z + d[1]});
            }
            if (!jumps) {
                continue;
            }
            // A straight jump: nothing on the way may rise above the jump's reach.
            for (int length = 2; length <= jumpLength; ++length) {
                const Probe& between = probe(x + d[0] * (length - 1), z + d[1] * (length - 1));
                if (between.hasFloor && between.floorY > here.floorY + jumpStep) {
                    break;
                }
                int tx = x + d[0] * length;
                int tz = z + d[1] * length;
                const Probe& target = probe(tx, tz);
                if (target.standable && target.floorY - here.floorY <= jumpStep && !seen[{tx, tz}]) {
                    seen[{tx, tz}] = true;
                    open.push({tx, tz});
                }
            }
        }
        if (nextToNothing) {
            ++reach.edgesOverNothing;
            if (reach.edgeCells.size() < 5) {
                reach.edgeCells.push_back({x, z, here.floorY});
            }
        }
    }
    return reach;
}

} // namespace fennik::test
