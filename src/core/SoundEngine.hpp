#pragma once

#include "core/Sound.hpp"

#include <glm/vec3.hpp>

#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fennik::core {

class MusicStream;

// The game's sound effects and music, played through OpenAL Soft from files decoded
// with libsndfile. One engine serves the process and mixes on OpenAL's own thread;
// all calls come from the main thread. The music streams on a thread of its own, which
// refills its buffers and moves its fades on every few milliseconds, so a slow frame
// or a level loading never lets it run dry and the frame never decodes.
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

    // The master volume, 0 to 100 percent (clamped): the listener's gain, over the
    // music's and the effects' own.
    void setVolume(float percent);
    void setMusicVolume(float percent);
    void setEffectsVolume(float percent);

    // --- music ---------------------------------------------------------------------
    // The piece each level plays, as a file name ("" for none).
    static std::string musicFor(const std::string& levelName);
    // Streams `file` in a loop, fading whatever played before out and the new piece in
    // over a second; the piece already playing goes on untouched, and "" fades to
    // silence. A file that cannot be played is reported once and stays silent.
    void playMusic(const std::string& file);
    // Lowers the music under the pause menu, or brings it back.
    void duckMusic(bool ducked);
    // Holds the music where it is while the game waits for the player's window.
    void holdMusic(bool held);
    // The piece playing (or fading in), "" for none. For diagnostics and tests.
    const std::string& musicPlaying() const { return musicFile; } // written on this thread only

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
    float effectsGain = 1.0f;

    // The music thread's loop, and one step of it: refills and fades, under musicLock.
    void musicLoop();
    void stepMusic(float seconds);

    struct Piece {
        std::unique_ptr<MusicStream> stream;
        float level = 0.0f; // of its fade, 0 to 1
    };
    void applyMusicGains();
    std::string musicFile; // the piece asked for last
    Piece music; // the one fading in or playing
    std::vector<Piece> fadingOut;
    float musicGain = 0.8f;
    float duckLevel = 1.0f;
    bool ducked = false;
    bool musicHeld = false;
    std::set<std::string> unplayable; // reported once each
    // Guards the pieces and everything above them that the music thread reads.
    std::mutex musicLock;
    std::condition_variable musicWake;
    bool musicStopping = false;
    std::thread musicThread;
};

} // namespace fennik::core
