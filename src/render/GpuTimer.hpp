#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <array>
#include <string>
#include <vector>

namespace fennik::render {

// How long each pass of a frame took on the graphics processor, read back with
// timestamp queries a few frames later so that asking never waits for the GPU.
//
// A frame calls `beginFrame`, `mark` after each pass, then `endFrame`. The results of
// a frame arrive when its queries are done (normally two or three frames on); until
// then `latest` keeps the last frame that came back.
class GpuTimer {
public:
    struct PassTime {
        std::string name;
        double milliseconds = 0.0;
    };

    static constexpr int framesInFlight = 4;
    static constexpr int maxPasses = 24;

    // Needs a current context: every query is made now.
    GpuTimer() = default;

    // Not movable either: `current` points into the timer's own slots.
    GpuTimer(const GpuTimer&) = delete;
    GpuTimer& operator=(const GpuTimer&) = delete;

    void beginFrame();
    // The pass `name` has just been issued.
    void mark(const std::string& name);
    void endFrame();

    const std::vector<PassTime>& latest() const { return lastResult; }
    double latestTotal() const;
    // Frames whose timings have come back since the timer was made.
    int framesMeasured() const { return measured; }

private:
    struct Slot {
        std::array<GLQuery, maxPasses + 1> queries;
        std::vector<std::string> names;
        bool pending = false;
    };
    // Reads a slot whose queries are done; false while the GPU still works on it.
    bool collect(Slot& slot);

    std::array<Slot, framesInFlight> slots;
    Slot* current = nullptr; // null while no frame is being timed
    int next = 0;
    int measured = 0;
    std::vector<PassTime> lastResult;
};

} // namespace fennik::render
