#pragma once

namespace fennik::core {

// Turns wall-clock time into fixed simulation ticks of 1/30 s, so that the game
// runs at the same speed however fast the machine renders. The levels' per-tick
// tuning (impulses, camera smoothing, two physics sub-steps) assumes this rate.
class FixedTicker {
public:
    static constexpr double tickSeconds = 1.0 / 30.0;
    // A machine that renders slower than 7.5 frames per second slows the game
    // down rather than spiralling into ever longer catch-up frames.
    static constexpr int maxTicksPerFrame = 4;

    // The first frame after start always gets one tick.
    void start(double now);

    // How many ticks are due at `now`; the backlog beyond the cap is dropped.
    int advance(double now);

    // How far the clock had run into the next tick at the last `advance`, 0 <= alpha
    // < 1: what a frame drawn then blends the last two tick states by.
    double alpha() const { return sinceLastTick; }

private:
    double startTime = 0.0;
    long long ticksDone = 0;
    double sinceLastTick = 0.0;
};

} // namespace fennik::core
