#include "levels/StartMenu.hpp"

#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/LevelManager.hpp"
#include "core/SoundEngine.hpp"
#include "gui/GUIButton.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ShapeRenderer.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "render/Model.hpp"
#include "render/GpuResources.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>

namespace fennik::levels {

namespace {

const glm::vec3 hoveredCaption(0.19f, 0.19f, 0.19f);
const glm::vec3 idleCaption(1.0f);

} // namespace

StartMenu::StartMenu(std::string name) : Level(std::move(name)) {}

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
    startButton = std::make_unique<gui::GUIButton>(width * 0.5f, height * 0.5f - 30.0f, "Start Game", 0.75f, 150.0f,
                                                   40.0f, true);
    // Evenly spaced below the title picture, "Start Game" where it always was.
    optionsButton = std::make_unique<gui::GUIButton>(width * 0.5f, height * 0.5f - 95.0f, "Options", 0.75f, 150.0f,
                                                     40.0f, true);
    quitButton = std::make_unique<gui::GUIButton>(width * 0.5f, height * 0.5f - 160.0f, "Quit Game", 0.75f, 150.0f,
                                                  40.0f, true);
    options = std::make_unique<gui::OptionsScreen>();
    buttonTexture = render::gpu().texture("assets/textures/button.png", true);
    buttonHoverTexture = render::gpu().texture("assets/textures/button_hover.png", true);
    splashTexture = render::gpu().texture("assets/textures/splash.png", true);

    for (gui::GUIButton* button : {startButton.get(), optionsButton.get(), quitButton.get()}) {
        button->texture = buttonTexture;
        button->onHover = [this, button] {
            button->texture = buttonHoverTexture;
            button->label.color = hoveredCaption;
        };
        button->onIdle = [this, button] {
            button->label.color = idleCaption;
            button->texture = buttonTexture;
        };
    }
    startButton->onClick = [] { core::LevelManager::instance().setLevel("TestLevel"); };
    quitButton->onClick = [this] { glfwSetWindowShouldClose(window, GLFW_TRUE); };
    optionsButton->onClick = [this] { options->open(); };
    focus = std::make_unique<gui::MenuFocus>(
        std::vector<gui::GUIElement*>{startButton.get(), optionsButton.get(), quitButton.get()});

    frame = scene->buildFrame({{}, false, [this] { drawOverlay(); }});

    noise.setNoiseType(core::NoiseType::Perlin);
    noise.setFractalOctaves(20);
    noise.setFrequency(0.01f);
}

void StartMenu::reset()
{
    scene->reset();
    focus->clear();
    needsResize = true;
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
    noiseTime = static_cast<int>(core::input().time());
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
    if (options->isOpen()) {
        options->draw(projection);
    } else {
        shapes->beginShape(projection, GL_TRIANGLES);
        shapes->texture = splashTexture;
        shapes->color = glm::vec4(1.0f);
        shapes->rect(width * 0.5f - 160.0f, height * 0.5f + 58.333332f, 320.0f, 175.0f, shapes->color, shapes->color);
        shapes->endShape();
        startButton->draw(projection);
        optionsButton->draw(projection);
        quitButton->draw(projection);
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
    if (options->isOpen())
        options->onGamepadButton(button, action);
    else
        focus->onGamepadButton(button, action);
}

void StartMenu::onKey(int key, int, int action, int)
{
    if (options->isOpen()) {
        options->onKey(key, action);
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
