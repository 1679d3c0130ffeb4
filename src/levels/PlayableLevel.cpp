#include "levels/PlayableLevel.hpp"

#include "core/DataDirectory.hpp"
#include "core/FixedTicker.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/LevelManager.hpp"
#include "core/Log.hpp"
#include "core/Replay.hpp"
#include "gui/GUIPauseMenu.hpp"
#include "gui/MenuPages.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ShapeRenderer.hpp"
#include "gui/Text.hpp"
#include "gui/UiFrame.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Interactable.hpp"
#include "physics/Player.hpp"
#include "render/GpuResources.hpp"
#include "render/Model.hpp"
#include "render/ParticleGenerator.hpp"
#include "render/Shader.hpp"
#include "render/Texture.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <string>
#include <utility>

namespace fennik::levels {

namespace {

// A contact whose normal points less upwards than this is the enemy's side.
constexpr double stompNormalY = 0.2;
// Below this height the player has left the level: every tick there hurts.
constexpr float fallDamageHeight = -15.0f;
// A switch or restart in play happens at once; the picture fades out over the level
// left and in over the one entered, and the level's name stays a while.
constexpr double fadeSeconds = 0.25;
constexpr double captionSeconds = 2.0;

// The switch in play that the next level entered came through.
struct Passage {
    bool pending = false;
    const PlayableLevel* from = nullptr; // null on a restart: there is no old picture to fade
    bool fell = false;
};
Passage passage;

std::string titleOf(const std::string& levelName)
{
    static const char* const titles[] = {"Test Area", "Tutorial", "Level One", "Level Two", "The Boss"};
    for (std::size_t index = 0; index < std::size(core::runLevels); ++index)
        if (levelName == core::runLevels[index])
            return titles[index];
    return levelName;
}

bool inRun(const std::string& levelName)
{
    return std::any_of(std::begin(core::runLevels), std::end(core::runLevels),
                       [&](const char* level) { return levelName == level; });
}
// Reference units (see gui::UiFrame): the prompts' baseline above the window's bottom,
// the replay caption's below its top, and the open note's card around the middle.
constexpr float promptBaseline = 160.0f;
constexpr float captionDrop = 32.0f;
constexpr float noteSize = 320.0f;
// The level's name, below the replay caption and above the note cards.
constexpr float captionTop = 160.0f;
// The run timer's top-right corner inset and text scale, in reference units.
constexpr float timerInset = 16.0f;
constexpr float timerScale = 0.9f;
constexpr float timerShadow = 1.5f;

} // namespace

PlayableLevel::PlayableLevel(std::string name, std::shared_ptr<gui::MenuPages> menuPages)
    : Level(std::move(name)), pages(std::move(menuPages)), options(&pages->options)
{
}

PlayableLevel::~PlayableLevel() = default;

render::Model& PlayableLevel::loadModel(const std::string& path)
{
    models.push_back(std::make_unique<render::Model>(path));
    return *models.back();
}

render::Mesh* PlayableLevel::firstMesh(render::Model* model)
{
    if (model && !model->meshes.empty())
        return &model->meshes.front();
    // The character goes on as a small invisible box; say which one it is, unless its
    // file has already said that it did not import.
    if (!model || model->imported)
        log::error("Model ", model ? model->path : std::string("(none)"), " has no mesh: its character is invisible");
    return nullptr;
}

void PlayableLevel::init(GLFWwindow* mainWindow, core::GameSettings* gameSettings)
{
    window = mainWindow;
    settings = gameSettings;
    scene = std::make_unique<scene::Scene>(window, settings);
    particleShader = render::gpu().program("particleShader.vert", "particleShader.frag");
    shapes = &gui::ShapeRenderer::instance();

    playerModel = &render::gpu().model(core::dataPath(playerModelFile));
    levelModel = &loadModel(levelModelPath());
    loadLevelModels();

    shadingMode = 1;
    particles = &render::gpu().particles();
    scene->createPlayer(firstMesh(playerModel), playerMass, playerStart(), false);
    scene->createCamera();
    pauseMenu = std::make_shared<gui::GUIPauseMenu>();
    addEnemies();
    scene->addLevelGeometry(*levelModel, skipsInteractableMeshes());
    addInteractables();

    needsResize = true;
    lastTitleTime = lastFrameTime = core::input().time();
    glEnable(GL_MULTISAMPLE);
    frame = scene->buildFrame({[this] { particles->draw(*particleShader, *scene->camera, scene->drawAlpha()); }, true,
                               [this] { drawOverlay(); }});

    // The menu's choices are commands, so a replay makes them too.
    pauseMenu->resumeButton.onClick = [this] { command({0, core::ReplayEvent::Kind::Resume}); };
    pauseMenu->mainMenuButton.onClick = [this] { command({0, core::ReplayEvent::Kind::MainMenu}); };
    pauseMenu->restartButton.onClick = [this] { command({0, core::ReplayEvent::Kind::RestartLevel}); };

    scene->collisionCallback = [this](physics::Entity* player, physics::Entity* other, btManifoldPoint& point,
                                      glm::vec3& normal) { onCollision(player, other, point, normal); };
    loadNoteTextures();
    initialized = true;
}

void PlayableLevel::reset()
{
    // Every visit starts from the same view, so a replay finds the camera as it was.
    freeCamera = false;
    zoom = physics::EntityFixedCamera::defaultDistance;
    scene->camera->restoreView();
    scene->reset();
    particles->clear();
    if (options->isOpen())
        options->back();
    pauseMenu->resumeClicked = false;
    paused = false;
    restartPending = false;
    needsResize = true;
    enteredAt = core::input().time();
    cameThrough = std::exchange(passage.pending, false);
    leftLevel = cameThrough ? passage.from : nullptr;
    arrivalCaption = cameThrough && passage.fell ? "You fell!" : titleOf(name);
}

void PlayableLevel::processInput()
{
    // A tick counts for the timer and the best times when the world runs in it: counted
    // here, the tick's first step, so the tick a note's closing leaves the level in counts.
    if (!paused || pauseMenu->resumeClicked)
        core::LevelManager::instance().progress.countTick();
    if (!paused)
        scene->processInput();
}

void PlayableLevel::applyWindowSize()
{
    glViewport(0, 0, static_cast<GLsizei>(settings->windowWidth), static_cast<GLsizei>(settings->windowHeight));
    scene->camera->setProjection(settings->fov,
                                 static_cast<float>(settings->windowWidth) / static_cast<float>(settings->windowHeight),
                                 settings->nearZ, settings->farZ);
    scene->resizeFramebuffers();
    pauseMenu->resumeClicked = false;
    needsResize = false;
}

void PlayableLevel::update()
{
    if (needsResize)
        applyWindowSize();
    // As a fall restarts the level: a new entry, and a new attempt at its time. Inside
    // the tick, so a replay ends the stay at the tick it was recorded in.
    if (std::exchange(restartPending, false)) {
        switchTo(name);
        return;
    }
    if (pauseMenu->resumeClicked) {
        paused = false;
        pauseMenu->resumeClicked = false;
    }
    if (paused)
        return;

    const float yaw = scene->camera->yaw;
    const float pitch = scene->camera->pitch;
    scene->update();
    if (scene->camera->yaw != yaw || scene->camera->pitch != pitch)
        core::LevelManager::instance().deck.recordInTick(
            {0, core::ReplayEvent::Kind::CameraTurn, 0, scene->camera->yaw, scene->camera->pitch});
    scene->stepPhysics();

    const double now = core::input().time();
    auto& player = *scene->player;
    if (player.moveDirection != glm::vec3(0.0f)) {
        // Walking dust in random colours at the player's feet.
        particles->emit(player, 10, 3, 1.2f, glm::vec3(1.0f, -1.8f, 0.0f), glm::vec4(0.0f));
    }
    // Particles age by simulation time, like everything else in the world.
    particles->update(static_cast<float>(core::FixedTicker::tickSeconds), *scene->camera);
    lastFrameTime = now;

    if (playerPosition().y <= fallDamageHeight)
        player.hit(glm::vec3(0.0f));
    if (player.health <= 0.0f)
        switchTo(deathTarget());
    applySwitchRules();
}

glm::vec3 PlayableLevel::playerPosition()
{
    scene->player->getModelMatrix();
    return scene->player->position;
}

void PlayableLevel::switchTo(const std::string& levelName)
{
    if (inRun(levelName)) {
        const bool restart = levelName == name;
        passage = {true, restart ? nullptr : this, restart && playerPosition().y < 0.0f};
    }
    core::LevelManager::instance().setLevel(levelName);
}

bool PlayableLevel::allEnemiesDead() const
{
    std::size_t dead = 0;
    for (const auto& enemy : scene->enemies)
        dead += enemy->health <= 0.0f;
    return dead == scene->enemies.size();
}

std::uint64_t PlayableLevel::stateHash() const
{
    core::StateHash hash;
    hash.add(name);
    const auto add = [&hash](const btVector3& vector) {
        hash.add(vector.x());
        hash.add(vector.y());
        hash.add(vector.z());
    };
    const physics::Player& player = *scene->player;
    add(player.body->getWorldTransform().getOrigin());
    add(player.body->getLinearVelocity());
    hash.add(player.health);
    for (const auto& enemy : scene->enemies) {
        add(enemy->body->getWorldTransform().getOrigin());
        hash.add(enemy->health);
    }
    return hash.value();
}

void PlayableLevel::command(const core::ReplayEvent& event)
{
    auto& deck = core::LevelManager::instance().deck;
    // A replay gives its commands itself; the live ones are the viewer's.
    if (deck.playing())
        return;
    deck.record(event);
    replayEvent(event);
}

void PlayableLevel::replayEvent(const core::ReplayEvent& event)
{
    using Kind = core::ReplayEvent::Kind;
    auto& camera = *scene->camera;
    switch (event.kind) {
    case Kind::TogglePause: togglePause(); break;
    case Kind::Resume: pauseMenu->resumeClicked = true; break;
    case Kind::MainMenu: switchTo("StartMenu"); break;
    case Kind::RestartLevel: restartPending = true; break;
    case Kind::Zoom: camera.distance = zoom = event.a; break;
    case Kind::CameraTurn:
        camera.yaw = event.a;
        camera.pitch = event.b;
        break;
    case Kind::ViewKey:
        switch (event.key) {
        case GLFW_KEY_F1: shadingMode = shadingMode == 0 ? 1 : 0; break;
        case GLFW_KEY_F2: cullFaces = !cullFaces; break;
        case GLFW_KEY_F3: showNormals = !showNormals; break;
        case GLFW_KEY_F4: debugDraw = !debugDraw; break;
        case GLFW_KEY_F5: showDepthMap = !showDepthMap; break;
        case GLFW_KEY_F6:
            freeCamera = !freeCamera;
            if (!freeCamera) {
                camera.distance = 50.0f;
                camera.yaw = 270.0f;
                camera.pitch = 35.0f;
                camera.settle();
            }
            break;
        case GLFW_KEY_F7: showTimings = !showTimings; break;
        case GLFW_KEY_3: camera.focalRange += 50.0f; break;
        case GLFW_KEY_4: camera.focalRange -= 50.0f; break;
        default: break;
        }
        break;
    }
}

void PlayableLevel::render(float alpha)
{
    const double since = core::input().time() - enteredAt;
    darkness = 0.0f;
    if (cameThrough && since < 2.0 * fadeSeconds)
        darkness = since < fadeSeconds ? 1.0f : static_cast<float>(2.0 - since / fadeSeconds);
    // The level left is drawn as it was left while the picture fades out.
    if (leftLevel && since < fadeSeconds) {
        auto& left = const_cast<PlayableLevel&>(*leftLevel);
        left.darkness = static_cast<float>(since / fadeSeconds);
        left.drawWorld(1.0f);
        left.darkness = 0.0f;
    } else {
        drawWorld(alpha);
    }
    refreshTitle();
}

void PlayableLevel::drawWorld(float alpha)
{
    scene->showDepthMap = showDepthMap;
    scene->drawNormal = showNormals;
    scene->debugDraw = debugDraw;
    scene->cullFaces = cullFaces;
    scene->setShadingMode(shadingMode);
    // A paused world holds still at its last tick rather than swaying between two.
    scene->draw(frame, paused ? 1.0f : alpha);
}

void PlayableLevel::drawOverlay()
{
    const gui::UiFrame ui = gui::UiFrame::current();
    // The passage first: what the player must read (prompts, menus) stays on top.
    drawPassage(ui);
    // The pause menu and its pages cover the game: nothing of it asks for a key then.
    if (!paused)
        drawPrompts(ui);
    if (paused && options->isOpen()) {
        options->draw(scene->screenProjection(), ui);
    } else if (paused) {
        pauseMenu->draw(scene->screenProjection(), ui);
        // The options belong to the player, not to the replay being watched.
        if (std::exchange(pauseMenu->optionsClicked, false) && !core::LevelManager::instance().deck.playing())
            options->open();
    }
    drawReplayCaption(ui);
    drawTimer(ui);
    if (showTimings)
        scene->drawTimings();
}

void PlayableLevel::drawPassage(const gui::UiFrame& ui)
{
    const glm::mat4 projection = scene->screenProjection();
    if (darkness > 0.0f) {
        const glm::vec4 black(0.0f, 0.0f, 0.0f, darkness);
        shapes->beginShape(projection, GL_TRIANGLES);
        shapes->texture = 0;
        shapes->rect(0.0f, 0.0f, ui.width, ui.height, black, black);
        shapes->endShape();
    }
    if (core::input().time() - enteredAt >= captionSeconds || darkness >= 1.0f)
        return;
    // Above the note cards and below the replay's caption; a dark copy behind keeps it
    // readable over the sky and the sand.
    auto& text = *scene->text;
    text.text = arrivalCaption;
    const glm::vec2 at = ui.point(gui::Anchor::Top, {0.0f, -captionTop});
    const float pixels = ui.captionPixels(1.2f);
    text.color = glm::vec3(0.0f);
    text.draw(at + glm::vec2(ui.size(2.0f), -ui.size(2.0f)), pixels, projection, true);
    text.color = glm::vec3(1.0f);
    text.draw(at, pixels, projection, true);
}

std::string PlayableLevel::timerText() const
{
    const auto& progress = core::LevelManager::instance().progress;
    switch (settings->timer) {
    case core::RunTimer::Level: return core::formatRunTime(progress.levelTicks());
    case core::RunTimer::Run: return core::formatRunTime(progress.runTicks());
    case core::RunTimer::Off: break;
    }
    return {};
}

void PlayableLevel::drawTimer(const gui::UiFrame& ui)
{
    const std::string shown = timerText();
    if (shown.empty())
        return;
    auto& text = *scene->text;
    const float pixels = ui.captionPixels(timerScale);
    // Every character gets a cell, every digit the widest digit's, so the time does not
    // jitter as it runs; laid out from the right edge in.
    float digitCell = 0.0f;
    for (char digit = '0'; digit <= '9'; ++digit) {
        text.text = std::string(1, digit);
        digitCell = std::max(digitCell, text.width(pixels));
    }
    const auto cellWidth = [&](char character) {
        if (std::isdigit(static_cast<unsigned char>(character)))
            return digitCell;
        text.text = std::string(1, character);
        return text.width(pixels);
    };
    const glm::vec2 corner = ui.point(gui::Anchor::TopRight, glm::vec2(-timerInset, -2.0f * timerInset));
    const glm::mat4 projection = scene->screenProjection();
    float x = corner.x;
    for (auto character = shown.rbegin(); character != shown.rend(); ++character) {
        const float cell = cellWidth(*character);
        x -= cell;
        text.text = std::string(1, *character);
        // A dark copy underneath keeps the digits readable over the bright sand.
        const float shadow = ui.size(timerShadow);
        for (const auto& [offset, shade] : {std::pair(shadow, 0.0f), std::pair(0.0f, 1.0f)}) {
            text.color = glm::vec3(shade);
            text.draw(glm::vec2(std::round(x + cell * 0.5f + offset), std::round(corner.y - offset)), pixels,
                      projection, true);
        }
    }
}

void PlayableLevel::drawReplayCaption(const gui::UiFrame& ui)
{
    const auto& deck = core::LevelManager::instance().deck;
    if (!deck.playing())
        return;
    auto& text = *scene->text;
    text.text = deck.playingDemo() ? "Demo - press any key" : "Replay";
    text.color = glm::vec3(1.0f);
    text.draw(ui.point(gui::Anchor::Top, {0.0f, -captionDrop}), ui.captionPixels(0.75f),
              scene->screenProjection(), true);
}

void PlayableLevel::drawPrompts(const gui::UiFrame& ui)
{
    const glm::mat4 projection = scene->screenProjection();
    auto& text = *scene->text;
    const glm::vec2 promptAt = ui.point(gui::Anchor::Bottom, {0.0f, promptBaseline});
    const float promptPixels = ui.captionPixels(1.0f);
    const std::string key = core::keyName(settings->keys[core::Action::Interact]);

    for (const auto& interactable : scene->interactables) {
        if (interactable->inRange && !interactable->active) {
            text.text = "Press " + key + " to Interact";
            text.color = glm::vec3(1.0f);
            text.draw(promptAt, promptPixels, projection, true);
        }
        if (interactable->active) {
            const glm::vec2 corner = ui.point(gui::Anchor::Centre, glm::vec2(-noteSize * 0.5f));
            shapes->beginShape(projection, GL_TRIANGLES);
            shapes->texture = noteTextureFor(*interactable);
            shapes->rect(std::round(corner.x), std::round(corner.y), std::round(ui.size(noteSize)),
                         std::round(ui.size(noteSize)), shapes->color, shapes->color);
            shapes->endShape();
            text.text = "Press " + key + " to Continue";
            text.color = glm::vec3(1.0f);
            text.draw(promptAt, promptPixels, projection, true);
            if (const std::string caption = noteCaption(*interactable); !caption.empty()) {
                text.text = caption;
                text.draw(ui.point(gui::Anchor::Centre, {0.0f, noteSize * 0.5f + 30.0f}), promptPixels, projection,
                          true);
            }
        }
    }
}

void PlayableLevel::refreshTitle()
{
    const double now = core::input().time();
    ++frameCount;
    if (now - lastTitleTime < 1.0)
        return;
    const std::string title = "Fennik's Zavororor | FPS: " + std::to_string(frameCount) +
                              " | Particles: " + std::to_string(particles->liveCount);
    glfwSetWindowTitle(window, title.c_str());
    frameCount = 0;
    lastTitleTime = now;
}

GLuint PlayableLevel::noteTextureFor(const physics::Interactable&) const
{
    return noteTexture;
}

void PlayableLevel::onCollision(physics::Entity* player, physics::Entity* other, btManifoldPoint&, glm::vec3& normal)
{
    if (other->type == physics::Entity::enemyType) {
        if (static_cast<double>(normal.y) < stompNormalY) {
            if (sideContactHurts())
                player->hit(normal);
            return;
        }
        other->hit(-normal);
        player->knockback(normal);
        if (other->health <= 0.0f)
            particles->emit(*other, 200, 10, 0.0f, glm::vec3(0.0f, 1.5f, 0.0f), glm::vec4(1.0f));
        return;
    }
    if (normal.y > settings->slopeThreshold)
        static_cast<physics::Player*>(player)->jumping = false;
}

void PlayableLevel::togglePause()
{
    paused = !paused;
    pauseMenu->focus.clear();
}

void PlayableLevel::onGamepadButton(int button, int action)
{
    if (options->isOpen()) {
        options->onGamepadButton(button, action);
        return;
    }
    if (action != GLFW_PRESS)
        return;
    if (button == GLFW_GAMEPAD_BUTTON_START || (paused && button == GLFW_GAMEPAD_BUTTON_B))
        command({0, core::ReplayEvent::Kind::TogglePause});
    else if (paused)
        pauseMenu->focus.onGamepadButton(button, action);
}

void PlayableLevel::onKey(int key, int, int action, int)
{
    if (options->isOpen()) {
        options->onKey(key, action);
        return;
    }
    if (paused && pauseMenu->focus.onKey(key, action))
        return;
    if (action != GLFW_RELEASE)
        return;
    if (key == settings->keys[core::Action::Pause] || (paused && key == GLFW_KEY_ESCAPE))
        command({0, core::ReplayEvent::Kind::TogglePause});
    else if (core::isFixedKey(key) && key != GLFW_KEY_F11)
        command({0, core::ReplayEvent::Kind::ViewKey, key});
}

void PlayableLevel::onMouseButton(int button, int action, int)
{
    scene->camera->invertDrag = settings->invertDrag;
    if (freeCamera)
        scene->camera->onMouseButton(window, button, action);
}

void PlayableLevel::onScroll(double, double yOffset)
{
    if (!freeCamera)
        return;
    command({0, core::ReplayEvent::Kind::Zoom, 0, static_cast<float>(static_cast<double>(zoom) - yOffset)});
}

void PlayableLevel::onFocus(bool focused)
{
    if (!focused && !paused)
        command({0, core::ReplayEvent::Kind::TogglePause});
}

void PlayableLevel::onResize(int, int)
{
    // The framebuffer-size callback has already stored the size in the settings.
    needsResize = true;
}

} // namespace fennik::levels
