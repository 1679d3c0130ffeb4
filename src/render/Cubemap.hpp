#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <string>
#include <vector>

namespace fennik::render {

// The sky box: a cube-map texture and the unit cube it is drawn on. Each level
// loads one at set-up and keeps it for the whole process.
class Cubemap {
public:
    Cubemap();

    // Face file names under the data folder's "textures/skybox/", in the order +X, -X, +Y, -Y, +Z, -Z.
    // A face that cannot be decoded is reported and left empty; the others load.
    // Leaves the cube map bound on the sky box's unit (render/TextureUnits.hpp).
    // `halved` keeps each face at half its width and height. Loading again replaces the faces.
    void load(const std::vector<std::string>& faces, bool halved = false);

    // Draws the 36 cube vertices with whatever program is current.
    void draw() const;

    GLuint texture() const { return cubeTexture.id(); }

private:
    GLTexture cubeTexture;
    GLVertexArray vertexArray;
    GLBuffer vertexBuffer;
};

} // namespace fennik::render
