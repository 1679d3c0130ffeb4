#pragma once

#include "render/GL.hpp"

#include <string>

namespace fennik::render {

// Image files become mip-mapped 2D textures. These decode anew on every call and
// the caller owns the name; the game takes its textures from the shared cache
// (GpuResources), which decodes each file once.

// Decodes `path` (either separator) into a new texture; leaves it bound to
// GL_TEXTURE_2D on the active unit. A file that cannot be decoded is logged and
// gives the name of an empty texture. Leaves the decoder's flip setting off.
GLuint loadTexture(const std::string& path, bool flip);

// A texture named by a model's material: tried next to the model first, then
// in the data folder, `halved` in width and height when asked. Logs one error line
// when neither decodes.
GLuint textureFromFile(const std::string& fileName, const std::string& directory, bool halved = false);
// The same file decoded again into the existing `texture`, at full size or halved.
void reloadTextureFromFile(GLuint texture, const std::string& fileName, const std::string& directory, bool halved);

// Backslash-separated asset paths as written in the game name the same files on
// systems that only take "/".
std::string portablePath(std::string path);

} // namespace fennik::render
