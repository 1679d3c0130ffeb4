#include "GameHarness.hpp"

#include "levels/TestLevel.hpp"
#include "physics/Player.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

using fennik::test::sharedGame;

TEST(GameStart, OpensOnTheStartMenuAndStartGameLeadsToTheTestLevel)
{
    auto& harness = sharedGame();
    EXPECT_EQ(harness.activeName(), "StartMenu");
    harness.tick(3);
    harness.clickAt(400.0f, 370.0f);
    EXPECT_EQ(harness.activeName(), "TestLevel");

    auto& level = harness.level<fennik::levels::TestLevel>("TestLevel");
    harness.tick(30);
    auto& player = *level.getScene().player;
    player.getModelMatrix();
    EXPECT_NEAR(player.position.y, 1.915f, 0.1f);
}
