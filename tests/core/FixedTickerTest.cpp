#include "core/FixedTicker.hpp"
#include "core/FrameLimiter.hpp"

#include <gtest/gtest.h>

#include <chrono>

using fennik::core::FixedTicker;

TEST(FixedTicker, RunsThirtyTicksPerSecondWhateverTheFrameRate)
{
    for (double framesPerSecond : {9.0, 59.94, 1000.0}) {
        FixedTicker ticker;
        ticker.start(100.0);
        long long ticks = 0;
        for (int frame = 0; frame <= static_cast<int>(10.0 * framesPerSecond); ++frame)
            ticks += ticker.advance(100.0 + frame / framesPerSecond);
        EXPECT_NEAR(static_cast<double>(ticks), 301.0, 1.0) << framesPerSecond; // one at start, then 30 a second
    }
}

TEST(FixedTicker, FirstFrameTicksAndASlowFrameRunsAtMostFourDroppingTheBacklogButNotTheAlpha)
{
    FixedTicker ticker;
    ticker.start(5.0);
    EXPECT_EQ(ticker.advance(5.0), 1);
    EXPECT_EQ(ticker.alpha(), 0.0);
    EXPECT_EQ(ticker.advance(5.0 + FixedTicker::tickSeconds * 0.5), 0);
    EXPECT_NEAR(ticker.alpha(), 0.5, 1e-9); // how far into the next tick a frame is drawn
    EXPECT_EQ(ticker.advance(6.0), FixedTicker::maxTicksPerFrame); // 30 were due
    EXPECT_EQ(ticker.alpha(), 0.0) << "on a tick, give or take the clock's rounding";
    EXPECT_EQ(ticker.advance(6.0 + FixedTicker::tickSeconds * 1.25), 1); // not the 26 left over
    EXPECT_NEAR(ticker.alpha(), 0.25, 1e-9);
}

TEST(FrameLimiter, ACapStartsFramesOnAGridAndNeverSleepsAfterAFrameThatOverran)
{
    using namespace std::chrono_literals;
    fennik::core::FrameLimiter limiter; // at 50 frames a second, a start every 20 ms
    const fennik::core::FrameLimiter::Clock::time_point t0{10s};
    EXPECT_EQ(limiter.nextStart(t0, 50), t0) << "the first frame sets the grid";
    EXPECT_EQ(limiter.nextStart(t0 + 5ms, 50), t0 + 20ms) << "a quick frame sleeps out the rest";
    EXPECT_EQ(limiter.nextStart(t0 + 28ms, 50), t0 + 40ms) << "a late wake-up does not shift the grid";
    EXPECT_EQ(limiter.nextStart(t0 + 65ms, 50), t0 + 60ms) << "after an overrun the next starts at once";
    EXPECT_EQ(limiter.nextStart(t0 + 105ms, 50), t0 + 105ms) << "more than a frame behind: a new grid";
    EXPECT_EQ(limiter.nextStart(t0 + 110ms, 50), t0 + 125ms);
    EXPECT_EQ(limiter.nextStart(t0 + 130ms, 0), t0 + 130ms) << "no cap, no sleep";
    EXPECT_EQ(limiter.nextStart(t0 + 131ms, 50), t0 + 131ms) << "a cap set again starts afresh";
}
