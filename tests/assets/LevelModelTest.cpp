// The level models against what the levels expect of them: mesh names, where bodies are
// placed, what the player can reach, where the player can fall.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "AssetTestSupport.hpp"

namespace fennik::test {
namespace {

constexpr float capsuleHalfHeight = 1.875f; // the player's capsule: radius 1.5, 3.75 tall
constexpr float noteHalfExtent = 0.25f;     // interactables without a mesh are 0.5 boxes

enum class Body { Player, Note, Figure };

struct Placement {
    std::string what;
    glm::vec3 position;
    Body body;
    std::string model; // for figures: the model whose first mesh is placed
};

struct LevelCase {
    std::string file;
    bool skipInteractable;
    std::vector<Placement> placements;
    float endZ;                      // the level is left at z at most this
    std::optional<float> backZ;      // or at z at least this (tutorial back to the test level)
    bool needsJumps;                 // chasms lie between start and end
    bool closed;                     // nowhere to fall
    bool hasRock;
};

void PrintTo(const LevelCase& level, std::ostream* out)
{
    *out << level.file;
}

const std::string rockName = "rock_interactable_Cube.023_BigRock1_1.004";

std::vector<LevelCase> levelCases()
{
    const glm::vec3 menuStart(-3.471045f, 1.915f, 34.187042f);
    const glm::vec3 levelStart(0.0f, 1.915f, 24.0f);
    return {
        {"beginning", false,
         {{"player", menuStart, Body::Player, ""}, {"note", {-11.263f, 4.536f, 31.803f}, Body::Note, ""}},
         -45.0f, std::nullopt, false, true, false},
        {"tutorial", true,
         {{"player", menuStart, Body::Player, ""},
          {"first dummy", {-14.0f, 1.9f, 29.0f}, Body::Figure, "dummy"},
          {"second dummy", {21.0f, 1.9f, -49.0f}, Body::Figure, "dummy2"},
          {"first note", {-4.4f, 1.9f, 22.6f}, Body::Note, ""},
          {"bottom note", {20.0f, 1.9f, -21.7f}, Body::Note, ""},
          {"top note", {-3.47f, 1.9f, -21.8f}, Body::Note, ""}},
         -60.0f, 50.0f, true, false, true},
        {"firstLevel", false,
         {{"player", levelStart, Body::Player, ""},
          {"enemy 1", {19.0f, 1.9f, -3.0f}, Body::Figure, "enemy"},
          {"enemy 2", {6.0f, 1.9f, -50.0f}, Body::Figure, "enemy"},
          {"enemy 3", {10.0f, 1.9f, -20.0f}, Body::Figure, "enemy"},
          {"note", {-14.263f, 1.136f, 19.3f}, Body::Note, ""}},
         -60.0f, std::nullopt, false, true, false},
        {"secondLevel", true,
         {{"player", levelStart, Body::Player, ""},
          {"enemy 1", {19.0f, 1.9f, -3.0f}, Body::Figure, "enemy"},
          {"enemy 2", {6.0f, 1.9f, -50.0f}, Body::Figure, "enemy"}},
         -70.0f, std::nullopt, true, false, true},
        {"bossRoom", true,
         {{"player", levelStart, Body::Player, ""},
          {"boss", {6.0f, 1.9f, -35.0f}, Body::Figure, "boss_enemy"},
          {"player after the boss", {6.0f, 1.9f, -20.0f}, Body::Player, ""},
          {"end figure", {6.0f, 1.9f, -35.0f}, Body::Figure, "kobbin"}},
         -1000.0f, std::nullopt, false, true, false},
    };
}

std::string modelPath(const std::string& name)
{
    return "assets/models/" + name + ".obj";
}

// Lowest point and bounding box of a placed body, as the game builds it.
struct PlacedBody {
    float lowest;
    glm::vec3 centre;
    glm::vec3 halfExtents;
};

PlacedBody placed(const Placement& p)
{
    switch (p.body) {
    case Body::Player:
        return {p.position.y - capsuleHalfHeight, p.position, {1.5f, capsuleHalfHeight, 1.5f}};
    case Body::Note:
        return {p.position.y - noteHalfExtent, p.position, glm::vec3(noteHalfExtent)};
    case Body::Figure: {
        ImportedModel figure = importModel(modelPath(p.model));
        if (!figure.scene || figure.scene->mNumMeshes == 0) {
            ADD_FAILURE() << "cannot load " << p.model;
            return {p.position.y, p.position, glm::vec3(0.1f)};
        }
        // A figure's triangle-mesh shape carries its vertices around the body's origin.
        glm::vec3 lo = minCorner(*figure.scene->mMeshes[0]) + p.position;
        glm::vec3 hi = maxCorner(*figure.scene->mMeshes[0]) + p.position;
        return {lo.y, (lo + hi) * 0.5f, (hi - lo) * 0.5f};
    }
    }
    return {p.position.y, p.position, glm::vec3(0.1f)};
}

class LevelModelTest : public ::testing::TestWithParam<LevelCase> {
protected:
    void SetUp() override
    {
        model = importModel(modelPath(GetParam().file));
        ASSERT_NE(model.scene, nullptr) << GetParam().file;
        world = std::make_unique<LevelWorld>(*model.scene, GetParam().skipInteractable);
    }

