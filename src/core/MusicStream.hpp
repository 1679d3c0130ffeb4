#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fennik::core {

// One piece of music streamed from its file through one OpenAL source: a few short
// buffers are decoded ahead and refilled as they play, so a piece of any length costs
// the same small memory, and at the end of the file decoding goes on from its start in
// the same buffer, so the loop has no seam. Owned by the sound engine and driven by its
// music thread under its lock; needs the engine's OpenAL context.
class MusicStream {
public:
    // The piece in `file`, queued and playing at `gain`; null when the file cannot be
    // opened or decoded (logs nothing: the engine reports it once).
    static std::unique_ptr<MusicStream> open(const std::string& file, float gain);
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Refills the buffers that have played; restarts the source if it ever ran dry.
    void update();
    void setGain(float gain);
    // Holds the piece where it is, or lets it go on.
    void hold(bool held);
    // False once the file stopped giving samples (a broken file discovered mid-way).
    bool healthy() const { return !broken; }

    static constexpr int bufferCount = 4;
    static constexpr int framesPerBuffer = 8192;

private:
    MusicStream() = default;
    // Decodes the next block into `buffer`, from the file's start again at its end.
    bool fill(unsigned int buffer);

    struct File;
    std::unique_ptr<File> file;
    unsigned int source = 0;
    std::array<unsigned int, bufferCount> buffers{};
    std::vector<std::int16_t> block;
    bool broken = false;
    bool held = false;
};

} // namespace fennik::core
