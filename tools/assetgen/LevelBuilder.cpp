#include "LevelBuilder.hpp"

#include <cstdio>
#include <set>

namespace fennik::assetgen {

LevelBuilder::LevelBuilder(std::string fileName, std::string description)
    : fileName(std::move(fileName)), description(std::move(description))
{
}

void LevelBuilder::solid(const std::string& label, Geometry geometry, Surface surface)
{
    geometry.projectUV(surfaceInfo(surface).unitsPerRepeat);
    int number = ++labelCounts[label];
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "_%02d", number);
    pieces.push_back({label + suffix + "_solid_" + surfaceInfo(surface).look, surfaceInfo(surface).material, std::move(geometry)});
}

void LevelBuilder::solidBox(const std::string& label, glm::vec3 minCorner, glm::vec3 maxCorner, Surface surface)
{
    solid(label, shapes::box(minCorner, maxCorner), surface);
}

void LevelBuilder::scenery(Geometry geometry, Surface surface, bool projectTexture)
{
    if (projectTexture) {
        geometry.projectUV(surfaceInfo(surface).unitsPerRepeat);
    }
    merged[surface].add(geometry);
}

void LevelBuilder::named(const std::string& name, Geometry geometry, Surface surface)
{
    geometry.projectUV(surfaceInfo(surface).unitsPerRepeat);
    pieces.push_back({name, surfaceInfo(surface).material, std::move(geometry)});
}

void LevelBuilder::noteMarker(glm::vec3 floor)
{
    Geometry marker;
    // A slanted board on a short post, its face towards the camera's side (+X).
    marker.add(shapes::cylinder(0.16f, 0.16f, 1.0f, 8), translate(floor));
    marker.add(shapes::centredBox({0.1f, 0.8f, 1.0f}), translate(floor + glm::vec3(0.0f, 1.3f, 0.0f)) * rotateZ(-40.0f));
    // Rolled ends of the scroll.
    marker.add(shapes::cylinder(0.14f, 0.14f, 2.2f, 8), translate(floor + glm::vec3(-0.5f, 1.9f, -1.1f)) * rotateX(90.0f));
    marker.add(shapes::cylinder(0.14f, 0.14f, 2.2f, 8), translate(floor + glm::vec3(0.55f, 0.7f, -1.1f)) * rotateX(90.0f));
    // A diamond floating above, visible from far away.
    Geometry diamond = shapes::cylinder(0.5f, 0.0f, 0.8f, 4);
    diamond.add(shapes::cylinder(0.5f, 0.0f, 0.8f, 4), rotateX(180.0f));
    marker.add(diamond, translate(floor + glm::vec3(0.0f, 3.6f, 0.0f)));
    marker.paint(glm::vec2(0.5f));
    char name[32];
    std::snprintf(name, sizeof(name), "note_marker_%02d", ++notes);
    pieces.push_back({name, surfaceInfo(Surface::NoteRed).material, std::move(marker)});
}

size_t LevelBuilder::meshCount() const
{
    size_t count = pieces.size();
    for (const auto& [surface, geometry] : merged) {
        count += geometry.empty() ? 0 : 1;
    }
    return count;
}

bool LevelBuilder::write(const OutputPaths& paths) const
{
    std::vector<ObjMesh> meshes = pieces;
    for (const auto& [surface, geometry] : merged) {
        if (!geometry.empty()) {
            meshes.push_back({std::string("scenery_") + surfaceInfo(surface).material + "_" + surfaceInfo(surface).look,
                              surfaceInfo(surface).material, geometry});
        }
    }
    std::set<std::string> used;
    for (const ObjMesh& mesh : meshes) {
        used.insert(mesh.material);
    }
    std::vector<MtlMaterial> materials;
    for (int s = 0; s < static_cast<int>(Surface::Count); ++s) {
        MtlMaterial material = surfaceMaterial(static_cast<Surface>(s));
        if (used.count(material.name)) {
            materials.push_back(material);
        }
    }
    return writeObjModel(paths.models(), fileName, meshes, materials, description);
}

} // namespace fennik::assetgen
