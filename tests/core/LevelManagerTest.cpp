#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"

#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <memory>

using fennik::core::GameSettings;
using fennik::core::LevelManager;

namespace {

struct Counted : fennik::test::CountingLevel {
    using CountingLevel::CountingLevel;
    void init(GLFWwindow*, GameSettings* given) override { ++inits; seen = given; initialized = true; }
    int inits = 0;
    GameSettings* seen = nullptr;
};

class Registry : public ::testing::Test {
protected:
    void SetUp() override { manager.setContext(nullptr, &settings); }
    void TearDown() override { manager.shutdownLevels(), manager.setContext(nullptr, nullptr); }
    LevelManager& manager = LevelManager::instance();
    GameSettings settings;
};

} // namespace

TEST_F(Registry, RegistrationInitialisesOnceAndSetLevelResetsTheFirstLevelOfThatExactName)
{
    auto first = std::make_shared<Counted>("StartMenu"), second = std::make_shared<Counted>("TestLevel");
    auto laterNamesake = std::make_shared<Counted>("TestLevel");
    for (const auto& level : {first, second, laterNamesake, first, std::shared_ptr<Counted>()})
        manager.addLevel(level);
    EXPECT_EQ(first->inits + second->inits, 2);
    EXPECT_EQ(first->seen, &settings);
    EXPECT_EQ(first->resets + second->resets, 0);
    EXPECT_EQ(manager.getActiveLevel(), first);
    EXPECT_EQ(manager.registeredLevels().size(), 4u);

    fennik::test::LogCapture log;
    manager.setLevel("TestLevel");
    EXPECT_EQ(manager.getActiveLevel(), second);
    EXPECT_EQ(log.text(), "[INFO]: Set level: TestLevel active!\n");
    for (const char* near : {"testlevel", "TestLevel ", "TestLeve", "", "Nowhere"})
        manager.setLevel(near);
    EXPECT_EQ(manager.getActiveLevel(), second);
    EXPECT_EQ(log.count("Set level"), 1u);

    // Activating the active level again is how levels restart.
    manager.setLevel("TestLevel");
    EXPECT_EQ(second->resets, 2);
    EXPECT_EQ(first->resets + laterNamesake->resets, 0);
}
