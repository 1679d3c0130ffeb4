// Renders each level the way the game shows it at the player's start (default camera,
// physically based shading, post-processing), plus the start menu's low camera, and
// writes the pictures as PNG files, for looking at the assets in the real renderer.
//
//   xvfb-run -a build/tools/fennik_levelshots [output-directory]
//
// Run from the repository root; the output directory defaults to "screenshots".

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/GL.hpp"
#include "render/GpuResources.hpp"
#include "render/Model.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>
#include <stb/stb_image_write.h>

namespace {

struct Figure {
    std::string model;
    glm::vec3 position;
    enum Kind { Enemy, Dummy, Boss, Note, Rock } kind;
};

struct Shot {
    std::string name;
    std::string level;
    bool skipInteractable;
    glm::vec3 start;
    std::vector<Figure> figures;
    // Where to stand instead of the start, and the start menu's close, low camera.
    glm::vec3 cameraAt;
    bool menuCamera = false;
    float yaw = 270.0f;
};

const glm::vec3 menuStart(-3.471045f, 1.915f, 34.187042f);
const glm::vec3 levelStart(0.0f, 1.915f, 24.0f);

std::vector<Shot> shots()
{
    std::vector<Figure> tutorial = {{"dummy", {-14.0f, 1.9f, 29.0f}, Figure::Dummy}, {"dummy2", {21.0f, 1.9f, -49.0f}, Figure::Dummy},
                                    {"", {0, 0, 0}, Figure::Rock}};
    std::vector<Figure> first = {{"enemy", {19.0f, 1.9f, -3.0f}, Figure::Enemy}, {"enemy", {6.0f, 1.9f, -50.0f}, Figure::Enemy},
                                 {"enemy", {10.0f, 1.9f, -20.0f}, Figure::Enemy}};
    std::vector<Figure> second = {{"enemy", {19.0f, 1.9f, -3.0f}, Figure::Enemy}, {"enemy", {6.0f, 1.9f, -50.0f}, Figure::Enemy},
                                  {"", {0, 0, 0}, Figure::Rock}};
    std::vector<Figure> boss = {{"boss_enemy", {6.0f, 1.9f, -35.0f}, Figure::Boss}};
    return {
        {"menu", "beginning", false, menuStart, {}, menuStart, true, 270.0f},
        {"menu_back", "beginning", false, menuStart, {}, menuStart, true, 90.0f},
        {"beginning", "beginning", false, menuStart, {}, menuStart},
        {"beginning_exit", "beginning", false, menuStart, {}, {-3.0f, 1.915f, -38.0f}},
        {"tutorial", "tutorial", true, menuStart, tutorial, menuStart},
        {"tutorial_middle", "tutorial", true, menuStart, tutorial, {8.0f, 1.915f, -18.0f}},
        {"tutorial_end", "tutorial", true, menuStart, tutorial, {10.0f, 1.915f, -50.0f}},
        {"firstLevel", "firstLevel", false, levelStart, first, levelStart},
        {"firstLevel_middle", "firstLevel", false, levelStart, first, {8.0f, 1.915f, -25.0f}},
        {"secondLevel", "secondLevel", true, levelStart, second, levelStart},
        {"secondLevel_end", "secondLevel", true, levelStart, second, {6.0f, 1.915f, -60.0f}},
        {"bossRoom", "bossRoom", true, levelStart, boss, levelStart},
        {"bossRoom_arena", "bossRoom", true, levelStart, boss, {6.0f, 1.915f, -20.0f}},
    };
}

bool saveWindow(const std::string& path, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<unsigned char> flipped(pixels.size());
    for (int y = 0; y < height; ++y) {
        std::copy_n(&pixels[static_cast<size_t>(height - 1 - y) * width * 3], width * 3, &flipped[static_cast<size_t>(y) * width * 3]);
    }
    return stbi_write_png(path.c_str(), width, height, 3, flipped.data(), width * 3) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace fennik;
    std::string outputDirectory = argc > 1 ? argv[1] : "screenshots";
    std::filesystem::create_directories(outputDirectory);
    if (!glfwInit()) {
        std::cerr << "levelshots: no display\n";
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    auto settings = core::loadSettings();
    const int width = static_cast<int>(settings->windowWidth);
    const int height = static_cast<int>(settings->windowHeight);
    GLFWwindow* window = glfwCreateWindow(width, height, "levelshots", nullptr, nullptr);
    if (!window) {
        std::cerr << "levelshots: no OpenGL 4.3 context\n";
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    glewInit();
    core::LevelManager::instance().setContext(window, settings.get());

    for (const Shot& shot : shots()) {
        render::Model playerModel(core::dataPath("models/Fennik.obj"));
        render::Model levelModel(core::dataPath("models/" + shot.level + ".obj"));
        std::vector<std::unique_ptr<render::Model>> figureModels;
        {
            scene::Scene scene(window, settings.get());
            scene.createPlayer(playerModel.meshes.empty() ? nullptr : &playerModel.meshes[0], 11.0f, shot.cameraAt, false);
            auto camera = scene.createCamera();
            for (const Figure& figure : shot.figures) {
                if (figure.kind == Figure::Rock) {
                    scene.addInteractable(levelModel.findMesh("rock_interactable_Cube.023_BigRock1_1.004"), 15.0f, glm::vec3(0.0f), false, 0.0f, "default");
                    continue;
                }
                figureModels.push_back(std::make_unique<render::Model>(core::dataPath("models/" + figure.model + ".obj")));
                render::Mesh* mesh = figureModels.back()->meshes.empty() ? nullptr : &figureModels.back()->meshes[0];
                if (figure.kind == Figure::Dummy) {
                    scene.addDummyEnemy(mesh, 20.0f, figure.position, false);
                } else if (figure.kind == Figure::Boss) {
                    scene.addBossEnemy(mesh, 20.0f, figure.position, false);
                } else {
                    scene.addEnemy(mesh, 20.0f, figure.position, false);
                }
            }
            scene.addLevelGeometry(levelModel, shot.skipInteractable);
            if (shot.menuCamera) {
                camera->distance = 10.0f;
                camera->pitch = 5.0f;
            }
            camera->yaw = shot.yaw;
            scene.resizeFramebuffers();
            // Let bodies settle and the camera glide to its place behind the player.
            for (int tick = 0; tick < 90; ++tick) {
                scene.update();
                scene.stepPhysics();
            }
            scene.setShadingMode(1);
            scene.draw(scene.buildFrame({}), 1.0f);
            glFinish();
            std::string path = outputDirectory + "/" + shot.name + ".png";
            std::cout << (saveWindow(path, width, height) ? "wrote " : "FAILED ") << path << "\n";
        }
    }
    render::releaseGpu();
    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
