#pragma once

#include "core/Level.hpp"
#include "render/Frame.hpp"
#include "render/GL.hpp"

#include <btBulletDynamicsCommon.h>
#include <glm/vec3.hpp>

#include <memory>
#include <string>
#include <vector>

namespace fennik::gui {
class GUIPauseMenu;
struct UiFrame;
struct MenuPages;
class OptionsScreen;
class ShapeRenderer;
} // namespace fennik::gui

namespace fennik::physics {
class Entity;
class Interactable;
} // namespace fennik::physics

namespace fennik::render {
class Mesh;
class Model;
class ParticleGenerator;
class Shader;
} // namespace fennik::render

namespace fennik::scene {
class Scene;
}

namespace fennik::levels {

// What the five playable levels share: the initialisation order, the per-tick
// update with its pause, particles, fall damage and level switches, the frame with
// prompts and notes, the debug and view keys, and the contact rules.
// A level adds its content (models, placements, note images) and its switch rules.
class PlayableLevel : public core::Level {
public:
    // `pages` are the game's one set of menu pages, shared with the start menu.
    PlayableLevel(std::string name, std::shared_ptr<gui::MenuPages> pages);
    ~PlayableLevel() override;

    void init(GLFWwindow* window, core::GameSettings* settings) final;
    void reset() override;
    void update() final;
    void processInput() final;
    void render(float alpha) final;
    void cleanup() final {}
    void onMouseButton(int button, int action, int mods) final;
    void onResize(int width, int height) final;
    // Losing the focus pauses, as Escape does; getting it back leaves the pause to the player.
    void onFocus(bool focused) final;
    void onScroll(double xOffset, double yOffset) final;
    // The pause key (Escape unless rebound) pauses and resumes on its release; while
    // paused, Escape resumes too and the arrows, Enter and Space work the menu.
    void onKey(int key, int scancode, int action, int mods) final;
    // Start pauses and resumes; while paused the D-pad and South work the menu and
    // East resumes.
    void onGamepadButton(int button, int action) final;

    // Read by tests and by the levels' own rules.
    scene::Scene& getScene() { return *scene; }
    bool isPaused() const override { return paused; }
    bool allEnemiesDead() const;
    // What the on-screen timer shows ("0:41.27"), empty with the timer off.
    std::string timerText() const;

    // The player's body and health and every enemy's, for the replays' checks.
    std::uint64_t stateHash() const override;
    // Pause, the pause menu's choices, the view keys and the free camera's zoom and
    // drag: given by the player through `command`, or by a replay.
    void replayEvent(const core::ReplayEvent& event) override;

    static constexpr const char* playerModelFile = "models/Fennik.obj";
    static constexpr float playerMass = 11.0f;

protected:
    // --- what each level provides -------------------------------------------------
    virtual std::string levelModelPath() const = 0;
    virtual glm::vec3 playerStart() const = 0;
    // Models beyond the player's and the level's, through `loadModel`.
    virtual void loadLevelModels() {}
    virtual void addEnemies() {}
    // Whether the level geometry pass leaves out meshes named "interactable".
    virtual bool skipsInteractableMeshes() const = 0;
    virtual void addInteractables() {}
    virtual void loadNoteTextures() {}
    // Where the player goes when health runs out.
    virtual std::string deathTarget() const = 0;
    // The level's own switch rules, in their order; each reads the player afresh.
    virtual void applySwitchRules() {}
    // The image shown while `interactable` is open; 0 shows none.
    virtual GLuint noteTextureFor(const physics::Interactable& interactable) const;
    // The common contact rules; the tutorial's dummies change the side contact.
    virtual void onCollision(physics::Entity* player, physics::Entity* other, btManifoldPoint& point,
                             glm::vec3& normal);
    // Whether a side contact with an enemy hurts the player.
    virtual bool sideContactHurts() const { return true; }

    // --- helpers for the levels --------------------------------------------------
    // Loads a model the level keeps for its whole life. Models outlive the Scene,
    // whose bodies use their meshes' collision shapes.
    render::Model& loadModel(const std::string& path);
    // A character model's one mesh; null for a model that failed to load.
    static render::Mesh* firstMesh(render::Model* model);
    // The player's position after refreshing its model matrix.
    glm::vec3 playerPosition();
    void togglePause();
    // Records a command of the player's and carries it out; ignored while a replay plays.
    void command(const core::ReplayEvent& event);
    // A line drawn above an open note; empty draws none.
    virtual std::string noteCaption(const physics::Interactable&) const { return {}; }
    void switchTo(const std::string& levelName);

    std::vector<std::unique_ptr<render::Model>> models; // declared before `scene`: outlives it
    render::Model* playerModel = nullptr; // the shared figure, which outlives every level
    render::Model* levelModel = nullptr;
    std::unique_ptr<scene::Scene> scene;
    render::ParticleGenerator* particles = nullptr; // shared by the levels, cleared on entry
    std::shared_ptr<render::Shader> particleShader;
    std::shared_ptr<gui::GUIPauseMenu> pauseMenu;
    std::shared_ptr<gui::MenuPages> pages;
    gui::OptionsScreen* options = nullptr; // the game's one, opened from the pause menu
    render::Frame frame;
    bool needsResize = true;
    bool showTimings = false;
    double lastTitleTime = 0.0;
    int frameCount = 0;
    int shadingMode = 1;
    bool cullFaces = true;
    bool showNormals = false;
    bool showDepthMap = false;
    bool debugDraw = false;
    bool freeCamera = false;
    float zoom = 50.0f;
    gui::ShapeRenderer* shapes = nullptr;
    bool paused = false;
    bool restartPending = false; // "Restart Level" chosen: done in the next tick
    double lastFrameTime = 0.0;
    GLuint noteTexture = 0;
    // Drawing only: the switch itself happened at once.
    double enteredAt = 0.0;
    bool cameThrough = false; // entered through a switch or restart made in play
    const PlayableLevel* leftLevel = nullptr;
    float darkness = 0.0f;
    std::string arrivalCaption;

private:
    void applyWindowSize();
    // The world and the overlay, without the fade's choice of level.
    void drawWorld(float alpha);
    // The fade over a switch or restart made in play, and the caption naming the level
    // entered (or "You fell!").
    void drawPassage(const gui::UiFrame& ui);
    void drawPrompts(const gui::UiFrame& frame);
    // "Replay" or "Demo - press any key" at the top of the window while one plays.
    void drawReplayCaption(const gui::UiFrame& frame);
    // The timer in the top-right corner, when the player turned it on.
    void drawTimer(const gui::UiFrame& frame);
    // Prompts, the open note, the pause menu and, after F7, the passes' timings.
    void drawOverlay();
    void refreshTitle();
};

} // namespace fennik::levels
