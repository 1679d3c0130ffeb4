#include "core/Sound.hpp"

#include <AL/al.h>

namespace fennik::core {

bool Sound::isFinished() const
{
    if (!voice || voice->source == 0)
        return true;
    ALint state = AL_STOPPED;
    alGetSourcei(voice->source, AL_SOURCE_STATE, &state);
    return state == AL_STOPPED;
}

void Sound::stop()
{
    if (voice && voice->source != 0)
        alSourceStop(voice->source);
}

} // namespace fennik::core
