// Renders a fixed number of frames of every level at a given size and prints what each
// pass of the frame costs on the GPU, per level, with the frame total (the sum of the
// passes) and the wall-clock time of a whole frame. The last column is the bare
// pipeline: the same passes over a scene that holds nothing but the player figure
// before the sky, the yardstick for what the levels' own content costs.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/frame_bench [WIDTHxHEIGHT] [FRAMES] [PRESET]
//
// Run from the repository root. Defaults: 800x800, 20 frames after 3 to warm up, the
// high preset (low, medium or high).

#include "app/FenniksZavororor.hpp"
#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/Level.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "render/GpuResources.hpp"
#include "scene/Scene.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace fennik;

struct Measured {
    std::map<std::string, double> passes; // mean milliseconds
    double gpuTotal = 0.0;
    double wallClock = 0.0;
};

// Draws `frames` frames with `draw`, each finished before the next, and averages the
// timings of the frames whose queries came back.
template <typename Draw>
Measured measure(int frames, Draw draw)
{
    render::GpuTimer& timer = render::gpu().timer();
    Measured result;
    int timed = 0;
    double wallClock = 0.0;
    for (int frame = 0; frame < frames + 3; ++frame) {
        const int before = timer.framesMeasured();
        const auto start = std::chrono::steady_clock::now();
        draw();
        glFinish();
        const double milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        glfwSwapBuffers(core::LevelManager::instance().window);
        if (frame < 3)
            continue; // programs and caches settle in the first frames
        wallClock += milliseconds;
        if (timer.framesMeasured() == before)
            continue;
        ++timed;
        for (const auto& pass : timer.latest())
            result.passes[pass.name] += pass.milliseconds;
        result.gpuTotal += timer.latestTotal();
    }
    for (auto& [name, milliseconds] : result.passes)
        milliseconds /= timed > 0 ? timed : 1;
    result.gpuTotal /= timed > 0 ? timed : 1;
    result.wallClock = wallClock / frames;
    return result;
}

void resizeWindow(app::FenniksZavororor& game, int width, int height)
{
    GLFWwindow* window = core::LevelManager::instance().window;
    glfwSetWindowSize(window, width, height);
    for (int attempt = 0; attempt < 300 && game.settings->windowWidth != unsigned(width); ++attempt)
        glfwWaitEventsTimeout(0.01);
}

} // namespace

int main(int argc, char** argv)
{
    int width = 800, height = 800, frames = 20;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: %s [WIDTHxHEIGHT] [FRAMES]\n", argv[0]);
        return 2;
    }
    if (argc > 2)
        frames = std::max(1, std::atoi(argv[2]));
    const auto preset = core::presetFromName(argc > 3 ? argv[3] : "high");
    if (!preset) {
        std::fprintf(stderr, "unknown preset '%s'\n", argv[3]);
        return 2;
    }

    core::ScriptedInput input;
    input.setTime(100.0);
    core::ScopedInputSource scripted(input);
    app::FenniksZavororor game("Fennik's Zavororor");
    game.start();
    core::applyPreset(game.settings->graphics, *preset);
    render::gpu().configure(game.settings->graphics);
    resizeWindow(game, width, height);

    const std::vector<std::string> levels = {"StartMenu", "TestLevel", "TutorialLevel",
                                             "LevelOne",  "LevelTwo",  "LevelBoss"};
    std::vector<std::string> columns = levels;
    std::vector<Measured> results;
    for (const std::string& name : levels) {
        core::LevelManager::instance().setLevel(name);
        auto& level = *core::LevelManager::instance().getActiveLevel();
        input.advance(core::ScriptedInput::tickSeconds);
        level.update(); // takes the window's size
        results.push_back(measure(frames, [&level] { level.render(1.0f); }));
    }

    // The bare pipeline: the figure alone before the sky, under the same camera.
    {
        render::Model& figure = render::gpu().model(core::dataPath("models/Fennik.obj"));
        scene::Scene bare(core::LevelManager::instance().window, game.settings.get());
        bare.createPlayer(figure.meshes.empty() ? nullptr : &figure.meshes.front(), 11.0f, {0.0f, 2.0f, 0.0f}, false);
        bare.createCamera();
        bare.camera->setProjection(game.settings->fov, float(width) / float(height), game.settings->nearZ,
                                   game.settings->farZ);
        bare.resizeFramebuffers();
        for (int tick = 0; tick < 30; ++tick)
            bare.update(); // the camera glides to its place; the figure stays where it was put
        const render::Frame frame = bare.buildFrame({[] {}, true, [] {}});
        results.push_back(measure(frames, [&] { bare.draw(frame, 1.0f); }));
        columns.push_back("bare");
    }

    std::vector<std::string> passes;
    for (const Measured& result : results)
        for (const auto& [name, milliseconds] : result.passes)
            if (std::find(passes.begin(), passes.end(), name) == passes.end())
                passes.push_back(name);
    // In frame order.
    const std::vector<std::string> order = {"shadow map",     "lit scene",       "particles", "sky box",
                                            "bloom blur",     "bloom combine",   "tone mapping", "depth of field",
                                            "scene to window", "scale up",       "health bars", "2D overlay"};
    std::printf("GPU milliseconds per pass at %d x %d, preset %s, mean of %d frames\n\n| pass |", width, height,
                core::presetName(*preset).c_str(), frames);
    for (const std::string& column : columns)
        std::printf(" %s |", column.c_str());
    std::printf("\n|---|");
    for (std::size_t i = 0; i < columns.size(); ++i)
        std::printf("---:|");
    std::printf("\n");
    for (const std::string& pass : order) {
        if (std::find(passes.begin(), passes.end(), pass) == passes.end())
            continue;
        std::printf("| %s |", pass.c_str());
        for (const Measured& result : results) {
            const auto found = result.passes.find(pass);
            if (found == result.passes.end())
                std::printf(" - |");
            else
                std::printf(" %.1f |", found->second);
        }
        std::printf("\n");
    }
    std::printf("| **GPU total** |");
    for (const Measured& result : results)
        std::printf(" **%.1f** |", result.gpuTotal);
    std::printf("\n| wall clock per frame |");
    for (const Measured& result : results)
        std::printf(" %.1f |", result.wallClock);
    std::printf("\n");
    game.finish();
    return 0;
}
