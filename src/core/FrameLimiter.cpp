#include "core/FrameLimiter.hpp"

#include <thread>

namespace fennik::core {

FrameLimiter::Clock::time_point FrameLimiter::nextStart(Clock::time_point now, int framesPerSecond)
{
    if (framesPerSecond <= 0) {
        scheduled = {};
        return now;
    }
    if (scheduled == Clock::time_point{}) {
        scheduled = now;
        return now;
    }
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / framesPerSecond));
    // Frames keep to a grid of whole periods, so the rate holds on average even though
    // each sleep wakes a little late. A frame that overran starts the next at once; one
    // more than a whole period behind moves the grid to now.
    const Clock::time_point next = scheduled + period;
    scheduled = now - next > period ? now : next;
    return scheduled;
}

void FrameLimiter::wait(int framesPerSecond)
{
    const Clock::time_point start = nextStart(Clock::now(), framesPerSecond);
    std::this_thread::sleep_until(start);
}

} // namespace fennik::core
