// How evenly the real frame loop paces its frames under a frame cap: starts the game,
// shrinks the window until a frame costs well under a cap's share of the second, then
// runs the loop on the start menu for a few seconds per cap and prints the time from
// one frame's start to the next's.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/frame_pacing [SECONDS]
//
// Run from the repository root. The clock is the real one: this is the game as a
// player runs it, with its own settings but for the cap and the window size.

#include "app/FenniksZavororor.hpp"
#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace fennik;
using Clock = std::chrono::steady_clock;

void resizeWindow(app::FenniksZavororor& game, int size)
{
    glfwSetWindowSize(core::LevelManager::instance().window, size, size);
    for (int attempt = 0; attempt < 300 && game.settings->windowWidth != unsigned(size); ++attempt)
        glfwWaitEventsTimeout(0.01);
}

void measure(app::FenniksZavororor& game, int cap, double seconds)
{
    game.settings->maxFps = cap;
    for (int frame = 0; frame < 10; ++frame)
        game.runFrame(); // the schedule and the caches settle
    std::vector<double> intervals;
    Clock::time_point last = Clock::now();
    const Clock::time_point end = last + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (last < end) {
        game.runFrame();
        const Clock::time_point now = Clock::now();
        intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    std::sort(intervals.begin(), intervals.end());
    double sum = 0.0;
    for (double interval : intervals)
        sum += interval;
    const auto at = [&](double share) { return intervals[static_cast<std::size_t>(share * (intervals.size() - 1))]; };
    std::printf("| %s | %zu | %.2f | %.2f | %.2f | %.2f | %.2f |\n", cap > 0 ? std::to_string(cap).c_str() : "none",
                intervals.size(), sum / intervals.size(), at(0.5), at(0.05), at(0.95), intervals.back());
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::max(0.5, std::atof(argv[1])) : 3.0;
    app::FenniksZavororor game("Fennik's Zavororor");
    game.start();
    game.settings->vsync = false; // Xvfb has no refresh to wait for; the cap alone paces
    glfwSwapInterval(0);
    resizeWindow(game, 96);
    std::printf("Frame to frame, milliseconds, start menu at 96 x 96, %.1f s per cap\n\n", seconds);
    std::printf("| max_fps | frames | mean | median | 5 %% | 95 %% | longest |\n|---|---:|---:|---:|---:|---:|---:|\n");
    for (int cap : {0, 30, 60, 144})
        measure(game, cap, seconds);
    game.finish();
    return 0;
}
