#include "Geometry.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include <glm/gtc/matrix_transform.hpp>

#include "Noise.hpp"

namespace fennik::assetgen {

namespace {

constexpr float pi = 3.14159265f;

glm::vec3 faceNormal(const Triangle& t)
{
    glm::vec3 n = glm::cross(t.v[1].position - t.v[0].position, t.v[2].position - t.v[0].position);
    float length = glm::length(n);
    return length > 0.0f ? n / length : glm::vec3(0.0f, 1.0f, 0.0f);
}

Triangle makeTriangle(glm::vec3 a, glm::vec3 b, glm::vec3 c)
{
    Triangle t;
    t.v[0].position = a;
    t.v[1].position = b;
    t.v[2].position = c;
    glm::vec3 n = faceNormal(t);
    for (auto& v : t.v) {
        v.normal = n;
    }
    return t;
}

void addQuad(Geometry& g, glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d)
{
    g.triangles.push_back(makeTriangle(a, b, c));
    g.triangles.push_back(makeTriangle(a, c, d));
}

} // namespace

void Geometry::add(const Geometry& other)
{
    triangles.insert(triangles.end(), other.triangles.begin(), other.triangles.end());
}

void Geometry::add(const Geometry& other, const glm::mat4& transform)
{
    Geometry moved = other.transformed(transform);
    add(moved);
}

Geometry Geometry::transformed(const glm::mat4& transform) const
{
    Geometry result;
    result.triangles.reserve(triangles.size());
    glm::mat3 linear(transform);
    glm::mat3 normalMatrix = glm::transpose(glm::inverse(linear));
    bool mirrored = glm::determinant(linear) < 0.0f;
    for (const Triangle& t : triangles) {
        Triangle moved;
        for (int i = 0; i < 3; ++i) {
            const Vertex& source = t.v[i];
            Vertex& target = moved.v[mirrored ? 2 - i : i];
            target.position = glm::vec3(transform * glm::vec4(source.position, 1.0f));
            target.normal = glm::normalize(normalMatrix * source.normal);
            target.uv = source.uv;
        }
        result.triangles.push_back(moved);
    }
    return result;
}

Geometry& Geometry::paint(glm::vec2 uv)
{
    for (Triangle& t : triangles) {
        for (Vertex& v : t.v) {
            v.uv = uv;
        }
    }
    return *this;
}

Geometry& Geometry::projectUV(float unitsPerRepeat, glm::vec2 offset)
{
    for (Triangle& t : triangles) {
        glm::vec3 n = faceNormal(t);
        glm::vec3 a = glm::abs(n);
        for (Vertex& v : t.v) {
            glm::vec3 p = v.position / unitsPerRepeat;
            glm::vec2 uv;
            if (a.y >= a.x && a.y >= a.z) {
                uv = n.y >= 0.0f ? glm::vec2(p.x, -p.z) : glm::vec2(p.x, p.z);
            } else if (a.x >= a.z) {
                uv = n.x >= 0.0f ? glm::vec2(-p.z, p.y) : glm::vec2(p.z, p.y);
            } else {
                uv = n.z >= 0.0f ? glm::vec2(p.x, p.y) : glm::vec2(-p.x, p.y);
            }
            v.uv = uv + offset;
        }
    }
    return *this;
}

Geometry& Geometry::wrapUV(glm::vec3 axisPoint, float repeatsAround, float unitsPerRepeatUp)
{
    for (Triangle& t : triangles) {
        // Keep one triangle on one side of the seam so its u values do not jump.
        glm::vec3 centre = (t.v[0].position + t.v[1].position + t.v[2].position) / 3.0f;
        float centreAngle = std::atan2(centre.z - axisPoint.z, centre.x - axisPoint.x);
        for (Vertex& v : t.v) {
            float angle = std::atan2(v.position.z - axisPoint.z, v.position.x - axisPoint.x);
            if (angle - centreAngle > pi) {
                angle -= 2.0f * pi;
            } else if (centreAngle - angle > pi) {
                angle += 2.0f * pi;
            }
            v.uv = glm::vec2(-angle / (2.0f * pi) * repeatsAround, v.position.y / unitsPerRepeatUp);
        }
    }
    return *this;
}

Geometry& Geometry::flatNormals()
{
    for (Triangle& t : triangles) {
        glm::vec3 n = faceNormal(t);
        for (Vertex& v : t.v) {
            v.normal = n;
        }
    }
    return *this;
}

glm::vec3 Geometry::minCorner() const
{
    glm::vec3 m(1e30f);
    for (const Triangle& t : triangles) {
        for (const Vertex& v : t.v) {
            m = glm::min(m, v.position);
        }
    }
    return m;
}

glm::vec3 Geometry::maxCorner() const
{
    glm::vec3 m(-1e30f);
    for (const Triangle& t : triangles) {
        for (const Vertex& v : t.v) {
            m = glm::max(m, v.position);
        }
    }
    return m;
}

glm::mat4 translate(glm::vec3 offset) { return glm::translate(glm::mat4(1.0f), offset); }
glm::mat4 scale(glm::vec3 factors) { return glm::scale(glm::mat4(1.0f), factors); }
glm::mat4 rotateX(float degrees) { return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(1, 0, 0)); }
glm::mat4 rotateY(float degrees) { return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0, 1, 0)); }
glm::mat4 rotateZ(float degrees) { return glm::rotate(glm::mat4(1.0f), glm::radians(degrees), glm::vec3(0, 0, 1)); }

