#include "core/DecodedSound.hpp"

#include <sndfile.h>

#include <algorithm>

namespace fennik::core {

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
