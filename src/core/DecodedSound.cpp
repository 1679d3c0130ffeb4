#include "core/DecodedSound.hpp"

#include "core/Log.hpp"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace fennik::core {

namespace {

// Whether a RIFF (WAV) file is shorter than its header says. libsndfile plays such a
// file as far as it goes, without a word.
bool cutShort(const std::string& file)
{
    std::ifstream stream(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = stream.tellg();
    stream.seekg(0);
    unsigned char header[8] = {};
    if (!stream.read(reinterpret_cast<char*>(header), sizeof header) || std::memcmp(header, "RIFF", 4) != 0)
        return false;
    const std::uint32_t declared = header[4] | header[5] << 8 | header[6] << 16 | std::uint32_t{header[7]} << 24;
    return std::streamoff{declared} + 8 > size;
}

} // namespace

std::optional<DecodedSound> DecodedSound::read(const std::string& file)
{
    SF_INFO info{};
    SNDFILE* handle = sf_open(file.c_str(), SFM_READ, &info);
    if (!handle)
        return std::nullopt;
    DecodedSound sound;
    const bool usable = info.channels > 0 && info.samplerate > 0 && info.frames > 0 &&
                        info.frames <= maxSamples / info.channels;
    if (usable) {
        sound.channels = info.channels;
        sound.sampleRate = info.samplerate;
        sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
        const sf_count_t frames = sf_readf_short(handle, sound.samples.data(), info.frames);
        sound.samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(frames, 0) * info.channels));
    }
    sf_close(handle);
    if (sound.samples.empty())
        return std::nullopt;
    if (cutShort(file))
        log::warn("Sound file is cut short, playing what it has: ", file);
    return sound;
}

void DecodedSound::mixDownToMono()
{
    const auto count = static_cast<std::size_t>(channels);
    const std::size_t frames = samples.size() / count;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        int sum = 0;
        for (std::size_t channel = 0; channel < count; ++channel)
            sum += samples[frame * count + channel];
        samples[frame] = static_cast<std::int16_t>(sum / static_cast<int>(count));
    }
    samples.resize(frames);
    channels = 1;
}

} // namespace fennik::core
