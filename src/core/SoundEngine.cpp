#include "core/SoundEngine.hpp"

#include "core/Log.hpp"

#include <AL/al.h>
#include <AL/alc.h>
#include <alsa/asoundlib.h>
#include <glm/geometric.hpp>
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace fennik::core {

struct SoundEngine::Output {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

namespace {

// Sound effects last seconds; anything near this is not an effect but a broken
// or hostile header, and is refused before memory is reserved for it.
constexpr sf_count_t maxSamples = sf_count_t{1} << 26;

struct DecodedSound {
    std::vector<std::int16_t> samples;
    int channels = 0;
    int sampleRate = 0;
};

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

bool decode(const std::string& file, DecodedSound& sound)
{
    SF_INFO info{};
    SNDFILE* handle = sf_open(file.c_str(), SFM_READ, &info);
    if (!handle)
        return false;
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
    if (!sound.samples.empty() && cutShort(file))
        log::warn("Sound file is cut short, playing what it has: ", file);
    return !sound.samples.empty();
}

// OpenAL only places mono sounds in space, and only knows mono and stereo at all.
void mixDownToMono(DecodedSound& sound)
{
    const auto channels = static_cast<std::size_t>(sound.channels);
    const std::size_t frames = sound.samples.size() / channels;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        int sum = 0;
        for (std::size_t channel = 0; channel < channels; ++channel)
            sum += sound.samples[frame * channels + channel];
        sound.samples[frame] = static_cast<std::int16_t>(sum / static_cast<int>(channels));
    }
    sound.samples.resize(frames);
    sound.channels = 1;
}

const glm::vec3 defaultFacing(0.0f, 0.0f, -1.0f);
const glm::vec3 defaultUp(0.0f, 1.0f, 0.0f);

// Also false for NaN components, which must not reach OpenAL either.
bool hasLength(glm::vec3 v)
{
    return glm::dot(v, v) > 1e-12f;
}

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

} // namespace

SoundEngine& SoundEngine::instance()
{
    static SoundEngine engine;
    return engine;
}

SoundEngine::SoundEngine()
{
    // Without a sound card ALSA and OpenAL each write their own lines to standard
    // error while OpenAL looks for one; the game says it once, below. OpenAL's log
    // level stays whatever a developer sets in ALSOFT_LOGLEVEL.
    snd_lib_error_set_handler(ignoreAlsaMessage);
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    ALCdevice* device = alcOpenDevice(nullptr);
    ALCcontext* context = device ? alcCreateContext(device, nullptr) : nullptr;
    if (!context || !alcMakeContextCurrent(context)) {
        if (context)
            alcDestroyContext(context);
        if (device)
            alcCloseDevice(device);
        log::warn("No audio device could be opened, the game runs without sound");
        return;
    }
    output = std::make_unique<Output>(Output{device, context});
}

SoundEngine::~SoundEngine()
{
    if (!output)
        return;
    // Handles kept by entities may outlive the engine; zeroing their source keeps
    // them from touching OpenAL once it is gone.
    for (const auto& voice : voices) {
        alSourceStop(voice->source);
        alDeleteSources(1, &voice->source);
        voice->source = 0;
    }
    voices.clear();
    for (const auto& [key, buffer] : buffers) {
        if (buffer != 0)
            alDeleteBuffers(1, &buffer);
    }
    buffers.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(output->context);
    alcCloseDevice(output->device);
}

void SoundEngine::play2D(const std::string& file)
{
    if (output)
        start(file, Layout::AsRecorded, true, glm::vec3(0.0f));
}

Sound SoundEngine::play3D(const std::string& file, glm::vec3 position)
{
    if (!output)
        return Sound();
    return Sound(start(file, Layout::Mono, false, position));
}

void SoundEngine::setListenerPosition(glm::vec3 position, glm::vec3 facing, glm::vec3 velocity, glm::vec3 up)
{
    if (!output)
        return;
    // Called every frame, which makes it the engine's heartbeat for reclaiming voices.
    reclaimFinished();

    if (!hasLength(facing))
        facing = defaultFacing;
    if (!hasLength(up))
        up = defaultUp;
    // A facing along the up vector leaves the listener's sideways axis undefined;
    // any up across the facing will do for a player looking straight up or down.
    if (!hasLength(glm::cross(facing, up)))
        up = hasLength(glm::cross(facing, defaultUp)) ? defaultUp : glm::vec3(0.0f, 0.0f, 1.0f);

    const ALfloat orientation[6] = {facing.x, facing.y, facing.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListener3f(AL_VELOCITY, velocity.x, velocity.y, velocity.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

void SoundEngine::setVolume(float percent)
{
    if (!output)
        return;
    alListenerf(AL_GAIN, std::clamp(percent, 0.0f, 100.0f) / 100.0f);
}

std::size_t SoundEngine::activeVoices()
{
    reclaimFinished();
    return voices.size();
}

unsigned int SoundEngine::bufferFor(const std::string& file, Layout layout)
{
    const auto key = std::make_pair(file, layout);
    if (const auto known = buffers.find(key); known != buffers.end())
        return known->second;
    if (undecodable.contains(file))
        return 0;

    ALuint buffer = 0;
    DecodedSound sound;
    if (decode(file, sound)) {
        if (sound.channels > 2 || (layout == Layout::Mono && sound.channels > 1))
            mixDownToMono(sound);
        const ALenum format = sound.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
        alGetError();
        alGenBuffers(1, &buffer);
        alBufferData(buffer, format, sound.samples.data(),
                     static_cast<ALsizei>(sound.samples.size() * sizeof(std::int16_t)), sound.sampleRate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &buffer);
            buffer = 0;
        }
    }
    if (buffer == 0) {
        log::error("Sound file could not be decoded: ", file);
        undecodable.insert(file);
        return 0;
    }
    buffers.emplace(key, buffer);
    return buffer;
}

std::shared_ptr<Sound::Voice> SoundEngine::start(const std::string& file, Layout layout, bool atListener,
                                                 glm::vec3 position)
{
    reclaimFinished();
    const ALuint buffer = bufferFor(file, layout);
    if (buffer == 0)
        return nullptr;

    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        log::warn("Too many sounds at once, skipped: ", file);
        return nullptr;
    }
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_LOOPING, AL_FALSE);
    alSourcei(source, AL_SOURCE_RELATIVE, atListener ? AL_TRUE : AL_FALSE);
    alSource3f(source, AL_POSITION, position.x, position.y, position.z);
    alSourcePlay(source);

    auto voice = std::make_shared<Sound::Voice>();
    voice->source = source;
    voices.push_back(voice);
    return voice;
}

void SoundEngine::reclaimFinished()
{
    std::erase_if(voices, [](const std::shared_ptr<Sound::Voice>& voice) {
        ALint state = AL_STOPPED;
        alGetSourcei(voice->source, AL_SOURCE_STATE, &state);
        if (state != AL_STOPPED)
            return false;
        alDeleteSources(1, &voice->source);
        voice->source = 0;
        return true;
    });
}

} // namespace fennik::core
