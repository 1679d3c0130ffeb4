#include "physics/Interactable.hpp"

#include "core/GameSettings.hpp"
#include "core/ScriptedInput.hpp"
#include "scene/Scene.hpp"

#include "support/LogCapture.hpp"
#include "support/TestSettings.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <memory>

namespace fennik::physics {
namespace {

using core::ScriptedInput;

class Interaction : public ::testing::Test {
protected:
    void SetUp() override { scene = std::make_unique<scene::Scene>(nullptr, &settings, scene::Scene::PhysicsOnly{}); }

    // One tick as the scene runs it: input first, then the range test.
    void tick(Interactable& interactable, glm::vec3 player)
    {
        interactable.processInput(nullptr);
        interactable.act(player, false);
        input.advance(ScriptedInput::tickSeconds);
    }

    ScriptedInput input;
    core::ScopedInputSource scripted{input};
    core::GameSettings settings = test::gameSettings();
    std::unique_ptr<scene::Scene> scene;
    test::LogCapture log;
};

TEST_F(Interaction, RangeIsInclusiveAndThreeDimensional)
{
    auto note = scene->addInteractable(nullptr, 0.0f, {0, 0, 0}, false, 10.0f, "first");
    note->act({6.0f, 8.0f, 0.0f}, false); // exactly 10 away
    EXPECT_TRUE(note->inRange);
    note->act({6.0f, 8.01f, 0.0f}, false);
    EXPECT_FALSE(note->inRange);
    note->act({0.0f, 10.5f, 0.0f}, false); // height counts here
    EXPECT_FALSE(note->inRange);
}

TEST_F(Interaction, HoldingRTogglesOncePerSecond)
{
    auto note = scene->addInteractable(nullptr, 0.0f, {0, 0, 0}, false, 10.0f, "first");
    input.setTime(5.0);
    note->act({1, 0, 0}, false);
    input.press(GLFW_KEY_R);

    std::vector<int> toggles;
    bool wasActive = note->active;
    for (int t = 0; t < 75; ++t) {
        tick(*note, {1, 0, 0});
        if (note->active != wasActive)
            toggles.push_back(t);
        wasActive = note->active;
    }
    // Open at once; closed again only after strictly more than a second (31 ticks), then open again.
    ASSERT_EQ(toggles.size(), 3u);
    EXPECT_EQ(toggles[0], 0);
    EXPECT_EQ(toggles[1], 31);
    EXPECT_EQ(toggles[2], 62);
    EXPECT_EQ(log.count("[INFO]: I was interacted with\n"), 2u);
}

TEST_F(Interaction, TwoInRangeOpenTogetherAndOutOfRangeStaysOpen)
{
    auto first = scene->addInteractable(nullptr, 0.0f, {0, 0, 0}, false, 10.0f, "bottom");
    auto second = scene->addInteractable(nullptr, 0.0f, {3, 0, 0}, false, 10.0f, "top");
    first->act({1, 0, 0}, false);
    second->act({1, 0, 0}, false);
    input.press(GLFW_KEY_R);
    tick(*first, {1, 0, 0});
    tick(*second, {1, 0, 0});
    EXPECT_TRUE(first->active);
    EXPECT_TRUE(second->active);

    // Walk away, wait out the cooldown and press again: nothing closes.
    input.release(GLFW_KEY_R);
    tick(*first, {50, 0, 0});
    input.advance(2.0);
    input.press(GLFW_KEY_R);
    tick(*first, {50, 0, 0});
    tick(*first, {50, 0, 0});
    EXPECT_FALSE(first->inRange);
    EXPECT_TRUE(first->active);
}

} // namespace
} // namespace fennik::physics
