#pragma once

#include <string>

#include "ObjWriter.hpp"
#include "Pictures.hpp"

namespace fennik::assetgen {

// The materials the level models are built from. Each has a tileable diffuse texture;
// the stony ones also have a normal map.
enum class Surface {
    Sand,
    Grass,
    Cobble,
    Sandstone,
    Bricks,
    Planks,
    Bark,
    Leaves,
    Metal,
    Brass,
    Crystal,
    Water,
    Cactus,
    Darkstone,
    Cloth,
    NoteRed,
    Count
};

struct SurfaceInfo {
    const char* material;    // material name in the MTL files
    const char* look;        // "rough" or "metallic": goes into mesh names, which pick the shading
    float unitsPerRepeat;    // world units one texture tile covers
};

const SurfaceInfo& surfaceInfo(Surface surface);
MtlMaterial surfaceMaterial(Surface surface);

bool writeSurfaceTextures(const OutputPaths& paths);

} // namespace fennik::assetgen
