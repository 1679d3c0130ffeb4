#include "core/SoundEngine.hpp"

#include "core/DataDirectory.hpp"
#include "core/DecodedSound.hpp"
#include "core/Log.hpp"
#include "core/MusicStream.hpp"

#include <AL/al.h>
#include <AL/alc.h>
#include <alsa/asoundlib.h>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace fennik::core {

struct SoundEngine::Output {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

namespace {

const glm::vec3 defaultFacing(0.0f, 0.0f, -1.0f);
constexpr float musicFadeSeconds = 1.0f;
constexpr float duckedLevel = 0.3f;
constexpr float duckSeconds = 0.3f;
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
    musicThread = std::thread([this] { musicLoop(); });
}

SoundEngine::~SoundEngine()
{
    if (!output)
        return;
    {
        const std::lock_guard lock(musicLock);
        musicStopping = true;
    }
    musicWake.notify_one();
    musicThread.join();
    music.stream.reset();
    fadingOut.clear();
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

void SoundEngine::setMusicVolume(float percent)
{
    const std::lock_guard lock(musicLock);
    musicGain = std::clamp(percent, 0.0f, 100.0f) / 100.0f;
    applyMusicGains();
}

void SoundEngine::setEffectsVolume(float percent)
{
    effectsGain = std::clamp(percent, 0.0f, 100.0f) / 100.0f;
    if (!output)
        return;
    for (const auto& voice : voices)
        alSourcef(voice->source, AL_GAIN, effectsGain);
}

std::string SoundEngine::musicFor(const std::string& levelName)
{
    static const std::map<std::string, std::string> pieces = {
        {"StartMenu", "start_menu.ogg"},         {"TestLevel", "test_level.ogg"}, {"TutorialLevel", "tutorial_level.ogg"},
        {"LevelOne", "level_one.ogg"},           {"LevelTwo", "level_two.ogg"},   {"LevelBoss", "level_boss.ogg"},
    };
    const auto piece = pieces.find(levelName);
    return piece == pieces.end() ? std::string() : dataPath("music/" + piece->second);
}

void SoundEngine::playMusic(const std::string& file)
{
    if (!output || file == musicFile)
        return;
    bool known;
    {
        const std::lock_guard lock(musicLock);
        known = unplayable.contains(file);
    }
    // Opened outside the lock: the music thread keeps the old piece going meanwhile.
    std::unique_ptr<MusicStream> stream = file.empty() || known ? nullptr : MusicStream::open(file, 0.0f);
    const std::lock_guard lock(musicLock);
    musicFile = file;
    if (music.stream)
        fadingOut.push_back(std::move(music));
    music = Piece{std::move(stream), 0.0f};
    if (music.stream)
        music.stream->hold(musicHeld);
    else if (!file.empty() && unplayable.insert(file).second)
        log::error("Music file could not be played: ", file);
}

void SoundEngine::duckMusic(bool duck)
{
    const std::lock_guard lock(musicLock);
    ducked = duck;
}

void SoundEngine::holdMusic(bool held)
{
    const std::lock_guard lock(musicLock);
    musicHeld = held;
    if (music.stream)
        music.stream->hold(held);
    for (Piece& piece : fadingOut)
        piece.stream->hold(held);
}

void SoundEngine::musicLoop()
{
    // Four times a buffer's worth a second: the queue never gets near empty.
    constexpr auto period = std::chrono::milliseconds(25);
    auto last = std::chrono::steady_clock::now();
    std::unique_lock lock(musicLock);
    while (!musicStopping) {
        musicWake.wait_for(lock, period);
        const auto now = std::chrono::steady_clock::now();
        stepMusic(std::chrono::duration<float>(now - last).count());
        last = now;
    }
}

void SoundEngine::stepMusic(float seconds)
{
    if (!musicHeld) {
        music.level = std::min(1.0f, music.level + seconds / musicFadeSeconds);
        for (Piece& piece : fadingOut)
            piece.level -= seconds / musicFadeSeconds;
        std::erase_if(fadingOut, [](const Piece& piece) { return piece.level <= 0.0f; });
        const float duckStep = seconds * (1.0f - duckedLevel) / duckSeconds;
        duckLevel = ducked ? std::max(duckedLevel, duckLevel - duckStep) : std::min(1.0f, duckLevel + duckStep);
    }
    applyMusicGains();
    if (music.stream)
        music.stream->update();
    for (Piece& piece : fadingOut)
        piece.stream->update();
    if (music.stream && !music.stream->healthy() && unplayable.insert(musicFile).second)
        log::error("Music file could not be played: ", musicFile);
}

void SoundEngine::applyMusicGains()
{
    // Equal-power fades: the crossfade keeps the loudness instead of dipping halfway.
    const auto fade = [](float level) { return std::sin(std::clamp(level, 0.0f, 1.0f) * 1.5707964f); };
    if (music.stream)
        music.stream->setGain(musicGain * duckLevel * fade(music.level));
    for (Piece& piece : fadingOut)
        piece.stream->setGain(musicGain * duckLevel * fade(piece.level));
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
    if (std::optional<DecodedSound> sound = DecodedSound::read(file)) {
        if (sound->channels > 2 || (layout == Layout::Mono && sound->channels > 1))
            sound->mixDownToMono();
        const ALenum format = sound->channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
        alGetError();
        alGenBuffers(1, &buffer);
        alBufferData(buffer, format, sound->samples.data(),
                     static_cast<ALsizei>(sound->samples.size() * sizeof(std::int16_t)), sound->sampleRate);
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
    alSourcef(source, AL_GAIN, effectsGain);
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
