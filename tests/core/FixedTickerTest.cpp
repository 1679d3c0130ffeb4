#include "core/FixedTicker.hpp"

#include <gtest/gtest.h>

using fennik::core::FixedTicker;

TEST(FixedTicker, RunsThirtyTicksPerSecondWhateverTheFrameRate)
{
    for (double framesPerSecond : {9.0, 30.0, 59.94, 144.0, 1000.0}) {
        FixedTicker ticker;
        ticker.start(100.0);
        long long ticks = 0;
        const int frames = static_cast<int>(10.0 * framesPerSecond);
        for (int frame = 0; frame <= frames; ++frame)
            ticks += ticker.advance(100.0 + frame / framesPerSecond);
        // One tick at start, then 30 per second of clock time.
        EXPECT_NEAR(static_cast<double>(ticks), 301.0, 1.0) << framesPerSecond << " frames per second";
    }
}

TEST(FixedTicker, FirstFrameGetsOneTickAndAStandingClockNone)
{
    FixedTicker ticker;
    ticker.start(5.0);
    EXPECT_EQ(ticker.advance(5.0), 1);
    EXPECT_EQ(ticker.advance(5.0), 0);
    EXPECT_EQ(ticker.advance(5.0 + FixedTicker::tickSeconds * 0.5), 0);
    EXPECT_EQ(ticker.advance(5.0 + FixedTicker::tickSeconds), 1);
}

TEST(FixedTicker, ExactTickBoundariesCountDespiteRounding)
{
    FixedTicker ticker;
    ticker.start(0.0);
    ticker.advance(0.0);
    int ticks = 0;
    for (int i = 1; i <= 3000; ++i)
        ticks += ticker.advance(i * FixedTicker::tickSeconds);
    EXPECT_EQ(ticks, 3000);
}

TEST(FixedTicker, SlowFramesRunAtMostFourTicksAndDropTheBacklog)
{
    FixedTicker ticker;
    ticker.start(0.0);
    ticker.advance(0.0);
    EXPECT_EQ(ticker.advance(1.0), FixedTicker::maxTicksPerFrame); // 30 were due
    // The backlog is gone: the next frame a tick later runs one tick, not 27.
    EXPECT_EQ(ticker.advance(1.0 + FixedTicker::tickSeconds), 1);
}
