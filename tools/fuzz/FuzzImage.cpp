// Image files through the game's decoding (DecodedImage), as each user asks for
// them: a material texture (the file's own channels), a sky box face (RGB) or the
// splash screen (flipped). The input's length picks one, so that each input decodes
// once: the shipped images are large, and one decode is most of the time it takes.
#include "ScratchFiles.hpp"

#include "render/DecodedImage.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fennik;
    const std::string path = fuzz::writeScratch("image", data, size);
    constexpr struct {
        int channels;
        bool flipRows;
    } uses[] = {{0, false}, {3, false}, {0, true}};
    const auto& use = uses[size % 3];
    render::DecodedImage::read(path, use.channels, use.flipRows);
    return 0;
}
