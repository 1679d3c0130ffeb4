#include "levels/StartMenu.hpp"

#include "core/DataDirectory.hpp"
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
#include "gui/ShapeRenderer.hpp"
#include "gui/Text.hpp"
#include "gui/TextRenderer.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "render/GpuResources.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace fennik::levels {

namespace {

constexpr const char* demoFile = "replays/demo.fzreplay";

// The title picture, the best time and the buttons, in reference units around the
// middle of the window (see gui::UiFrame).
const glm::vec2 titleCentre(0.0f, 145.833333f);
const glm::vec2 titleSize(320.0f, 175.0f);
constexpr float bestTimeBaseline = 22.0f;
const glm::vec2 buttonSize(150.0f, 40.0f);
// From the middle of the window down to the first button's centre, and on to the next.
constexpr float firstButtonBelow = 30.0f;
constexpr float buttonStep = 55.0f;
constexpr int mostButtons = 6;
// From the title's top to the last button's bottom (with Continue), and the widest part.
const glm::vec2 menuExtent(320.0f,
                           2.0f * (firstButtonBelow + (mostButtons - 1) * buttonStep + buttonSize.y * 0.5f));
// Fennik's half width on screen as a part of the window's height, and the room kept
// between the buttons and Fennik.
constexpr float foxHalfWidth = 0.09f;
constexpr float foxEarsHalfWidth = 0.08f; // the ears reach up beside the title picture
constexpr float foxClearance = 20.0f;

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
    playerModel = &render::gpu().model(core::dataPath("models/Fennik.obj"));
    levelModel = std::make_unique<render::Model>(core::dataPath("models/beginning.obj"));

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
    core::SoundEngine::instance().play2D(core::dataPath("music/empty.wav"));

    // Evenly spaced below the title picture, "Start Game" where it always was.
    const auto button = [&](float below, const char* caption) {
        auto made = std::make_unique<gui::GUIButton>(gui::Anchor::Centre, glm::vec2(0.0f, -below), caption, 0.75f,
                                                     buttonSize);
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
    splashTexture = render::gpu().texture(core::dataPath("textures/splash.png"), true);
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
        button->centre.y = -below;
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
        core::ReplayEntry entry = core::readReplay(core::dataPath(demoFile), *settings);
        if (!entry.replay) {
            attractMode = false; // refused with a log line; the menu stays as it is
            return;
        }
        demo = std::move(entry.replay);
    }
    core::LevelManager::instance().deck.play(*demo, core::dataPath(demoFile), true);
}

void StartMenu::applyWindowSize()
{
    const float width = static_cast<float>(settings->windowWidth);
    const float height = static_cast<float>(settings->windowHeight);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    scene->camera->setProjection(settings->fov, width / height, settings->nearZ, settings->farZ);
    // The camera looks at Fennik, who would stand right behind the buttons: the picture
    // is shifted sideways (the lens, not the camera) until Fennik stands beside them,
    // as far as the window allows.
    const gui::UiFrame menu = menuFrame();
    const float foxHalf = foxHalfWidth * height;
    const float clearOfButtons = startButton->naturalWidth(menu) * 0.5f + menu.size(foxClearance) + foxHalf;
    const float clearOfTitle = menu.size(titleSize.x * 0.5f) + foxEarsHalfWidth * height;
    const float beside = std::min(std::max(clearOfButtons, clearOfTitle), width * 0.5f - foxHalf);
    scene->camera->projection = glm::translate(glm::mat4(1.0f), glm::vec3(2.0f * beside / width, 0.0f, 0.0f)) *
                                scene->camera->projection;
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

gui::UiFrame StartMenu::menuFrame() const
{
    const gui::UiFrame ui = gui::UiFrame::current();
    return ui.scaledTo(ui.fittingScale(menuExtent));
}

void StartMenu::drawOverlay()
{
    const gui::UiFrame ui = gui::UiFrame::current();
    const glm::mat4 projection = scene->screenProjection();
    if (!core::input().isMouseButtonDown(nullptr, GLFW_MOUSE_BUTTON_LEFT))
        waitForRelease = false;
    if (options->isOpen()) {
        options->draw(projection, ui);
    } else if (replays->isOpen()) {
        replays->draw(projection, ui);
    } else if (levels->isOpen()) {
        levels->draw(projection, ui);
    } else {
        const gui::UiFrame menu = menuFrame();
        const glm::vec2 corner = menu.point(gui::Anchor::Centre, titleCentre - titleSize * 0.5f);
        shapes->beginShape(projection, GL_TRIANGLES);
        shapes->texture = splashTexture;
        shapes->color = glm::vec4(1.0f);
        shapes->rect(std::round(corner.x), std::round(corner.y), std::round(menu.size(titleSize.x)),
                     std::round(menu.size(titleSize.y)), shapes->color, shapes->color);
        shapes->endShape();
        if (!bestTime->text.empty()) {
            bestTime->color = glm::vec3(1.0f);
            bestTime->draw(menu.point(gui::Anchor::Centre, {0.0f, bestTimeBaseline}), menu.captionPixels(0.6f),
                           projection, true);
        }
        gui::shareWidth(shownButtons, menu);
        for (gui::GUIButton* button : shownButtons) {
            // Drawn without its click while a held button waits for its release.
            const auto click = waitForRelease ? std::exchange(button->onClick, nullptr) : nullptr;
            button->draw(projection, menu);
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
