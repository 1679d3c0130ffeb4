#pragma once

#include "core/Level.hpp"
#include "core/Noise.hpp"
#include "gui/MenuFocus.hpp"
#include "render/Frame.hpp"
#include "render/GL.hpp"

#include <memory>

namespace fennik::gui {
class GUIButton;
class OptionsScreen;
class ShapeRenderer;
} // namespace fennik::gui

namespace fennik::render {
class Model;
}

namespace fennik::scene {
class Scene;
}

namespace fennik::levels {

// The game opens here: Fennik standing in the first area under a slowly drifting
// camera, the title picture, and the "Start Game" and "Quit Game" buttons.
class StartMenu final : public core::Level {
public:
    explicit StartMenu(std::string name);
    ~StartMenu() override;

    void init(GLFWwindow* window, core::GameSettings* settings) override;
    void reset() override;
    void update() override;
    void processInput() override {}
    void render(float alpha) override;
    void cleanup() override {}
    void onMouseButton(int, int, int) override {}
    void onResize(int width, int height) override;
    void onScroll(double, double) override {}
    // Escape quits; the arrows, Enter and Space work the buttons.
    void onKey(int key, int scancode, int action, int mods) override;
    // The D-pad and South work the buttons.
    void onGamepadButton(int button, int action) override;

    scene::Scene& getScene() { return *scene; }
    gui::GUIButton& getStartButton() { return *startButton; }
    gui::GUIButton& getOptionsButton() { return *optionsButton; }
    gui::GUIButton& getQuitButton() { return *quitButton; }
    gui::OptionsScreen& getOptions() { return *options; }

private:
    void applyWindowSize();
    // The title picture, the buttons and, after F7, the passes' timings.
    void drawOverlay();

    // The level's model before the scene: the scene's bodies use the meshes' collision
    // shapes. The player figure is the shared one, which outlives every level.
    render::Model* playerModel = nullptr;
    std::unique_ptr<render::Model> levelModel;
    std::shared_ptr<scene::Scene> scene;
    render::Frame frame;
    gui::ShapeRenderer* shapes = nullptr;
    std::unique_ptr<gui::GUIButton> startButton;
    std::unique_ptr<gui::GUIButton> optionsButton;
    std::unique_ptr<gui::GUIButton> quitButton;
    std::unique_ptr<gui::OptionsScreen> options;
    std::unique_ptr<gui::MenuFocus> focus;
    GLuint buttonTexture = 0;
    GLuint buttonHoverTexture = 0;
    GLuint splashTexture = 0;
    bool needsResize = true;
    bool showTimings = false;
    int noiseTime = 0;
    core::Noise noise;
};

} // namespace fennik::levels
