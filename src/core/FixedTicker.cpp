#include "core/FixedTicker.hpp"

#include <cmath>

namespace fennik::core {

void FixedTicker::start(double now)
{
    startTime = now - tickSeconds;
    ticksDone = 0;
    sinceLastTick = 0.0;
}

int FixedTicker::advance(double now)
{
    // Counting whole ticks from the start avoids the drift of adding 1/30 again and again.
    const double ticksRun = (now - startTime) / tickSeconds;
    const auto ticksDue = static_cast<long long>(std::floor(ticksRun + 1e-9));
    // A clock within rounding of a tick boundary counts as on it, on either side.
    const double fraction = ticksRun - static_cast<double>(ticksDue);
    sinceLastTick = fraction < 1e-9 ? 0.0 : fraction;
    long long pending = ticksDue - ticksDone;
    if (pending <= 0)
        return 0;
    ticksDone = ticksDue;
    return pending > maxTicksPerFrame ? maxTicksPerFrame : static_cast<int>(pending);
}

} // namespace fennik::core
