#pragma once

#include "app/GameBase.hpp"

#include <memory>

namespace fennik::gui {
struct MenuPages;
}

namespace fennik::levels {
class LevelBoss;
class LevelOne;
class LevelTwo;
class StartMenu;
class TestLevel;
class TutorialLevel;
} // namespace fennik::levels

namespace fennik::app {

// The game itself: creates its levels, registers them (each loads everything it
// will ever use while the splash screen shows) and opens on the start menu.
class FenniksZavororor final : public GameBase {
public:
    explicit FenniksZavororor(const std::string& title);
    ~FenniksZavororor() override;

protected:
    void init() override;
    // Lets the levels go while the windows' contexts still exist.
    void shutdown() override;

private:
    std::shared_ptr<levels::TestLevel> levelTest;
    std::shared_ptr<levels::TutorialLevel> levelTutorial;
    std::shared_ptr<levels::LevelOne> levelOne;
    std::shared_ptr<levels::LevelTwo> levelTwo;
    std::shared_ptr<levels::StartMenu> levelStartMenu;
    std::shared_ptr<levels::LevelBoss> levelBoss;
    std::shared_ptr<gui::MenuPages> pages; // shared by the start menu and the pause menus
};

} // namespace fennik::app
