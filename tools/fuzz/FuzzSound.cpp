// Sound files through the sound engine's decoding (DecodedSound), as a positional
// sound takes it: decoded, then mixed down to mono.
#include "ScratchFiles.hpp"

#include "core/DecodedSound.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fennik;
    const std::string path = fuzz::writeScratch("sound.wav", data, size);
    if (std::optional<core::DecodedSound> sound = core::DecodedSound::read(path)) {
        if (sound->channels > 1)
            sound->mixDownToMono();
    }
    return 0;
}
