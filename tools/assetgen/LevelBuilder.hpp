#pragma once

#include <map>
#include <string>
#include <vector>

#include "Geometry.hpp"
#include "ObjWriter.hpp"
#include "Pictures.hpp"
#include "Surfaces.hpp"

namespace fennik::assetgen {

// Collects a level model. The game decides from mesh names what collides: every piece
// given to `solid` becomes its own mesh named "<label>_solid_<look>" and must be convex
// (the game collides it as its convex hull). Scenery does not collide and is merged into
// one mesh per surface, which keeps the mesh count (and the draw calls) low.
class LevelBuilder {
public:
    LevelBuilder(std::string fileName, std::string description);

    void solid(const std::string& label, Geometry geometry, Surface surface);
    void solidBox(const std::string& label, glm::vec3 minCorner, glm::vec3 maxCorner, Surface surface);
    void scenery(Geometry geometry, Surface surface, bool projectTexture = true);
    // A mesh with exactly this name, for objects the level looks up by name.
    void named(const std::string& name, Geometry geometry, Surface surface);
    // The red marker the player reads with R: a scroll on a stand with a diamond above it,
    // standing on the floor at `floor`.
    void noteMarker(glm::vec3 floor);

    size_t meshCount() const;
    bool write(const OutputPaths& paths) const;

private:
    std::string fileName;
    std::string description;
    std::vector<ObjMesh> pieces;
    std::map<Surface, Geometry> merged;
    std::map<std::string, int> labelCounts;
    int notes = 0;
};

} // namespace fennik::assetgen