    glm::vec3 start() const { return GetParam().placements.front().position; }

    ImportedModel model;
    std::unique_ptr<LevelWorld> world;
};

TEST_P(LevelModelTest, ImportsCleanlyWithinTheMeshBudget)
{
    EXPECT_TRUE(model.errors.empty()) << model.errors.front();
    EXPECT_GT(model.scene->mNumMeshes, 10u);
    EXPECT_LE(model.scene->mNumMeshes, 200u);
    for (unsigned i = 0; i < model.scene->mNumMeshes; ++i) {
        EXPECT_GT(model.scene->mMeshes[i]->mNumVertices, 0u) << model.scene->mMeshes[i]->mName.C_Str();
    }
}

TEST_P(LevelModelTest, MeshNamesChooseTheIntendedLooks)
{
    bool anySolid = false;
    for (const std::string& name : model.meshNames()) {
        // A name matching none of the look rules gets random metal and roughness values.
        bool chosen = name.find("rough") != std::string::npos || name.find("metallic") != std::string::npos
                      || name.find("note") != std::string::npos || name == rockName;
        EXPECT_TRUE(chosen) << name;
        EXPECT_NE(name, "Cube");
        EXPECT_NE(name, "Sphere") << "a mesh named Sphere collides as a box";
        anySolid = anySolid || name.find("solid") != std::string::npos;
    }
    EXPECT_TRUE(anySolid);
    EXPECT_EQ(model.mesh(rockName) != nullptr, GetParam().hasRock);
}

TEST_P(LevelModelTest, EveryNoteHasItsRedMarkerAndNoOtherMeshIsRed)
{
    std::vector<const Placement*> notes;
    for (const Placement& p : GetParam().placements) {
        if (p.body == Body::Note) {
            notes.push_back(&p);
        }
    }
    size_t markers = 0;
    for (unsigned i = 0; i < model.scene->mNumMeshes; ++i) {
        const aiMesh& mesh = *model.scene->mMeshes[i];
        std::string name = mesh.mName.C_Str();
        if (name.find("note") == std::string::npos) {
            continue;
        }
        ++markers;
        glm::vec3 lo = minCorner(mesh);
        glm::vec3 hi = maxCorner(mesh);
        bool marksANote = false;
        for (const Placement* note : notes) {
            glm::vec3 n = note->position;
            marksANote = marksANote || (n.x > lo.x - 0.5f && n.x < hi.x + 0.5f && n.z > lo.z - 0.5f && n.z < hi.z + 0.5f && n.y > lo.y - 0.5f && n.y < hi.y);
        }
        EXPECT_TRUE(marksANote) << name << " stands where no note is";
        EXPECT_EQ(name.find("solid"), std::string::npos) << name;
    }
    EXPECT_EQ(markers, notes.size());
}

TEST_P(LevelModelTest, PlacementsStandOnSolidGround)
{
    for (const Placement& p : GetParam().placements) {
        PlacedBody body = placed(p);
        float floorY = 0.0f;
        ASSERT_TRUE(world->floorBelow({p.position.x, body.lowest + 0.5f, p.position.z}, floorY)) << p.what << " has nothing below it";
        // Bullet pads convex shapes with a 0.04 margin, so the floor reads a little high.
        EXPECT_LE(floorY, body.lowest + 0.06f) << p.what << " is sunk into the floor";
        EXPECT_GE(floorY, body.lowest - 0.2f) << p.what << " floats above the floor";
    }
}

TEST_P(LevelModelTest, PlacementsOverlapNoWallOrObstacle)
{
    for (const Placement& p : GetParam().placements) {
        PlacedBody body = placed(p);
        if (p.body == Body::Player) {
            EXPECT_TRUE(world->capsuleFits(p.position + glm::vec3(0.0f, 0.05f, 0.0f), 1.5f, 3.75f)) << p.what;
        } else {
            // Slightly shrunk and lifted: resting on the floor is fine, poking into a wall is not.
            glm::vec3 half = glm::max(body.halfExtents - glm::vec3(0.1f), glm::vec3(0.05f));
            EXPECT_TRUE(world->boxFits(body.centre + glm::vec3(0.0f, 0.12f, 0.0f), half)) << p.what;
        }
    }
}

TEST_P(LevelModelTest, TheWayOutCanBeWalkedThroughPassagesFiveWide)
{
    const LevelCase& level = GetParam();
    // A probe 5 units across must get through: the passages are at least that wide.
    LevelWorld::Reach wide = world->explore(start(), 2.5f, true);
    ASSERT_FALSE(wide.cells.empty()) << "the start is blocked";
    if (level.endZ > -999.0f) {
        bool reachesEnd = false;
        for (const auto& cell : wide.cells) {
            reachesEnd = reachesEnd || static_cast<float>(cell.z) <= level.endZ;
        }
        EXPECT_TRUE(reachesEnd) << "z " << level.endZ << " cannot be reached";
    }
    if (level.backZ) {
        bool reachesBack = false;
        for (const auto& cell : wide.cells) {
            reachesBack = reachesBack || static_cast<float>(cell.z) >= *level.backZ;
        }
        EXPECT_TRUE(reachesBack) << "z " << *level.backZ << " cannot be reached";
    }
}

TEST_P(LevelModelTest, ChasmsMustBeJumpedWhereTheLevelHasThem)
{
    const LevelCase& level = GetParam();
    LevelWorld::Reach walking = world->explore(start(), 1.5f, false);
    bool walksToEnd = false;
    for (const auto& cell : walking.cells) {
        walksToEnd = walksToEnd || static_cast<float>(cell.z) <= level.endZ;
    }
    if (level.endZ > -999.0f) {
        EXPECT_EQ(walksToEnd, !level.needsJumps);
    }
    if (level.closed) {
        LevelWorld::Reach jumping = world->explore(start(), 1.5f, true);
        EXPECT_EQ(jumping.edgesOverNothing, 0) << "the player can walk off an edge, for example at (" << (jumping.edgeCells.empty() ? 0 : jumping.edgeCells[0].x)
                                               << ", " << (jumping.edgeCells.empty() ? 0.0f : jumping.edgeCells[0].floorY) << ", "
                                               << (jumping.edgeCells.empty() ? 0 : jumping.edgeCells[0].z) << ")";
    } else {
        EXPECT_GT(walking.edgesOverNothing, 0) << "a level with chasms shows no edge to fall from";
    }
}

TEST_P(LevelModelTest, EveryEnemyAndNoteCanBeReached)
{
    LevelWorld::Reach reach = world->explore(start(), 1.5f, true);
    for (const Placement& p : GetParam().placements) {
        if (p.body == Body::Figure) {
            // Close enough to jump on it.
            EXPECT_TRUE(reach.contains(p.position.x, p.position.z, 4.5f)) << p.what;
        } else if (p.body == Body::Note) {
            bool inRange = false;
            for (const auto& cell : reach.cells) {
                glm::vec3 centre(static_cast<float>(cell.x), cell.floorY + capsuleHalfHeight, static_cast<float>(cell.z));
                inRange = inRange || glm::length(centre - p.position) <= 10.0f;
            }
            EXPECT_TRUE(inRange) << p.what << " is out of reading range everywhere";
        } else {
            EXPECT_TRUE(reach.contains(p.position.x, p.position.z, 1.0f)) << p.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelModelTest, ::testing::ValuesIn(levelCases()),
                         [](const ::testing::TestParamInfo<LevelCase>& info) { return info.param.file; });

TEST(PushableRock, RestsOnTheFloorWhereItLies)
{
    for (const std::string file : {"tutorial", "secondLevel"}) {
        ImportedModel model = importModel(modelPath(file));
        ASSERT_NE(model.scene, nullptr);
        const aiMesh* rock = model.mesh(rockName);
        ASSERT_NE(rock, nullptr) << file;
        // The level geometry of these levels skips the rock; the rock is a body of its own.
        LevelWorld world(*model.scene, true);
        glm::vec3 lo = minCorner(*rock);
        glm::vec3 hi = maxCorner(*rock);
        glm::vec3 middle = (lo + hi) * 0.5f;
        float floorY = 0.0f;
        ASSERT_TRUE(world.floorBelow({middle.x, lo.y + 0.5f, middle.z}, floorY)) << file;
        EXPECT_NEAR(floorY, lo.y, 0.1f) << file;
        EXPECT_TRUE(world.boxFits(middle + glm::vec3(0.0f, 0.15f, 0.0f), (hi - lo) * 0.5f - glm::vec3(0.1f))) << file;
        // Not a wall: the player can get round it.
        EXPECT_LT(hi.x - lo.x, 4.0f);
        EXPECT_LT(hi.z - lo.z, 4.0f);
    }
}

} // namespace
} // namespace fennik::test
