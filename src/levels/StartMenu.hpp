#pragma once

#include "core/Level.hpp"
#include "core/Noise.hpp"
#include "core/Replay.hpp"
#include "gui/MenuFocus.hpp"
#include "gui/UiFrame.hpp"
#include "render/Frame.hpp"
#include "render/GL.hpp"

#include <glm/vec2.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fennik::gui {
class GUIButton;
class LevelsScreen;
struct MenuPages;
class OptionsScreen;
class ReplaysScreen;
class ShapeRenderer;
class Text;
} // namespace fennik::gui

namespace fennik::render {
class Model;
}

namespace fennik::scene {
class Scene;
}

namespace fennik::levels {

// The game opens here: Fennik standing in the first area under a slowly drifting
// camera, the title picture, the best time, and the "Continue" (with progress saved),
// "Start Game", "Levels", "Replays", "Options" and "Quit Game" buttons, the first in
// the keys' and pad's focus. Left alone for half a minute, it plays the demo.
class StartMenu final : public core::Level {
public:
    // `pages` are the game's one set of menu pages, shared with the levels' pause menus.
    StartMenu(std::string name, std::shared_ptr<gui::MenuPages> pages);
    ~StartMenu() override;

    void init(GLFWwindow* window, core::GameSettings* settings) override;
    void reset() override;
    void update() override;
    void processInput() override {}
    void render(float alpha) override;
    void cleanup() override {}
    // Clicks, scrolls, keys and pad buttons all keep the demo away.
    void onMouseButton(int, int, int) override;
    void onResize(int width, int height) override;
    void onScroll(double, double) override;
    // Escape quits; the arrows, Enter and Space work the buttons.
    void onKey(int key, int scancode, int action, int mods) override;
    // The D-pad and South work the buttons.
    void onGamepadButton(int button, int action) override;

    scene::Scene& getScene() { return *scene; }
    const render::Frame& getFrame() const { return frame; }
    gui::GUIButton& getContinueButton() { return *continueButton; }
    gui::GUIButton& getStartButton() { return *startButton; }
    gui::GUIButton& getLevelsButton() { return *levelsButton; }
    gui::LevelsScreen& getLevels() { return *levels; }
    // The buttons shown, top to bottom: "Continue" only with progress saved.
    const std::vector<gui::GUIButton*>& buttons() const { return shownButtons; }
    gui::MenuFocus& menuFocus() { return *focus; }
    // Starts a recorded run at `level` of the chain, as "Start Game" does at the first.
    void startRun(const std::string& level);
    gui::GUIButton& getOptionsButton() { return *optionsButton; }
    gui::GUIButton& getQuitButton() { return *quitButton; }
    gui::OptionsScreen& getOptions() { return *options; }
    gui::GUIButton& getReplaysButton() { return *replaysButton; }
    gui::ReplaysScreen& getReplays() { return *replays; }
    // "Best time: 2:17.43" under the title picture, or empty before a complete run.
    const std::string& bestTimeCaption() const;

    // After this long without input the menu plays the demo (attract mode).
    static constexpr double attractAfterSeconds = 30.0;

private:
    void applyWindowSize();
    // The window's UI frame, shrunk where the title and the buttons would not fit.
    gui::UiFrame menuFrame() const;
    // "Continue" first when there is progress to continue; the focus on the first.
    void placeButtons();
    // The title picture, the buttons and, after F7, the passes' timings.
    void drawOverlay();
    void heardFromPlayer();
    // Plays the shipped demo run; one that cannot be played ends attract mode.
    void playDemo();

    // The level's model before the scene: the scene's bodies use the meshes' collision
    // shapes. The player figure is the shared one, which outlives every level.
    render::Model* playerModel = nullptr;
    std::unique_ptr<render::Model> levelModel;
    std::shared_ptr<scene::Scene> scene;
    render::Frame frame;
    gui::ShapeRenderer* shapes = nullptr;
    std::unique_ptr<gui::GUIButton> continueButton;
    std::unique_ptr<gui::GUIButton> startButton;
    std::unique_ptr<gui::GUIButton> levelsButton;
    std::unique_ptr<gui::GUIButton> replaysButton;
    std::unique_ptr<gui::GUIButton> optionsButton;
    std::unique_ptr<gui::GUIButton> quitButton;
    std::shared_ptr<gui::MenuPages> pages;
    gui::OptionsScreen* options = nullptr;
    gui::ReplaysScreen* replays = nullptr;
    gui::LevelsScreen* levels = nullptr;
    std::vector<gui::GUIButton*> shownButtons;
    std::unique_ptr<gui::MenuFocus> focus;
    std::unique_ptr<gui::Text> bestTime;
    GLuint splashTexture = 0;
    double idleSince = 0.0;
    glm::dvec2 lastCursor{0.0};
    bool attractMode = true;
    bool waitForRelease = false;
    std::optional<core::Replay> demo;
    bool needsResize = true;
    bool showTimings = false;
    int noiseTime = 0;
    core::Noise noise;
};

} // namespace fennik::levels