namespace shapes {

Geometry box(glm::vec3 lo, glm::vec3 hi)
{
    Geometry g;
    glm::vec3 c[8] = {
        {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
        {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z},
    };
    addQuad(g, c[4], c[5], c[6], c[7]); // +z
    addQuad(g, c[1], c[0], c[3], c[2]); // -z
    addQuad(g, c[5], c[1], c[2], c[6]); // +x
    addQuad(g, c[0], c[4], c[7], c[3]); // -x
    addQuad(g, c[7], c[6], c[2], c[3]); // +y
    addQuad(g, c[0], c[1], c[5], c[4]); // -y
    return g;
}

Geometry centredBox(glm::vec3 h)
{
    return box(-h, h);
}

Geometry cylinder(float bottomRadius, float topRadius, float height, int segments, bool caps)
{
    Geometry g;
    float slope = (bottomRadius - topRadius) / height;
    for (int i = 0; i < segments; ++i) {
        float a0 = 2.0f * pi * static_cast<float>(i) / segments;
        float a1 = 2.0f * pi * static_cast<float>(i + 1) / segments;
        glm::vec3 d0(std::cos(a0), 0.0f, -std::sin(a0));
        glm::vec3 d1(std::cos(a1), 0.0f, -std::sin(a1));
        glm::vec3 b0 = d0 * bottomRadius;
        glm::vec3 b1 = d1 * bottomRadius;
        glm::vec3 t0 = d0 * topRadius + glm::vec3(0, height, 0);
        glm::vec3 t1 = d1 * topRadius + glm::vec3(0, height, 0);
        glm::vec3 n0 = glm::normalize(d0 + glm::vec3(0, slope, 0));
        glm::vec3 n1 = glm::normalize(d1 + glm::vec3(0, slope, 0));
        Triangle lower;
        lower.v[0] = {b0, n0, {}};
        lower.v[1] = {b1, n1, {}};
        lower.v[2] = {t1, n1, {}};
        g.triangles.push_back(lower);
        if (topRadius > 0.0f) {
            Triangle upper;
            upper.v[0] = {b0, n0, {}};
            upper.v[1] = {t1, n1, {}};
            upper.v[2] = {t0, n0, {}};
            g.triangles.push_back(upper);
        } else {
            // A cone's tip: point the tip normal between the two sides.
            g.triangles.back().v[2].normal = glm::normalize(n0 + n1);
        }
        if (caps) {
            g.triangles.push_back(makeTriangle(glm::vec3(0.0f), b1, b0));
            if (topRadius > 0.0f) {
                g.triangles.push_back(makeTriangle(glm::vec3(0, height, 0), t0, t1));
            }
        }
    }
    return g;
}

Geometry sphere(int rings, int segments)
{
    Geometry g;
    auto point = [&](int ring, int segment) {
        float theta = pi * static_cast<float>(ring) / rings;
        float phi = 2.0f * pi * static_cast<float>(segment) / segments;
        return glm::vec3(std::sin(theta) * std::cos(phi), std::cos(theta), -std::sin(theta) * std::sin(phi));
    };
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            glm::vec3 a = point(r, s);
            glm::vec3 b = point(r + 1, s);
            glm::vec3 c = point(r + 1, s + 1);
            glm::vec3 d = point(r, s + 1);
            if (r > 0) {
                Triangle t;
                t.v[0] = {a, a, {}};
                t.v[1] = {b, b, {}};
                t.v[2] = {d, d, {}};
                g.triangles.push_back(t);
            }
            if (r < rings - 1) {
                Triangle t;
                t.v[0] = {d, d, {}};
                t.v[1] = {b, b, {}};
                t.v[2] = {c, c, {}};
                g.triangles.push_back(t);
            }
        }
    }
    return g;
}

