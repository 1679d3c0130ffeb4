#include "render/Cubemap.hpp"

#include "render/DecodedImage.hpp"
#include "render/TextureUnits.hpp"

#include "core/DataDirectory.hpp"
#include "core/Log.hpp"


namespace fennik::render {

namespace {

// Two triangles per face, corners at -1 and +1, wound to be seen from inside.
constexpr float cubePositions[] = {
    -1, 1, -1,  -1, -1, -1,  1, -1, -1,   1, -1, -1,  1, 1, -1,  -1, 1, -1,
    -1, -1, 1,  -1, -1, -1,  -1, 1, -1,  -1, 1, -1,  -1, 1, 1,   -1, -1, 1,
    1, -1, -1,  1, -1, 1,    1, 1, 1,     1, 1, 1,    1, 1, -1,   1, -1, -1,
    -1, -1, 1,  -1, 1, 1,    1, 1, 1,     1, 1, 1,    1, -1, 1,   -1, -1, 1,
    -1, 1, -1,  1, 1, -1,    1, 1, 1,     1, 1, 1,    -1, 1, 1,   -1, 1, -1,
    -1, -1, -1, -1, -1, 1,   1, -1, -1,   1, -1, -1,  -1, -1, 1,  1, -1, 1,
};

} // namespace

Cubemap::Cubemap()
{
    glBindVertexArray(vertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, sizeof cubePositions, cubePositions, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glBindVertexArray(0);
}

void Cubemap::load(const std::vector<std::string>& faces, bool halved)
{
    glActiveTexture(units::active(units::skybox));
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeTexture.id());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    for (std::size_t i = 0; i < faces.size() && i < 6; ++i) {
        const std::string path = core::dataPath("textures/skybox/" + faces[i]);
        // Faces are always uploaded as RGB; ask the decoder for exactly that so a
        // grey or RGBA file cannot be read past its end.
        DecodedImage face = DecodedImage::read(path, 3, false);
        if (face && halved)
            face = face.halved();
        if (!face) {
            log::error("Cubemap tex failed to load at path: ", path);
            continue;
        }
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), 0, GL_RGB, face.width, face.height, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, face.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
}

void Cubemap::draw() const
{
    glBindVertexArray(vertexArray.id());
    glDrawArrays(GL_TRIANGLES, 0, 36);
    glBindVertexArray(0);
}

} // namespace fennik::render
