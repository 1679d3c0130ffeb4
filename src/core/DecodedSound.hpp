#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fennik::core {

// A sound file decoded to 16-bit samples, interleaved by channel: what the sound
// engine hands to OpenAL. Decoding touches no device, so it runs (and is fuzzed)
// without one.
struct DecodedSound {
    std::vector<std::int16_t> samples;
    int channels = 0;
    int sampleRate = 0;

    // Sound effects last seconds; a header declaring more samples than this is not
    // an effect but a broken or hostile file, refused before memory is reserved.
    static constexpr std::int64_t maxSamples = std::int64_t{1} << 26;

    // The samples of `file`, or nothing when it cannot be decoded, declares no
    // sound or too much, or holds no samples at all. Logs nothing: the engine
    // reports a bad file once, whatever it asks for it.
    static std::optional<DecodedSound> read(const std::string& file);

    // OpenAL only places mono sounds in space, and only knows mono and stereo at all.
    void mixDownToMono();
};

} // namespace fennik::core
