#include "levels/StartMenu.hpp"

#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/LevelManager.hpp"
#include "core/SoundEngine.hpp"
#include "gui/GUIButton.hpp"
#include "gui/LevelsScreen.hpp"
#include "gui/MenuPages.hpp"
#include "gui/MenuPage.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ReplaysScreen.hpp"
#include "gui/Text.hpp"
#include "gui/TextRenderer.hpp"
#include "gui/ShapeRenderer.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "render/Model.hpp"
#include "render/GpuResources.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace fennik::levels {

namespace {

constexpr const char* demoPath = "assets/replays/demo.fzreplay";
// From the middle of the window down to the first button's centre, and on to the next.
constexpr float firstButtonBelow = 30.0f;
constexpr float buttonStep = 65.0f;

} // namespace

StartMenu::StartMenu(std::string name, std::shared_ptr<gui::MenuPages> menuPages)
    : Level(std::move(name)),
      pages(std::move(menuPages)),
      options(&pages->options),
      replays(&pages->replays),
      levels(&pages->levels)
{
}

StartMenu::~StartMenu() = default;

void StartMenu::init(GLFWwindow* mainWindow, core::GameSettings* gameSettings)
{
    window = mainWindow;
    settings = gameSettings;
    scene = std::make_shared<scene::Scene>(window, settings);
    playerModel = &render::gpu().model("assets/models/Fennik.obj");
    levelModel = std::make_unique<render::Model>("assets/models/beginning.obj");

    scene->createPlayer(playerModel->meshes.empty() ? nullptr : &playerModel->meshes.front(), 10.0f,
                        {-3.471045f, 1.915f, 34.187042f}, false);
    auto camera = scene->createCamera();
    camera->distance = 10.0f;
    camera->pitch = 5.0f;
    scene->addLevelGeometry(*levelModel, false);

    needsResize = true;
    glEnable(GL_MULTISAMPLE);
    initialized = true;

    shapes = &gui::ShapeRenderer::instance();
    core::SoundEngine::instance().play2D("assets/music/empty.wav");

    const float width = static_cast<float>(settings->windowWidth);
    const float height = static_cast<float>(settings->windowHeight);
    // Evenly spaced below the title picture, "Start Game" where it always was.
    const auto button = [&](float below, const char* caption) {
        auto made = std::make_unique<gui::GUIButton>(width * 0.5f, height * 0.5f - below, caption, 0.75f, 150.0f, 40.0f,
                                                     true);
        gui::styleButton(*made);
        return made;
    };
    // Placed on every reset: "Continue" comes and goes with the progress.
    continueButton = button(firstButtonBelow, "Continue");
    startButton = button(firstButtonBelow, "Start Game");
    levelsButton = button(firstButtonBelow, "Levels");
    replaysButton = button(firstButtonBelow, "Replays");
    optionsButton = button(firstButtonBelow, "Options");
    quitButton = button(firstButtonBelow, "Quit Game");
    splashTexture = render::gpu().texture("assets/textures/splash.png", true);
    bestTime = std::make_unique<gui::Text>(&gui::TextRenderer::instance(), "");

    auto& deck = core::LevelManager::instance().deck;
    startButton->onClick = [this] { startRun(core::runLevels[0]); };
    continueButton->onClick = [this] {
        const core::Progress& progress = core::LevelManager::instance().progress.progress();
        startRun(core::runLevels[std::max(progress.furthest, 0)]);
    };
    levelsButton->onClick = [this] { levels->open(core::LevelManager::instance().progress.progress()); };
    levels->onPlay = [this](const std::string& level) { startRun(level); };
    replaysButton->onClick = [this, &deck] { replays->open(core::listReplays(deck.folder, *settings)); };
    replays->onPlay = [&deck](const core::Replay& replay, const std::string& path) { deck.play(replay, path, false); };
    quitButton->onClick = [this] { glfwSetWindowShouldClose(window, GLFW_TRUE); };
    optionsButton->onClick = [this] { options->open(); };

    frame = scene->buildFrame({{}, false, [this] { drawOverlay(); }});

    noise.setNoiseType(core::NoiseType::Perlin);
    noise.setFractalOctaves(20);
    noise.setFrequency(0.01f);
}

void StartMenu::reset()
{
    scene->reset();
    placeButtons();
    levels->back();
    needsResize = true;
    idleSince = -1.0; // from the menu's first tick: loading is not idling
    // A click that ended the demo is not a click on the menu.
    waitForRelease = core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_LEFT);
    auto& deck = core::LevelManager::instance().deck;
    const auto runs = core::listReplays(deck.folder, *settings);
    const core::ReplayEntry* best = core::bestRun(runs);
    bestTime->text = best ? "Best time: " + core::formatRunTime(best->replay->ticks()) : "";
    // Back from a replay the list is where the player left it; otherwise the menu's own page.
    if (std::exchange(deck.returnToList, false))
        replays->open(runs);
    else
        replays->back();
}

