#pragma once

#include <string>
#include <vector>

#include "Geometry.hpp"

namespace fennik::assetgen {

// One object of an OBJ file: the game turns it into one mesh, named `name`, drawn with
// one material.
struct ObjMesh {
    std::string name;
    std::string material;
    Geometry geometry;
};

struct MtlMaterial {
    std::string name;
    glm::vec3 diffuse{1.0f};
    glm::vec3 specular{0.25f};
    float shininess = 32.0f;
    std::string diffuseMap; // relative to the model's directory
    std::string normalMap;  // written to the bump slot, which the game reads as its normal map
};

// Writes `<directory>/<baseName>.obj` and `.mtl`. Numbers use fixed formats so the files
// are the same on every run.
bool writeObjModel(const std::string& directory, const std::string& baseName, const std::vector<ObjMesh>& meshes,
                   const std::vector<MtlMaterial>& materials, const std::string& description);

} // namespace fennik::assetgen
