#include "app/FenniksZavororor.hpp"

#include "core/LevelManager.hpp"
#include "gui/MenuPages.hpp"
#include "levels/LevelBoss.hpp"
#include "levels/LevelOne.hpp"
#include "levels/LevelTwo.hpp"
#include "levels/StartMenu.hpp"
#include "levels/TestLevel.hpp"
#include "levels/TutorialLevel.hpp"

namespace fennik::app {

namespace {
constexpr int levelCount = 6;
}

FenniksZavororor::FenniksZavororor(const std::string& title) : GameBase(title) {}

FenniksZavororor::~FenniksZavororor() = default;

void FenniksZavororor::init()
{
    pages = std::make_shared<gui::MenuPages>();
    levelTest = std::make_shared<levels::TestLevel>("TestLevel", pages);
    levelStartMenu = std::make_shared<levels::StartMenu>("StartMenu", pages);
    levelTutorial = std::make_shared<levels::TutorialLevel>("TutorialLevel", pages);
    levelOne = std::make_shared<levels::LevelOne>("LevelOne", pages);
    levelTwo = std::make_shared<levels::LevelTwo>("LevelTwo", pages);
    levelBoss = std::make_shared<levels::LevelBoss>("LevelBoss", pages);

    // Registration loads each level; the start menu goes last so it is active after.
    setLoadingSteps(levelCount);
    addLevel(levelTutorial);
    addLevel(levelTest);
    addLevel(levelOne);
    addLevel(levelTwo);
    addLevel(levelBoss);
    addLevel(levelStartMenu);
    levelManager->setLevel(levelStartMenu->name);
}

void FenniksZavororor::shutdown()
{
    levelTest.reset();
    levelTutorial.reset();
    levelOne.reset();
    levelTwo.reset();
    levelStartMenu.reset();
    levelBoss.reset();
    pages.reset();
}

} // namespace fennik::app
