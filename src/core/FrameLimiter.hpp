#pragma once

#include <chrono>

namespace fennik::core {

// Holds the frame loop to a frame cap: after each frame it sleeps out what is left of
// the frame's share of the second (the kernel's timer through sleep_until, never a
// busy wait). A frame that ran long is not made up for: once the loop is a whole
// frame behind, the schedule starts afresh from now instead of rushing frames out.
class FrameLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // Called once a frame, after the swap: sleeps until the next frame may start. A cap
    // of 0 (or less) sleeps never.
    void wait(int framesPerSecond);

    // When the frame after one that ended at `now` may start; the schedule behind
    // `wait`, kept apart so it can be checked without a clock.
    Clock::time_point nextStart(Clock::time_point now, int framesPerSecond);

private:
    Clock::time_point scheduled{}; // when the frame now ending was due to start
};

} // namespace fennik::core
