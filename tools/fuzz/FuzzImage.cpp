// Image files through the game's decoding (DecodedImage), as each user asks for
// them: a material texture (the file's own channels), a sky box face (RGB) and the
// splash screen (flipped).
#include "ScratchFiles.hpp"

#include "render/DecodedImage.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fennik;
    const std::string path = fuzz::writeScratch("image", data, size);
    render::DecodedImage::read(path, 0, false);
    render::DecodedImage::read(path, 3, false);
    render::DecodedImage::read(path, 0, true);
    return 0;
}
