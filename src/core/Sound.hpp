#pragma once

#include <memory>
#include <utility>

namespace fennik::core {

// A handle to one positional sound started by the sound engine. It is a small
// value: copies refer to the same playing sound. An empty handle (default made,
// dropped, or returned when nothing could play) counts as finished, and stopping
// or dropping it does nothing, so holders never need to test it first.
class Sound {
public:
    Sound() = default;

    // True once the sound has played to its end or was stopped, and for empty handles.
    bool isFinished() const;
    // Silences the sound now; the engine reclaims its voice on its next call.
    void stop();
    // Lets go of the sound without stopping it: it plays out, and the engine
    // reclaims it afterwards. The handle is empty afterwards.
    void drop() { voice.reset(); }

    bool empty() const { return !voice; }

private:
    friend class SoundEngine;

    // One OpenAL source. The engine zeroes `source` when it deletes the source,
    // either because it stopped playing or because the engine shut down, so a
    // handle that outlives either never touches a deleted source.
    struct Voice {
        unsigned int source = 0;
    };

    explicit Sound(std::shared_ptr<Voice> playing) : voice(std::move(playing)) {}

    std::shared_ptr<Voice> voice;
};

} // namespace fennik::core
