#include "core/FixedTicker.hpp"

#include <gtest/gtest.h>

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
