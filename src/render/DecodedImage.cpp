#include "render/DecodedImage.hpp"

#include <stb/stb_image.h>

namespace fennik::render {

void DecodedImage::Release::operator()(unsigned char* data) const
{
    stbi_image_free(data);
}

DecodedImage DecodedImage::read(const std::string& path, int channels, bool flipRows)
{
    DecodedImage image;
    int fileChannels = 0;
    if (!stbi_info(path.c_str(), &image.width, &image.height, &fileChannels) || image.width <= 0 ||
        image.height <= 0 || image.width > maxSide || image.height > maxSide)
        return image;
    const int wanted = channels != 0 ? channels : fileChannels == 2 ? 4 : 0;
    stbi_set_flip_vertically_on_load(flipRows);
    image.pixels.reset(stbi_load(path.c_str(), &image.width, &image.height, &image.channels, wanted));
    // Other decoders in the process (the asset tools) expect the flip to be off.
    stbi_set_flip_vertically_on_load(false);
    if (wanted)
        image.channels = wanted;
    return image;
}

} // namespace fennik::render
