#include "ObjWriter.hpp"

#include <cstdio>
#include <fstream>
#include <string>
#include <unordered_map>

namespace fennik::assetgen {

namespace {

std::string format(const char* pattern, float a, float b, float c = 0.0f)
{
    char buffer[96];
    // "-0.0000" and "0.0000" are the same number; write one spelling only.
    auto clean = [](float v) { return (v > -0.00005f && v < 0.00005f) ? 0.0f : v; };
    std::snprintf(buffer, sizeof(buffer), pattern, clean(a), clean(b), clean(c));
    return buffer;
}

// Hands out 1-based indices for distinct lines of one kind (v, vt or vn).
class Pool {
public:
    int index(const std::string& line, std::string& out)
    {
        auto found = indices.find(line);
        if (found != indices.end()) {
            return found->second;
        }
        int next = static_cast<int>(indices.size()) + 1;
        indices.emplace(line, next);
        out += line;
        return next;
    }

private:
    std::unordered_map<std::string, int> indices;
};

} // namespace

bool writeObjModel(const std::string& directory, const std::string& baseName, const std::vector<ObjMesh>& meshes,
                   const std::vector<MtlMaterial>& materials, const std::string& description)
{
    std::string mtl = "# " + description + "\n";
    for (const MtlMaterial& m : materials) {
        mtl += "\nnewmtl " + m.name + "\n";
        mtl += format("Ka %.4f %.4f %.4f\n", m.diffuse.x, m.diffuse.y, m.diffuse.z);
        mtl += format("Kd %.4f %.4f %.4f\n", m.diffuse.x, m.diffuse.y, m.diffuse.z);
        mtl += format("Ks %.4f %.4f %.4f\n", m.specular.x, m.specular.y, m.specular.z);
        mtl += format("Ns %.1f\n", m.shininess, 0.0f);
        mtl += "d 1.0\nillum 2\n";
        if (!m.diffuseMap.empty()) {
            mtl += "map_Kd " + m.diffuseMap + "\n";
        }
        if (!m.normalMap.empty()) {
            mtl += "map_Bump " + m.normalMap + "\n";
        }
    }

    std::string obj = "# " + description + "\nmtllib " + baseName + ".mtl\n";
    Pool positions;
    Pool coordinates;
    Pool normals;
    for (const ObjMesh& mesh : meshes) {
        std::string vertexLines;
        std::string faceLines;
        for (const Triangle& t : mesh.geometry.triangles) {
            faceLines += "f";
            for (const Vertex& v : t.v) {
                int p = positions.index(format("v %.4f %.4f %.4f\n", v.position.x, v.position.y, v.position.z), vertexLines);
                int c = coordinates.index(format("vt %.4f %.4f\n", v.uv.x, v.uv.y), vertexLines);
                int n = normals.index(format("vn %.3f %.3f %.3f\n", v.normal.x, v.normal.y, v.normal.z), vertexLines);
                faceLines += " " + std::to_string(p) + "/" + std::to_string(c) + "/" + std::to_string(n);
            }
            faceLines += "\n";
        }
        obj += "o " + mesh.name + "\n" + vertexLines + "usemtl " + mesh.material + "\ns off\n" + faceLines;
    }

    std::ofstream objFile(directory + "/" + baseName + ".obj", std::ios::binary);
    std::ofstream mtlFile(directory + "/" + baseName + ".mtl", std::ios::binary);
    objFile << obj;
    mtlFile << mtl;
    return static_cast<bool>(objFile) && static_cast<bool>(mtlFile);
}

} // namespace fennik::assetgen
