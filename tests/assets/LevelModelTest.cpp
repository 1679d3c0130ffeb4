// The level models built into a scene as the levels build them: the meshes they look up
// are there and every body they place rests on solid ground where it is put.

#include "physics/Enemy.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"
#include "support/GLTestContext.hpp"
#include "support/TestSettings.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace fennik;

const std::string rockName = "rock_interactable_Cube.023_BigRock1_1.004";

struct Level {
    const char* file;
    bool skipInteractables, hasRock;
    std::vector<glm::vec3> players; // the start first
    std::vector<std::pair<const char*, glm::vec3>> figures; // model, position
    std::size_t notes;  // red note markers in the model
};

const glm::vec3 menuStart(-3.471045f, 1.915f, 34.187042f), levelStart(0.0f, 1.915f, 24.0f);
const Level levels[] = {
    {"beginning", false, false, {menuStart}, {}, 1},
    {"tutorial", true, true, {menuStart}, {{"dummy", {-16.0f, 1.9f, -25.0f}}, {"dummy2", {21.0f, 1.9f, -49.0f}}}, 3},
    {"firstLevel",
     false,
     false,
     {levelStart},
     {{"enemy", {19.0f, 1.9f, -3.0f}}, {"enemy", {6.0f, 1.9f, -50.0f}}, {"enemy", {10.0f, 1.9f, -20.0f}}},
     1},
    {"secondLevel", true, true, {levelStart}, {{"enemy", {19.0f, 1.9f, -3.0f}}, {"enemy", {6.0f, 1.9f, -50.0f}}}, 0},
    // The end figure appears where the boss stood, the player where the fight ended.
    {"bossRoom",
     true,
     false,
     {levelStart, {6.0f, 1.9f, -20.0f}},
     {{"boss_enemy", {6.0f, 1.9f, -35.0f}}, {"kobbin", {6.0f, 1.9f, -35.0f}}},
     0},
};

class LevelModel : public ::testing::TestWithParam<Level> {};

TEST_P(LevelModel, HasTheMeshesItsLevelLooksUpAndEveryBodyRestsWhereItIsPut)
{
    const Level& level = GetParam();
    ASSERT_NE(test::sharedGLContext(), nullptr);
    core::GameSettings settings = test::gameSettings();
    render::Model model(std::string("assets/models/") + level.file + ".obj"), fennik("assets/models/Fennik.obj");

    // Every note is marked by a red mesh, and no marker gets in the way.
    std::size_t markers = 0;
    for (const auto& mesh : model.meshes) {
        markers += mesh.name.find("note") != std::string::npos;
        EXPECT_FALSE(mesh.name.find("note") != std::string::npos && mesh.name.find("solid") != std::string::npos)
            << mesh.name;
    }
    EXPECT_EQ(markers, level.notes);
    EXPECT_EQ(model.findMesh(rockName) != nullptr, level.hasRock);

    // Each body alone in the level as the level places it: resting on the floor is
    // standing still; floating falls, sinking into the floor or a wall is pushed out.
    auto rests = [&](const std::string& what, auto place) {
        scene::Scene alone(nullptr, &settings, scene::Scene::PhysicsOnly{});
        alone.addLevelGeometry(model, level.skipInteractables);
        const btRigidBody& body = *place(alone)->body;
        const btVector3 start = body.getWorldTransform().getOrigin();
        for (int tick = 0; tick < 30; ++tick)
            alone.stepPhysics();
        EXPECT_LT(body.getWorldTransform().getOrigin().distance(start), 0.3f)
            << what << " does not rest where it is put";
    };
    for (glm::vec3 start : level.players)
        rests("the player",
              [&](scene::Scene& s) { return s.createPlayer(&fennik.meshes.front(), 11.0f, start, false); });
    for (const auto& [file, position] : level.figures) {
        render::Model figure(std::string("assets/models/") + file + ".obj");
        rests(file, [&](scene::Scene& s) { return s.addEnemy(&figure.meshes.front(), 20.0f, position, false); });
    }
    if (level.hasRock)
        rests("the rock", [&](scene::Scene& s) {
            return s.addInteractable(model.findMesh(rockName), 15.0f, {0, 0, 0}, false, 0.0f, "default");
        });
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelModel, ::testing::ValuesIn(levels),
                         [](const auto& info) { return std::string(info.param.file); });

} // namespace
