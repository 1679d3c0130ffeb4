#pragma once

#include <functional>
#include <string>
#include <vector>

namespace fennik::render {

class GpuTimer;

// One step of a frame: what it draws, and the images it reads and writes ("shadow
// map", "scene colour", "window", ...). A pass sets the GL state it relies on.
struct Pass {
    std::string name;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
    std::function<void()> draw;
    // Whether the pass runs this frame; every frame when empty.
    std::function<bool()> runsWhen;
};

// A frame declared as an ordered list of passes. The order is checked when the frame
// is put together: a pass that reads an image no earlier pass writes is reported, as
// is a pass without a name or a body. Each run times every pass (see GpuTimer).
class Frame {
public:
    Frame() = default;
    explicit Frame(std::vector<Pass> passes);

    // Runs the passes that run this frame, in order; with a timer, each is timed.
    void run(GpuTimer* timer) const;

    const std::vector<Pass>& passes() const { return list; }
    // The names of the passes, in order.
    std::vector<std::string> names() const;
    // True when every read is written by an earlier pass (logged once otherwise).
    bool wellOrdered() const { return ordered; }

private:
    std::vector<Pass> list;
    bool ordered = true;
};

} // namespace fennik::render
