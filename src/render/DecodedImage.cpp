#include "render/DecodedImage.hpp"

#include <stb/stb_image.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace fennik::render {

namespace {

std::uint32_t bigEndian(const unsigned char* bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// The image decoder's inflater reads zero bits past the end of a PNG's image data,
// so a few hundred bytes whose stream never ends inflate without limit, gigabytes
// in the end. zlib tells beforehand: the data must come to its end within what a
// `width` x `height` image can need (16-bit RGBA, interlaced, with a row filter byte
// in every pass), or the file is refused. True for files that are not PNG.
bool pngDataEndsInTime(const std::string& path, int width, int height)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    constexpr std::array<unsigned char, 8> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (bytes.size() < signature.size() || std::memcmp(bytes.data(), signature.data(), signature.size()) != 0)
        return true;

    std::vector<unsigned char> data;
    bool rawDeflate = false; // Apple's "CgBI" files leave out the zlib header
    bool ended = false;
    for (std::size_t at = signature.size(); !ended && bytes.size() - at >= 12;) {
        const std::uint32_t length = bigEndian(&bytes[at]);
        const unsigned char* type = &bytes[at + 4];
        if (length > bytes.size() - at - 12)
            return false;
        if (std::memcmp(type, "IDAT", 4) == 0)
            data.insert(data.end(), type + 4, type + 4 + length);
        rawDeflate = rawDeflate || std::memcmp(type, "CgBI", 4) == 0;
        ended = std::memcmp(type, "IEND", 4) == 0;
        at += 12 + length;
    }
    const std::size_t skip = rawDeflate ? 0 : 2;
    if (!ended || data.size() <= skip)
        return false;

    const auto rows = static_cast<std::uint64_t>(height);
    const auto columns = static_cast<std::uint64_t>(width);
    const std::uint64_t limit = (2 * rows + 7) * (2 + 8 * columns);
    z_stream stream{};
    // Raw inflation: the decoder checks the zlib header itself and ignores the checksum.
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = data.data() + skip;
    stream.avail_in = static_cast<uInt>(data.size() - skip);
    std::array<unsigned char, 1 << 16> scratch;
    int status = Z_OK;
    while (status == Z_OK && stream.total_out <= limit) {
        stream.next_out = scratch.data();
        stream.avail_out = scratch.size();
        status = inflate(&stream, Z_NO_FLUSH);
    }
    const bool fits = status == Z_STREAM_END && stream.total_out <= limit;
    inflateEnd(&stream);
    return fits;
}

} // namespace

void DecodedImage::Release::operator()(unsigned char* data) const
{
    stbi_image_free(data);
}

DecodedImage DecodedImage::halved() const
{
    DecodedImage half;
    if (!pixels)
        return half;
    half.width = std::max(1, width / 2);
    half.height = std::max(1, height / 2);
    half.channels = channels;
    // From malloc, as stb's own pixels are: the same Release frees both.
    half.pixels.reset(static_cast<unsigned char*>(
        std::malloc(static_cast<std::size_t>(half.width) * static_cast<std::size_t>(half.height) * channels)));
    if (!half.pixels)
        return {};
    const auto at = [&](int x, int y, int channel) {
        x = std::min(x, width - 1);
        y = std::min(y, height - 1);
        return static_cast<int>(pixels.get()[(static_cast<std::size_t>(y) * width + x) * channels + channel]);
    };
    unsigned char* out = half.pixels.get();
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x)
            for (int channel = 0; channel < channels; ++channel)
                *out++ = static_cast<unsigned char>((at(2 * x, 2 * y, channel) + at(2 * x + 1, 2 * y, channel) +
                                                     at(2 * x, 2 * y + 1, channel) +
                                                     at(2 * x + 1, 2 * y + 1, channel) + 2) /
                                                    4);
    return half;
}

DecodedImage DecodedImage::read(const std::string& path, int channels, bool flipRows)
{
    DecodedImage image;
    int fileChannels = 0;
    if (!stbi_info(path.c_str(), &image.width, &image.height, &fileChannels) || image.width <= 0 ||
        image.height <= 0 || image.width > maxSide || image.height > maxSide ||
        !pngDataEndsInTime(path, image.width, image.height))
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