Geometry faceted(int subdivisions, float jitter, unsigned seed)
{
    // Icosahedron, subdivided, each vertex pushed in or out a little.
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    std::vector<glm::vec3> points = {
        {-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
        {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1},
    };
    std::vector<glm::ivec3> faces = {
        {0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
        {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1},
    };
    for (auto& p : points) {
        p = glm::normalize(p);
    }
    for (int s = 0; s < subdivisions; ++s) {
        std::map<std::pair<int, int>, int> midpoints;
        auto midpoint = [&](int a, int b) {
            auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto found = midpoints.find(key);
            if (found != midpoints.end()) {
                return found->second;
            }
            points.push_back(glm::normalize(points[a] + points[b]));
            int index = static_cast<int>(points.size()) - 1;
            midpoints[key] = index;
            return index;
        };
        std::vector<glm::ivec3> finer;
        for (const auto& f : faces) {
            int ab = midpoint(f.x, f.y);
            int bc = midpoint(f.y, f.z);
            int ca = midpoint(f.z, f.x);
            finer.push_back({f.x, ab, ca});
            finer.push_back({f.y, bc, ab});
            finer.push_back({f.z, ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces.swap(finer);
    }
    Rng rng(seed);
    for (auto& p : points) {
        p *= 1.0f + rng.range(-jitter, jitter);
    }
    Geometry g;
    for (const auto& f : faces) {
        g.triangles.push_back(makeTriangle(points[f.x], points[f.y], points[f.z]));
    }
    return g;
}

Geometry prism(const std::vector<glm::vec2>& outline, float depth)
{
    Geometry g;
    float front = depth * 0.5f;
    float back = -depth * 0.5f;
    size_t n = outline.size();
    // Caps as fans: the outlines used here are convex or star-shaped around their centroid.
    glm::vec2 centre(0.0f);
    for (const auto& p : outline) {
        centre += p;
    }
    centre /= static_cast<float>(n);
    for (size_t i = 0; i < n; ++i) {
        glm::vec2 a = outline[i];
        glm::vec2 b = outline[(i + 1) % n];
        g.triangles.push_back(makeTriangle({centre, front}, {a, front}, {b, front}));
        g.triangles.push_back(makeTriangle({centre, back}, {b, back}, {a, back}));
        addQuad(g, {a, back}, {b, back}, {b, front}, {a, front});
    }
    return g;
}

Geometry ramp(glm::vec3 lo, glm::vec3 hi, bool risingTowardsMinusZ)
{
    // Cross-section in the (z, y) plane, extruded along x.
    Geometry g;
    float highZ = risingTowardsMinusZ ? lo.z : hi.z;
    float lowZ = risingTowardsMinusZ ? hi.z : lo.z;
    auto p = [&](float x, float y, float z) { return glm::vec3(x, y, z); };
    // Sloped top.
    if (risingTowardsMinusZ) {
        addQuad(g, p(lo.x, lo.y, lowZ), p(hi.x, lo.y, lowZ), p(hi.x, hi.y, highZ), p(lo.x, hi.y, highZ));
        addQuad(g, p(hi.x, lo.y, highZ), p(lo.x, lo.y, highZ), p(lo.x, hi.y, highZ), p(hi.x, hi.y, highZ));
        g.triangles.push_back(makeTriangle(p(hi.x, lo.y, lowZ), p(hi.x, lo.y, highZ), p(hi.x, hi.y, highZ)));
        g.triangles.push_back(makeTriangle(p(lo.x, lo.y, highZ), p(lo.x, lo.y, lowZ), p(lo.x, hi.y, highZ)));
    } else {
        addQuad(g, p(hi.x, lo.y, lowZ), p(lo.x, lo.y, lowZ), p(lo.x, hi.y, highZ), p(hi.x, hi.y, highZ));
        addQuad(g, p(lo.x, lo.y, highZ), p(hi.x, lo.y, highZ), p(hi.x, hi.y, highZ), p(lo.x, hi.y, highZ));
        g.triangles.push_back(makeTriangle(p(hi.x, lo.y, highZ), p(hi.x, lo.y, lowZ), p(hi.x, hi.y, highZ)));
        g.triangles.push_back(makeTriangle(p(lo.x, lo.y, lowZ), p(lo.x, lo.y, highZ), p(lo.x, hi.y, highZ)));
    }
    // Bottom.
    addQuad(g, p(lo.x, lo.y, lo.z), p(hi.x, lo.y, lo.z), p(hi.x, lo.y, hi.z), p(lo.x, lo.y, hi.z));
    return g;
}

Geometry loft(const std::vector<glm::vec2>& outline, const std::vector<glm::vec2>& profile)
{
    const size_t n = outline.size();
    const size_t rings = profile.size();
    auto point = [&](size_t ring, size_t i) {
        glm::vec2 p = outline[i % n] * profile[ring].x;
        return glm::vec3(p.x, profile[ring].y, p.y);
    };
    // Normals by grid position, so the seam and the closing points stay smooth too.
    std::vector<glm::vec3> sums(rings * n, glm::vec3(0.0f));
    auto index = [&](size_t ring, size_t i) { return ring * n + i % n; };
    auto faceOf = [&](size_t ring, size_t i) {
        glm::vec3 b0 = point(ring, i);
        glm::vec3 b1 = point(ring, i + 1);
        glm::vec3 t0 = point(ring + 1, i);
        glm::vec3 t1 = point(ring + 1, i + 1);
        return glm::cross(b1 - b0, t1 - b0) + glm::cross(t1 - b0, t0 - b0);
    };
    for (size_t r = 0; r + 1 < rings; ++r) {
        for (size_t i = 0; i < n; ++i) {
            glm::vec3 f = faceOf(r, i);
            for (size_t k : {index(r, i), index(r, i + 1), index(r + 1, i), index(r + 1, i + 1)}) {
                sums[k] += f;
            }
        }
    }
    // A closing point gets the mean of its whole ring of faces: straight up or down.
    for (size_t r = 0; r < rings; ++r) {
        if (profile[r].x == 0.0f) {
            glm::vec3 total(0.0f);
            for (size_t i = 0; i < n; ++i) {
                total += sums[index(r, i)];
            }
            for (size_t i = 0; i < n; ++i) {
                sums[index(r, i)] = total;
            }
        }
    }
    auto vertex = [&](size_t ring, size_t i) {
        glm::vec3 s = sums[index(ring, i)];
        return Vertex{point(ring, i), glm::length(s) > 0.0f ? glm::normalize(s) : glm::vec3(0, 1, 0), {}};
    };
    Geometry g;
    for (size_t r = 0; r + 1 < rings; ++r) {
        for (size_t i = 0; i < n; ++i) {
            if (profile[r].x != 0.0f) {
                Triangle lower;
                lower.v[0] = vertex(r, i);
                lower.v[1] = vertex(r, i + 1);
                lower.v[2] = vertex(r + 1, i + 1);
                g.triangles.push_back(lower);
            }
            if (profile[r + 1].x != 0.0f) {
                Triangle upper;
                upper.v[0] = vertex(r, i);
                upper.v[1] = vertex(r + 1, i + 1);
                upper.v[2] = vertex(r + 1, i);
                g.triangles.push_back(upper);
            }
        }
    }
    return g;
}

Geometry pillow(const std::vector<glm::vec2>& outline, glm::vec2 centre, float depth, int rings)
{
    Geometry g;
    size_t n = outline.size();
    // Ring k sits at angle k / rings * 90 degrees: shrink by cos, bulge by sin.
    auto point = [&](int ring, size_t i, float side) {
        float angle = 0.5f * pi * static_cast<float>(ring) / rings;
        glm::vec2 p = centre + (outline[i % n] - centre) * std::cos(angle);
        return glm::vec3(p, side * depth * std::sin(angle));
    };
    for (float side : {1.0f, -1.0f}) {
        for (int r = 0; r < rings; ++r) {
            for (size_t i = 0; i < n; ++i) {
                glm::vec3 a = point(r, i, side);
                glm::vec3 b = point(r, i + 1, side);
                glm::vec3 c = point(r + 1, i + 1, side);
                glm::vec3 d = point(r + 1, i, side);
                if (r == rings - 1) {
                    // The last ring has shrunk to the centre point: one triangle, not a quad.
                    g.triangles.push_back(side > 0.0f ? makeTriangle(a, b, c) : makeTriangle(b, a, c));
                } else if (side > 0.0f) {
                    addQuad(g, a, b, c, d);
                } else {
                    addQuad(g, b, a, d, c);
                }
            }
        }
    }
    // Smooth normals: average the face normals meeting at each position.
    std::map<std::tuple<float, float, float>, glm::vec3> sums;
    for (const Triangle& t : g.triangles) {
        glm::vec3 n = glm::cross(t.v[1].position - t.v[0].position, t.v[2].position - t.v[0].position);
        for (const Vertex& v : t.v) {
            sums[{v.position.x, v.position.y, v.position.z}] += n;
        }
    }
    for (Triangle& t : g.triangles) {
        for (Vertex& v : t.v) {
            glm::vec3 s = sums[{v.position.x, v.position.y, v.position.z}];
            v.normal = glm::length(s) > 0.0f ? glm::normalize(s) : glm::vec3(0, 0, 1);
        }
    }
    return g;
}

} // namespace shapes

} // namespace fennik::assetgen
