#include "render/Texture.hpp"

#include "core/DataDirectory.hpp"
#include "core/Log.hpp"
#include "render/DecodedImage.hpp"

#include <algorithm>

namespace fennik::render {

namespace {

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
                 GL_UNSIGNED_BYTE, image.data());
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

    if (const DecodedImage image = DecodedImage::read(portablePath(path), 0, flip)) {
        glBindTexture(GL_TEXTURE_2D, texture);
        upload(image);
    } else {
        log::error("Texture failed to load at path: ", path);
    }
    return texture;
}

GLuint textureFromFile(const std::string& fileName, const std::string& directory, bool halved)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    reloadTextureFromFile(texture, fileName, directory, halved);
    return texture;
}

void reloadTextureFromFile(GLuint texture, const std::string& fileName, const std::string& directory, bool halved)
{
    const std::string name = portablePath(fileName);
    DecodedImage image = DecodedImage::read(directory + "/" + name, 0, false);
    if (!image)
        image = DecodedImage::read(core::dataPath(name), 0, false);
    if (!image) {
        log::error("Texture failed to load at path: ", fileName);
        return;
    }
    if (halved)
        image = image.halved();
    glBindTexture(GL_TEXTURE_2D, texture);
    upload(image);
}

} // namespace fennik::render
