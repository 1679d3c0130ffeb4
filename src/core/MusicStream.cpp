#include "core/MusicStream.hpp"

#include <AL/al.h>
#include <sndfile.h>

namespace fennik::core {

struct MusicStream::File {
    SNDFILE* handle = nullptr;
    int channels = 0;
    int sampleRate = 0;

    ~File()
    {
        if (handle)
            sf_close(handle);
    }
};

std::unique_ptr<MusicStream> MusicStream::open(const std::string& path, float gain)
{
    auto file = std::make_unique<File>();
    SF_INFO info{};
    file->handle = sf_open(path.c_str(), SFM_READ, &info);
    if (!file->handle || info.channels < 1 || info.channels > 2 || info.samplerate <= 0 || info.frames <= 0 ||
        !info.seekable)
        return nullptr;
    file->channels = info.channels;
    file->sampleRate = info.samplerate;

    std::unique_ptr<MusicStream> stream(new MusicStream());
    stream->file = std::move(file);
    stream->block.resize(static_cast<std::size_t>(framesPerBuffer * stream->file->channels));
    alGetError();
    alGenSources(1, &stream->source);
    if (alGetError() != AL_NO_ERROR) {
        stream->source = 0;
        return nullptr;
    }
    alGenBuffers(bufferCount, stream->buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        stream->buffers.fill(0);
        return nullptr;
    }
    for (const unsigned int buffer : stream->buffers) {
        if (!stream->fill(buffer))
            return nullptr;
        alSourceQueueBuffers(stream->source, 1, &buffer);
    }
    // Music sits at the listener: it is never placed in the world.
    alSourcei(stream->source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(stream->source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    stream->setGain(gain);
    alSourcePlay(stream->source);
    return stream;
}

MusicStream::~MusicStream()
{
    if (source != 0) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0); // unqueues every buffer, so they can go
        alDeleteSources(1, &source);
    }
    if (buffers[0] != 0)
        alDeleteBuffers(bufferCount, buffers.data());
}

bool MusicStream::fill(unsigned int buffer)
{
    const auto wanted = static_cast<sf_count_t>(framesPerBuffer);
    sf_count_t frames = 0;
    bool rewound = false;
    while (frames < wanted) {
        const sf_count_t read = sf_readf_short(file->handle, block.data() + frames * file->channels, wanted - frames);
        if (read > 0) {
            frames += read;
            rewound = false;
            continue;
        }
        // The end of the piece: on from its start. A file that gives nothing even
        // from its start is broken, and must not spin here.
        if (rewound || sf_seek(file->handle, 0, SEEK_SET) != 0) {
            broken = true;
            return false;
        }
        rewound = true;
    }
    alBufferData(buffer, file->channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, block.data(),
                 static_cast<ALsizei>(frames * file->channels * static_cast<sf_count_t>(sizeof(std::int16_t))),
                 file->sampleRate);
    return true;
}

void MusicStream::update()
{
    if (broken)
        return;
    ALint played = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &played);
    for (; played > 0; --played) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (!fill(buffer)) {
            alSourceStop(source);
            return;
        }
        alSourceQueueBuffers(source, 1, &buffer);
    }
    ALint state = AL_PLAYING;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING && !held)
        alSourcePlay(source);
}

void MusicStream::setGain(float gain)
{
    alSourcef(source, AL_GAIN, gain);
}

void MusicStream::hold(bool hold)
{
    if (hold == held || broken)
        return;
    held = hold;
    if (held)
        alSourcePause(source);
    else
        alSourcePlay(source);
}

} // namespace fennik::core
