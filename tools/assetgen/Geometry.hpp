#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace fennik::assetgen {

struct Vertex {
    glm::vec3 position{0.0f};
    glm::vec3 normal{0.0f, 1.0f, 0.0f};
    glm::vec2 uv{0.0f};
};

// Counter-clockwise seen from the side the normal points to (the game culls back faces).
struct Triangle {
    Vertex v[3];
};

// A triangle soup: shapes are built in their own frame, placed with a matrix and
// appended into the mesh they belong to.
class Geometry {
public:
    std::vector<Triangle> triangles;

    void add(const Geometry& other);
    void add(const Geometry& other, const glm::mat4& transform);
    Geometry transformed(const glm::mat4& transform) const;

    // Every vertex samples one spot (a palette cell).
    Geometry& paint(glm::vec2 uv);
    // World-space planar mapping per triangle along its dominant axis, laid out so that
    // (u, v, normal) is right-handed on every face: normal maps then read the same way
    // on walls, floors and ceilings.
    Geometry& projectUV(float unitsPerRepeat, glm::vec2 offset = glm::vec2(0.0f));
    // Around the Y axis (trunks, pillars): u runs once around per `repeatsAround`.
    Geometry& wrapUV(glm::vec3 axisPoint, float repeatsAround, float unitsPerRepeatUp);
    // Recomputes normals from the faces: flat per triangle.
    Geometry& flatNormals();

    glm::vec3 minCorner() const;
    glm::vec3 maxCorner() const;
    bool empty() const { return triangles.empty(); }
};

glm::mat4 translate(glm::vec3 offset);
glm::mat4 scale(glm::vec3 factors);
glm::mat4 rotateX(float degrees);
glm::mat4 rotateY(float degrees);
glm::mat4 rotateZ(float degrees);

namespace shapes {

// Axis-aligned box between two corners.
Geometry box(glm::vec3 minCorner, glm::vec3 maxCorner);
// Box centred on the origin.
Geometry centredBox(glm::vec3 halfExtents);
// Along +Y from y = 0 to `height`; smooth sides, flat caps.
Geometry cylinder(float bottomRadius, float topRadius, float height, int segments, bool caps = true);
// Unit sphere, smooth; scale it into an ellipsoid with the transform of `add`.
Geometry sphere(int rings, int segments);
// Sphere with its rings flattened into facets, for stones and crystals.
Geometry faceted(int subdivisions, float jitter, unsigned seed);
// A polygon in the XY plane (counter-clockwise), extruded from z = -depth/2 to +depth/2.
Geometry prism(const std::vector<glm::vec2>& outline, float depth);
// Wedge rising along -Z: full height at z = minZ, zero at z = maxZ (a ramp). Extends in x
// between the two corners.
Geometry ramp(glm::vec3 minCorner, glm::vec3 maxCorner, bool risingTowardsMinusZ);
// A body swept through rings: each profile point (scale, y) is `outline` (points (x, z),
// going round from +X towards -Z like the cylinder's) scaled by `scale` about the Y axis
// at height y, bottom to top. A scale of 0 closes the body in a point. Smooth normals.
Geometry loft(const std::vector<glm::vec2>& outline, const std::vector<glm::vec2>& profile);
// A puffy, rounded version of a star-shaped outline in the XY plane: rings of the outline
// shrunk towards `centre` bulge out to +-depth in z.
Geometry pillow(const std::vector<glm::vec2>& outline, glm::vec2 centre, float depth, int rings);

} // namespace shapes

} // namespace fennik::assetgen
