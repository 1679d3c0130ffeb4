#include "render/Texture.hpp"

#include "core/Log.hpp"

#include <stb/stb_image.h>

#include <algorithm>

namespace fennik::render {

namespace {

struct DecodedImage {
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;

    explicit operator bool() const { return pixels != nullptr; }
};

DecodedImage decode(const std::string& path)
{
    DecodedImage image;
    int fileChannels = 0;
    if (!stbi_info(path.c_str(), &image.width, &image.height, &fileChannels))
        return image;
    // Grey-and-alpha images have no GL format of their own in the game: widen them
    // to RGBA so they keep both their shade and their transparency.
    const int wanted = fileChannels == 2 ? 4 : 0;
    image.pixels = stbi_load(path.c_str(), &image.width, &image.height, &image.channels, wanted);
    if (wanted)
        image.channels = wanted;
    return image;
}

GLenum formatFor(int channels)
{
    switch (channels) {
    case 1: return GL_RED;
    case 4: return GL_RGBA;
    default: return GL_RGB;
    }
}

void upload(const DecodedImage& image)
{
    const GLenum format = formatFor(image.channels);
    // Rows of one- and three-channel images are not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0, format,
                 GL_UNSIGNED_BYTE, image.pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

} // namespace

std::string portablePath(std::string path)
{
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

GLuint loadTexture(const std::string& path, bool flip)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);

    stbi_set_flip_vertically_on_load(flip);
    DecodedImage image = decode(portablePath(path));
    if (image) {
        glBindTexture(GL_TEXTURE_2D, texture);
        upload(image);
        stbi_image_free(image.pixels);
    } else {
        log::error("Texture failed to load at path: ", path);
    }
    // Other decoders (sky box faces, the window icon) expect the flip to be off.
    stbi_set_flip_vertically_on_load(false);
    return texture;
}

GLuint textureFromFile(const std::string& fileName, const std::string& directory)
{
    const std::string name = portablePath(fileName);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    stbi_set_flip_vertically_on_load(false);

    DecodedImage image = decode(directory + "/" + name);
    if (!image)
        image = decode(name);
    if (!image) {
        log::error("Texture failed to load at path: ", fileName);
        return texture;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    upload(image);
    stbi_image_free(image.pixels);
    return texture;
}

} // namespace fennik::render
