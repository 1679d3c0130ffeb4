// The level models built into a scene as the levels build them (the game's Model,
// Scene and entities on a real Bullet world): the meshes they look up are there, every
// body they place rests where it is put, and the way out can be walked and jumped.

#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"
#include "support/GLTestContext.hpp"
#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <queue>

namespace {

using namespace fennik;

const std::string rockName = "rock_interactable_Cube.023_BigRock1_1.004";

struct Level {
    const char* file;
    bool skipInteractables, hasRock, needsJumps, closed; // closed: nowhere to fall
    std::vector<glm::vec3> players; // the start first
    std::vector<std::pair<const char*, glm::vec3>> figures; // model, position
    std::size_t notes;  // red note markers in the model
    float endZ, backZ; // the level is left at z <= endZ or z >= backZ
};

const glm::vec3 menuStart(-3.471045f, 1.915f, 34.187042f), levelStart(0.0f, 1.915f, 24.0f);
const Level levels[] = {
    {"beginning", false, false, false, true, {menuStart}, {}, 1, -45.0f, 1e9f},
    {"tutorial", true, true, true, false, {menuStart}, {{"dummy", {-14.0f, 1.9f, 29.0f}}, {"dummy2", {21.0f, 1.9f, -49.0f}}},
     3, -60.0f, 50.0f},
    {"firstLevel", false, false, false, true, {levelStart},
     {{"enemy", {19.0f, 1.9f, -3.0f}}, {"enemy", {6.0f, 1.9f, -50.0f}}, {"enemy", {10.0f, 1.9f, -20.0f}}},
     1, -60.0f, 1e9f},
    {"secondLevel", true, true, true, false, {levelStart}, {{"enemy", {19.0f, 1.9f, -3.0f}}, {"enemy", {6.0f, 1.9f, -50.0f}}}, 0, -70.0f, 1e9f},
    // The end figure appears where the boss stood, the player where the fight ended.
    {"bossRoom", true, false, false, true, {levelStart, {6.0f, 1.9f, -20.0f}}, {{"boss_enemy", {6.0f, 1.9f, -35.0f}}, {"kobbin", {6.0f, 1.9f, -35.0f}}}, 0, -1e9f, 1e9f},
};

// Walks a grid of 1-unit cells from `start` with the player's capsule: a step climbs up
// to 0.55; with `jumps`, a straight jump of up to 7 cells climbs up to 1. Gives x, floor
// y and z of every cell reached, and how many of them lie next to a cell with no floor.
std::pair<std::vector<glm::vec3>, int> explore(btCollisionWorld& world, glm::vec3 start, bool jumps)
{
    std::map<std::pair<int, int>, std::pair<std::optional<float>, bool>> probes; // floor, standable
    auto probe = [&](int x, int z) {
        if (!probes.count({x, z})) {
            btCollisionWorld::ClosestRayResultCallback hit(btVector3(x, 60, z), btVector3(x, -10, z));
            world.rayTest(hit.m_rayFromWorld, hit.m_rayToWorld, hit);
            struct : btCollisionWorld::ContactResultCallback {
                float deepest = 0.0f;
                btScalar addSingleResult(btManifoldPoint& p, const btCollisionObjectWrapper*, int, int, const btCollisionObjectWrapper*, int, int) override
                {
                    return deepest = std::min(deepest, p.getDistance());
                }
            } overlap;
            btCapsuleShape capsule(1.5f, 0.75f);
            btCollisionObject body;
            body.setCollisionShape(&capsule);
            body.getWorldTransform().setOrigin(btVector3(x, hit.m_hitPointWorld.y() + 1.975f, z));
            if (hit.hasHit())
                world.contactTest(&body, overlap);
            probes[{x, z}] = {hit.hasHit() ? std::optional(hit.m_hitPointWorld.y()) : std::nullopt, hit.hasHit() && overlap.deepest > -0.05f};
        }
        return probes[{x, z}];
    };
    std::vector<glm::vec3> cells;
    int edges = 0;
    std::map<std::pair<int, int>, bool> seen;
    std::queue<std::pair<int, int>> open;
    for (open.push({std::lround(start.x), std::lround(start.z)}); !open.empty(); open.pop()) {
        const auto [x, z] = open.front();
        const auto [floor, standable] = probe(x, z);
        if (!standable || std::exchange(seen[{x, z}], true))
            continue;
        cells.emplace_back(x, *floor, z);
        bool edge = false;
        for (auto [dx, dz] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            edge = edge || !probe(x + dx, z + dz).first;
            for (int length = 1; length <= (jumps ? 7 : 1); ++length) {
                const auto [next, fits] = probe(x + dx * length, z + dz * length);
                if (next && *next > *floor + 1.0f)
                    break; // a wall in the way
                if (fits && *next - *floor <= (length == 1 ? 0.55f : 1.0f))
                    open.push({x + dx * length, z + dz * length});
            }
        }
        edges += edge;
    }
    return {cells, edges};
}

void PrintTo(const Level& level, std::ostream* out)
{
    *out << level.file;
}

class LevelModel : public ::testing::TestWithParam<Level> {};

TEST_P(LevelModel, HasItsMeshesRestsEveryBodyWhereItIsPutAndCanBeLeft)
{
    const Level& level = GetParam();
    ASSERT_NE(test::sharedGLContext(), nullptr);
    core::GameSettings settings = test::gameSettings();
    render::Model model(std::string("assets/models/") + level.file + ".obj"), fennik("assets/models/Fennik.obj");
    ASSERT_GT(model.meshes.size(), 10u);
    scene::Scene scene(nullptr, &settings, scene::Scene::PhysicsOnly{});
    scene.addLevelGeometry(model, level.skipInteractables);

    // Every note is marked by a red mesh, and no marker gets in the way.
    std::size_t markers = 0;
    for (const auto& mesh : model.meshes) {
        const bool marker = mesh.name.find("note") != std::string::npos;
        markers += marker;
        EXPECT_FALSE(marker && mesh.name.find("solid") != std::string::npos) << mesh.name;
    }
    EXPECT_EQ(markers, level.notes);
    EXPECT_EQ(model.findMesh(rockName) != nullptr, level.hasRock);

    const auto walking = explore(*scene.dynamicsWorld, level.players.front(), false).first;
    const auto [jumping, edges] = explore(*scene.dynamicsWorld, level.players.front(), true);
    auto reaches = [](const std::vector<glm::vec3>& cells, auto wanted) { return std::any_of(cells.begin(), cells.end(), wanted); };
    ASSERT_FALSE(jumping.empty()) << "the start is blocked";
    const auto exits = [&](glm::vec3 c) { return c.z <= level.endZ; };
    if (level.endZ > -1e9f) {
        EXPECT_TRUE(reaches(jumping, exits)) << "the way out cannot be reached";
        EXPECT_EQ(reaches(walking, exits), !level.needsJumps) << "the way out is walked only where no chasm lies across it";
    }
    EXPECT_TRUE(level.backZ == 1e9f || reaches(jumping, [&](glm::vec3 c) { return c.z >= level.backZ; })) << "the way back cannot be reached";
    EXPECT_EQ(edges == 0, level.closed) << "the player can fall off an edge only where the level has chasms";

    // Each body alone in the level as the level places it: resting on the floor is
    // standing still; floating falls, sinking into the floor or a wall is pushed out.
    auto rests = [&](const std::string& what, auto place) {
        scene::Scene alone(nullptr, &settings, scene::Scene::PhysicsOnly{});
        alone.addLevelGeometry(model, level.skipInteractables);
        const btRigidBody& body = *place(alone)->body;
        const btVector3 start = body.getWorldTransform().getOrigin();
        for (int tick = 0; tick < 30; ++tick)
            alone.stepPhysics();
        EXPECT_LT(body.getWorldTransform().getOrigin().distance(start), 0.3f) << what << " does not rest where it is put";
    };
    for (glm::vec3 start : level.players)
        rests("the player", [&](scene::Scene& s) { return s.createPlayer(&fennik.meshes.front(), 11.0f, start, false); });
    for (const auto& [file, position] : level.figures) {
        render::Model figure(std::string("assets/models/") + file + ".obj");
        rests(file, [&](scene::Scene& s) { return s.addEnemy(&figure.meshes.front(), 20.0f, position, false); });
    }
    if (level.hasRock)
        rests("the rock", [&](scene::Scene& s) { return s.addInteractable(model.findMesh(rockName), 15.0f, {0, 0, 0}, false, 0.0f, "default"); });
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelModel, ::testing::ValuesIn(levels), [](const auto& info) { return std::string(info.param.file); });

} // namespace