void StartMenu::placeButtons()
{
    shownButtons.clear();
    if (core::LevelManager::instance().progress.progress().any())
        shownButtons.push_back(continueButton.get());
    for (gui::GUIButton* button :
         {startButton.get(), levelsButton.get(), replaysButton.get(), optionsButton.get(), quitButton.get()})
        shownButtons.push_back(button);
    float below = firstButtonBelow;
    for (gui::GUIButton* button : shownButtons) {
        button->basePosition.y = button->referenceHeight * 0.5f - below;
        below += buttonStep;
    }
    focus = std::make_unique<gui::MenuFocus>(std::vector<gui::GUIElement*>(shownButtons.begin(), shownButtons.end()));
    // Enter continues, or starts a new game when there is nothing to continue.
    focus->move(1);
}

void StartMenu::startRun(const std::string& level)
{
    core::LevelManager::instance().deck.startRecording(*settings);
    core::LevelManager::instance().setLevel(level);
}

const std::string& StartMenu::bestTimeCaption() const
{
    return bestTime->text;
}

void StartMenu::heardFromPlayer()
{
    idleSince = core::input().time();
}

void StartMenu::playDemo()
{
    idleSince = core::input().time();
    if (!demo) {
        core::ReplayEntry entry = core::readReplay(demoPath, *settings);
        if (!entry.replay) {
            attractMode = false; // refused with a log line; the menu stays as it is
            return;
        }
        demo = std::move(entry.replay);
    }
    core::LevelManager::instance().deck.play(*demo, demoPath, true);
}

void StartMenu::applyWindowSize()
{
    glViewport(0, 0, static_cast<GLsizei>(settings->windowWidth), static_cast<GLsizei>(settings->windowHeight));
    scene->camera->setProjection(settings->fov,
                                 static_cast<float>(settings->windowWidth) / static_cast<float>(settings->windowHeight),
                                 settings->nearZ, settings->farZ);
    scene->resizeFramebuffers();
    needsResize = false;
}

void StartMenu::update()
{
    if (needsResize)
        applyWindowSize();
    // The sway changes once a second: the noise is sampled at whole seconds.
    const double now = core::input().time();
    const glm::dvec2 cursor = core::input().cursorPosition(nullptr);
    if (cursor != lastCursor || idleSince < 0.0)
        heardFromPlayer();
    lastCursor = cursor;
    if (attractMode && !options->isOpen() && !replays->isOpen() && !levels->isOpen() && now - idleSince >= attractAfterSeconds) {
        playDemo();
        return;
    }
    noiseTime = static_cast<int>(now);
    scene->camera->yaw += noise.getNoise(static_cast<float>(noiseTime), static_cast<float>(noiseTime));
    scene->update();
    scene->stepPhysics();
}

void StartMenu::render(float alpha)
{
    scene->draw(frame, alpha);
}

void StartMenu::drawOverlay()
{
    const float width = static_cast<float>(settings->windowWidth);
    const float height = static_cast<float>(settings->windowHeight);
    const glm::mat4 projection = scene->screenProjection();
    if (!core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_LEFT))
        waitForRelease = false;
    if (options->isOpen()) {
        options->draw(projection);
    } else if (replays->isOpen()) {
        replays->draw(projection);
    } else if (levels->isOpen()) {
        levels->draw(projection);
    } else {
        shapes->beginShape(projection, GL_TRIANGLES);
        shapes->texture = splashTexture;
        shapes->color = glm::vec4(1.0f);
        shapes->rect(width * 0.5f - 160.0f, height * 0.5f + 58.333332f, 320.0f, 175.0f, shapes->color, shapes->color);
        shapes->endShape();
        if (!bestTime->text.empty()) {
            bestTime->color = glm::vec3(1.0f);
            bestTime->draw(glm::vec3(width * 0.5f, height * 0.5f + 22.0f, 0.0f), 0.6f, glm::vec3(0.0f), projection,
                           true);
        }
        for (gui::GUIButton* button : shownButtons) {
            // Drawn without its click while a held button waits for its release.
            const auto click = waitForRelease ? std::exchange(button->onClick, nullptr) : nullptr;
            button->draw(projection);
            if (click)
                button->onClick = click;
        }
    }
    if (showTimings)
        scene->drawTimings();
}

void StartMenu::onResize(int width, int height)
{
    glViewport(0, 0, width, height);
    needsResize = true;
}

void StartMenu::onGamepadButton(int button, int action)
{
    heardFromPlayer();
    if (options->isOpen())
        options->onGamepadButton(button, action);
    else if (replays->isOpen())
        replays->onGamepadButton(button, action);
    else if (levels->isOpen())
        levels->onGamepadButton(button, action);
    else
        focus->onGamepadButton(button, action);
}

void StartMenu::onMouseButton(int, int, int)
{
    heardFromPlayer();
}

void StartMenu::onScroll(double, double)
{
    heardFromPlayer();
}

void StartMenu::onKey(int key, int, int action, int)
{
    heardFromPlayer();
    if (options->isOpen()) {
        options->onKey(key, action);
        return;
    }
    if (replays->isOpen()) {
        replays->onKey(key, action);
        return;
    }
    if (levels->isOpen()) {
        levels->onKey(key, action);
        return;
    }
    if (focus->onKey(key, action))
        return;
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS)
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    if (key == GLFW_KEY_F7 && action == GLFW_RELEASE)
        showTimings = !showTimings;
}

} // namespace fennik::levels
