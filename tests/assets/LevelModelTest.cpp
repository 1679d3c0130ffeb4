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
#include <queue>

namespace {

using namespace fennik;

const std::string rockName = "rock_interactable_Cube.023_BigRock1_1.004";

struct Level {
    const char* file;
    bool skipInteractables, hasRock, needsJumps, closed; // closed: nowhere to fall
    std::vector<glm::vec3> players; // the start first
    std::vector<std::pair<const char*, glm::vec3>> figures; // model, position
    std::vector<glm::vec3> notes;
    float endZ, backZ; // the level is left at z <= endZ or z >= backZ
};

const glm::vec3 menuStart(-3.471045f, 1.915f, 34.187042f), levelStart(0.0f, 1.915f, 24.0f);
const Level levels[] = {
    {"beginning", false, false, false, true, {menuStart}, {}, {{-11.263f, 4.536f, 31.803f}}, -45.0f, 1e9f},
    {"tutorial", true, true, true, false, {menuStart}, {{"dummy", {-14.0f, 1.9f, 29.0f}}, {"dummy2", {21.0f, 1.9f, -49.0f}}},
     {{-4.4f, 1.9f, 22.6f}, {20.0f, 1.9f, -21.7f}, {-3.47f, 1.9f, -21.8f}}, -60.0f, 50.0f},
    {"firstLevel", false, false, false, true, {levelStart},
     {{"enemy", {19.0f, 1.9f, -3.0f}}, {"enemy", {6.0f, 1.9f, -50.0f}}, {"enemy", {10.0f, 1.9f, -20.0f}}},
     {{-14.263f, 1.136f, 19.3f}}, -60.0f, 1e9f},
    {"secondLevel", true, true, true, false, {levelStart}, {{"enemy", {19.0f, 1.9f, -3.0f}}, {"enemy", {6.0f, 1.9f, -50.0f}}}, {}, -70.0f, 1e9f},
    // The end figure appears where the boss stood, the player where the fight ended.
    {"bossRoom", true, false, false, true, {levelStart, {6.0f, 1.9f, -20.0f}}, {{"boss_enemy", {6.0f, 1.9f, -35.0f}}, {"kobbin", {6.0f, 1.9f, -35.0f}}}, {}, -1e9f, 1e9f},
};

struct Reach {
    std::vector<glm::vec3> cells; // x, floor y, z of every standable cell the player gets to
    int edges = 0;                // of them, cells next to a cell with no floor at all
};

// Walks a grid of 1-unit cells from `start` with the player's capsule: a step climbs up
// to 0.55; with `jumps`, a straight jump of up to 7 cells climbs up to 1.
Reach explore(btCollisionWorld& world, glm::vec3 start, bool jumps)
{
    struct Probe {
        bool floor = false, standable = false;
        float y = 0.0f;
    };
    std::map<std::pair<int, int>, Probe> probes;
    auto probe = [&](int x, int z) {
        if (auto found = probes.find({x, z}); found != probes.end())
            return found->second;
        Probe p;
        btCollisionWorld::ClosestRayResultCallback hit(btVector3(x, 60, z), btVector3(x, -10, z));
        world.rayTest(hit.m_rayFromWorld, hit.m_rayToWorld, hit);
        if ((p.floor = hit.hasHit())) {
            p.y = hit.m_hitPointWorld.y();
            btCapsuleShape capsule(1.5f, 0.75f);
            btCollisionObject body;
            body.setCollisionShape(&capsule);
            body.getWorldTransform().setOrigin(btVector3(x, p.y + 1.975f, z));
            struct : btCollisionWorld::ContactResultCallback {
                float deepest = 0.0f;
                btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper*, int, int, const btCollisionObjectWrapper*, int, int) override
                {
                    deepest = std::min(deepest, point.getDistance());
                    return 0;
                }
            } overlap;
            world.contactTest(&body, overlap);
            p.standable = overlap.deepest > -0.05f;
        }
        return probes[{x, z}] = p;
    };
    Reach reach;
    std::map<std::pair<int, int>, bool> seen{{{std::lround(start.x), std::lround(start.z)}, true}};
    std::queue<std::pair<int, int>> open;
    if (probe(std::lround(start.x), std::lround(start.z)).standable)
        open.push(seen.begin()->first);
    for (; !open.empty(); open.pop()) {
        const auto [x, z] = open.front();
        const Probe here = probe(x, z);
        reach.cells.emplace_back(x, here.y, z);
        bool edge = false;
        for (auto [dx, dz] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            edge = edge || !probe(x + dx, z + dz).floor;
            for (int length = 1; length <= (jumps ? 7 : 1); ++length) {
                const Probe next = probe(x + dx * length, z + dz * length);
                if (next.floor && next.y > here.y + 1.0f)
                    break; // a wall in the way
                if (next.standable && next.y - here.y <= (length == 1 ? 0.55f : 1.0f) && !seen[{x + dx * length, z + dz * length}]) {
                    seen[{x + dx * length, z + dz * length}] = true;
                    open.push({x + dx * length, z + dz * length});
                }
            }
        }
        reach.edges += edge;
    }
    return reach;
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
    EXPECT_EQ(markers, level.notes.size());
    EXPECT_EQ(model.findMesh(rockName) != nullptr, level.hasRock);

    const Reach walking = explore(*scene.dynamicsWorld, level.players.front(), false), jumping = explore(*scene.dynamicsWorld, level.players.front(), true);
    auto reaches = [](const Reach& reach, auto wanted) { return std::any_of(reach.cells.begin(), reach.cells.end(), wanted); };
    ASSERT_FALSE(jumping.cells.empty()) << "the start is blocked";
    const auto exits = [&](glm::vec3 c) { return c.z <= level.endZ; };
    if (level.endZ > -1e9f) {
        EXPECT_TRUE(reaches(jumping, exits)) << "the way out cannot be reached";
        EXPECT_EQ(reaches(walking, exits), !level.needsJumps) << "the way out is walked only where no chasm lies across it";
    }
    if (level.backZ < 1e9f) {
        EXPECT_TRUE(reaches(jumping, [&](glm::vec3 c) { return c.z >= level.backZ; })) << "the way back cannot be reached";
    }
    EXPECT_EQ(jumping.edges == 0, level.closed) << "the player can fall off an edge only where the level has chasms";
    for (glm::vec3 note : level.notes)
        EXPECT_TRUE(reaches(jumping, [&](glm::vec3 c) { return glm::distance(c + glm::vec3(0, 1.875f, 0), note) <= 10.0f; }))
            << "a note out of reading range everywhere";


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
        EXPECT_TRUE(reaches(jumping, [&](glm::vec3 c) { return glm::distance(glm::vec2(c.x, c.z), glm::vec2(position.x, position.z)) <= 4.5f; }))
            << file << " cannot be reached to jump on";
    }
    if (level.hasRock)
        rests("the rock", [&](scene::Scene& s) { return s.addInteractable(model.findMesh(rockName), 15.0f, {0, 0, 0}, false, 0.0f, "default"); });
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelModel, ::testing::ValuesIn(levels), [](const auto& info) { return std::string(info.param.file); });

} // namespace
