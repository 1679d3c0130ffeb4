#pragma once

#include "core/Sound.hpp"

#include <glm/vec3.hpp>

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fennik::core {

// The game's sound effects, played through OpenAL Soft from WAV files decoded with
// libsndfile. One engine serves the process and mixes on OpenAL's own thread; all
// calls come from the main thread.
//
// Without an audio device the engine is a null engine: it says so once and every
// call does nothing (play3D hands back an empty handle), so the game plays on in
// silence and callers never check.
class SoundEngine {
public:
    // Opens the default device on first use. The engine lives until the process
    // ends and is released after main returns, independent of the windows.
    static SoundEngine& instance();

    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    bool hasDevice() const { return output != nullptr; }

    // Plays the file once at the listener, untracked.
    void play2D(const std::string& file);

    // Plays the file once at a world position, heard relative to the listener.
    Sound play3D(const std::string& file, glm::vec3 position);

    // Places the listener. A facing of zero length means the default forward
    // (0, 0, -1); an up of zero length, or one along the facing, is replaced by one
    // across it, since OpenAL cannot orient a listener from parallel vectors.
    void setListenerPosition(glm::vec3 position, glm::vec3 facing, glm::vec3 velocity, glm::vec3 up);

    // The master volume, 0 to 100 percent (clamped): the listener's gain.
    void setVolume(float percent);

    // Voices still held: playing, or not yet reclaimed. For diagnostics and tests.
    std::size_t activeVoices();

private:
    SoundEngine();

    // Positional sounds are mixed down to mono: OpenAL only places mono sources in
    // space. Sounds at the listener keep their stereo.
    enum class Layout { AsRecorded, Mono };

    // The OpenAL buffer of a decoded file, or 0 when it cannot be decoded. Both
    // outcomes are remembered, so each file is decoded once and a bad one is
    // reported once, however often the game asks for it.
    unsigned int bufferFor(const std::string& file, Layout layout);
    std::shared_ptr<Sound::Voice> start(const std::string& file, Layout layout, bool atListener, glm::vec3 position);
    void reclaimFinished();

    // The opened device and its current context; null for the null engine.
    struct Output;
    std::unique_ptr<Output> output;
    std::map<std::pair<std::string, Layout>, unsigned int> buffers;
    std::set<std::string> undecodable;
    std::vector<std::shared_ptr<Sound::Voice>> voices;
};

} // namespace fennik::core
