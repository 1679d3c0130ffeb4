#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"

#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using fennik::core::GameSettings;
using fennik::core::LevelManager;
using fennik::test::LogCapture;

namespace {

class Counted : public fennik::test::CountingLevel {
public:
    using CountingLevel::CountingLevel;
    void init(GLFWwindow*, GameSettings* gameSettings) override
    {
        ++inits;
        given = gameSettings;
        initialized = true;
    }
    int inits = 0;
    GameSettings* given = nullptr;
};

class Registry : public ::testing::Test {
protected:
    void SetUp() override { manager.setContext(nullptr, &settings); }
    void TearDown() override
    {
        manager.shutdownLevels();
        manager.setContext(nullptr, nullptr);
    }
    LevelManager& manager = LevelManager::instance();
    GameSettings settings;
};

} // namespace

TEST_F(Registry, RegistrationInitialisesOnceAndActivatesWithoutReset)
{
    auto first = std::make_shared<Counted>("First");
    auto second = std::make_shared<Counted>("Second");
    manager.addLevel(first);
    manager.addLevel(second);
    manager.addLevel(first);
    manager.addLevel(nullptr);

    EXPECT_EQ(first->inits, 1);
    EXPECT_EQ(second->inits, 1);
    EXPECT_EQ(first->given, &settings);
    EXPECT_EQ(first->resets + second->resets, 0);
    EXPECT_EQ(manager.getActiveLevel(), first);
    EXPECT_EQ(manager.registeredLevels().size(), 3u);
    manager.shutdownLevels();
    EXPECT_TRUE(manager.registeredLevels().empty());
}

TEST_F(Registry, SetLevelFindsAnyLevelByItsExactNameLogsAndResetsIt)
{
    auto menu = std::make_shared<Counted>("StartMenu");
    auto level = std::make_shared<Counted>("TestLevel");
    auto laterNamesake = std::make_shared<Counted>("TestLevel"); // a shared name activates the earlier level
    for (const auto& each : {menu, level, laterNamesake})
        manager.addLevel(each);

    LogCapture log;
    manager.setLevel("TestLevel");
    EXPECT_EQ(manager.getActiveLevel(), level);
    EXPECT_EQ(level->resets, 1);
    EXPECT_EQ(log.text(), "[INFO]: Set level: TestLevel active!\n");

    for (const char* near : {"testlevel", "TestLevel ", "TestLeve", "", "Nowhere"})
        manager.setLevel(near);
    EXPECT_EQ(manager.getActiveLevel(), level);
    EXPECT_EQ(log.count("Set level"), 1u);

    // Activating the active level again is how levels restart.
    manager.setLevel("TestLevel");
    EXPECT_EQ(level->resets, 2);
    EXPECT_EQ(menu->resets + laterNamesake->resets, 0);
}
