#include "core/FixedTicker.hpp"

#include <cmath>

namespace fennik::core {

void FixedTicker::start(double now)
{
    startTime = now - tickSeconds;
    ticksDone = 0;
}

int FixedTicker::advance(double now)
{
    // Counting whole ticks from the start avoids the drift of adding 1/30 again and again.
    const auto ticksDue = static_cast<long long>(std::floor((now - startTime) / tickSeconds + 1e-9));
    long long pending = ticksDue - ticksDone;
    if (pending <= 0)
        return 0;
    ticksDone = ticksDue;
    return pending > maxTicksPerFrame ? maxTicksPerFrame : static_cast<int>(pending);
}

} // namespace fennik::core
