#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "core/StubLevel.hpp"

#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using fennik::core::GameSettings;
using fennik::core::LevelManager;
using fennik::test::LogCapture;

namespace {

// Records every call the registry makes into a shared journal.
class JournalLevel : public fennik::test::CountingLevel {
public:
    JournalLevel(std::string name, std::vector<std::string>& journal) : CountingLevel(std::move(name)), journal(journal)
    {
    }

    void init(GLFWwindow* window, GameSettings* gameSettings) override
    {
        record("init");
        this->window = window;
        settings = gameSettings;
        initialized = true;
    }
    void reset() override { record("reset"); }
    void update() override
    {
        record("update");
        if (onUpdate)
            onUpdate();
    }
    void processInput() override { record("processInput"); }
    void render() override { record("render"); }
    void cleanup() override { record("cleanup"); }

    GameSettings* storedSettings() const { return settings; }
    std::function<void()> onUpdate;

private:
    void record(const std::string& what) { journal.push_back(name + "." + what); }
    std::vector<std::string>& journal;
};

class Registry : public ::testing::Test {
protected:
    LevelManager& manager = LevelManager::instance();
    std::vector<std::string> journal;
    GameSettings settings;

    void SetUp() override { manager.setContext(nullptr, &settings); }
    void TearDown() override
    {
        manager.shutdownLevels();
        manager.setContext(nullptr, nullptr);
    }
    std::shared_ptr<JournalLevel> make(const std::string& name)
    {
        return std::make_shared<JournalLevel>(name, journal);
    }
};

} // namespace

TEST_F(Registry, RegistrationInitialisesOnceActivatesWithoutResetAndKeepsDuplicates)
{
    auto first = make("First");
    auto second = make("Second");
    manager.addLevel(first);
    manager.addLevel(second);
    manager.addLevel(first);
    manager.addLevel(nullptr);

    EXPECT_EQ(journal, (std::vector<std::string>{"First.init", "Second.init"}));
    EXPECT_EQ(manager.registeredLevels().size(), 3u);
    EXPECT_EQ(manager.getActiveLevel(), first);
    EXPECT_EQ(first->storedSettings(), &settings);

    journal.clear();
    manager.shutdownLevels();
    EXPECT_EQ(journal, (std::vector<std::string>{"First.cleanup", "Second.cleanup", "First.cleanup"}));
    EXPECT_TRUE(manager.registeredLevels().empty());
}

TEST_F(Registry, SetLevelMatchesExactlyLogsAndResets)
{
    auto menu = make("StartMenu");
    auto test = make("TestLevel");
    auto laterNamesake = make("StartMenu"); // a shared name activates the earlier level
    manager.addLevel(menu);
    manager.addLevel(test);
    manager.addLevel(laterNamesake);
    journal.clear();

    LogCapture log;
    manager.setLevel("StartMenu");
    EXPECT_EQ(manager.getActiveLevel(), menu);
    EXPECT_EQ(log.text(), "[INFO]: Set level: StartMenu active!\n");
    EXPECT_EQ(journal, (std::vector<std::string>{"StartMenu.reset"}));

    for (const char* near : {"startmenu", "StartMenu ", "StartMen", "", "Nowhere"})
        manager.setLevel(near);
    EXPECT_EQ(manager.getActiveLevel(), menu);
    EXPECT_EQ(log.count("Set level"), 1u);

    // Activating the active level again is how levels restart.
    manager.setLevel("StartMenu");
    EXPECT_EQ(log.count("Set level"), 2u);
    EXPECT_EQ(journal, (std::vector<std::string>{"StartMenu.reset", "StartMenu.reset"}));
}

TEST_F(Registry, SeveralSwitchesInOneUpdateAreAllCarriedOutAndTheLastWins)
{
    auto a = make("A");
    auto b = make("B");
    auto c = make("C");
    manager.addLevel(a);
    manager.addLevel(b);
    manager.addLevel(c);
    manager.setLevel("A");
    a->onUpdate = [this] {
        manager.setLevel("B");
        manager.setLevel("C");
    };
    journal.clear();
    LogCapture log;
    manager.getActiveLevel()->update();
    EXPECT_EQ(manager.getActiveLevel(), c);
    EXPECT_EQ(journal, (std::vector<std::string>{"A.update", "B.reset", "C.reset"}));
}

TEST_F(Registry, StubLevelAnnouncesItselfAndIgnoresItsArguments)
{
    LogCapture log;
    auto stub = std::make_shared<fennik::core::StubLevel>("StubLevel");
    manager.addLevel(stub);
    EXPECT_EQ(log.text(), "[INFO]: Default 'stub' level initialized!\n");
    EXPECT_TRUE(stub->initialized);
    EXPECT_EQ(manager.getActiveLevel(), stub);
}
