#include "Props.hpp"

#include <cmath>

#include "Noise.hpp"

namespace fennik::assetgen::props {

namespace {

constexpr float pi = 3.14159265f;

// A flat ribbon along a path, with both faces, for fronds and grass blades.
Geometry ribbon(const std::vector<glm::vec3>& path, const std::vector<float>& widths, glm::vec3 side)
{
    Geometry g;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        glm::vec3 a0 = path[i] - side * widths[i];
        glm::vec3 a1 = path[i] + side * widths[i];
        glm::vec3 b0 = path[i + 1] - side * widths[i + 1];
        glm::vec3 b1 = path[i + 1] + side * widths[i + 1];
        float v0 = static_cast<float>(i) / (path.size() - 1);
        float v1 = static_cast<float>(i + 1) / (path.size() - 1);
        glm::vec3 n = glm::normalize(glm::cross(a1 - a0, b0 - a0));
        Triangle t1{{{a0, n, {v0, 0.0f}}, {a1, n, {v0, 1.0f}}, {b1, n, {v1, 1.0f}}}};
        Triangle t2{{{a0, n, {v0, 0.0f}}, {b1, n, {v1, 1.0f}}, {b0, n, {v1, 0.0f}}}};
        // The back face: same corners, reversed, facing the other way.
        Triangle t3{{{a0, -n, {v0, 0.0f}}, {b1, -n, {v1, 1.0f}}, {a1, -n, {v0, 1.0f}}}};
        Triangle t4{{{a0, -n, {v0, 0.0f}}, {b0, -n, {v1, 0.0f}}, {b1, -n, {v1, 1.0f}}}};
        g.triangles.insert(g.triangles.end(), {t1, t2, t3, t4});
    }
    return g;
}

} // namespace

void palm(LevelBuilder& level, glm::vec3 base, float height, float leanDegrees, float turnDegrees, unsigned seed, bool solidTrunk)
{
    Rng rng(seed);
    glm::mat4 place = translate(base) * rotateY(turnDegrees);
    // The trunk bends gradually: stacked tapering segments, each tilted a little more.
    Geometry trunk;
    glm::vec3 point(0.0f);
    const int segments = 5;
    float segmentLength = height / segments;
    glm::vec3 top(0.0f);
    for (int i = 0; i < segments; ++i) {
        float t = static_cast<float>(i) / segments;
        float tilt = leanDegrees * t * t;
        float radius = 0.55f - 0.25f * t;
        glm::mat4 segment = translate(point) * rotateZ(-tilt);
        trunk.add(shapes::cylinder(radius, radius - 0.04f, segmentLength * 1.02f, 8, i == 0), segment);
        point += glm::vec3(glm::sin(glm::radians(tilt)), glm::cos(glm::radians(tilt)), 0.0f) * segmentLength;
    }
    top = point;
    trunk = trunk.transformed(place);
    trunk.wrapUV(base, 2.0f, 1.0f);
    if (solidTrunk) {
        // Only a straight post around the trunk's foot collides, so the hull stays slim;
        // it is tall enough that nobody can stand on top of it.
        Geometry stump = shapes::cylinder(0.55f, 0.45f, 6.0f, 10).transformed(translate(base));
        level.solid("palm_trunk", stump, Surface::Bark);
    }
    level.scenery(trunk, Surface::Bark, false);

    Geometry fronds;
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        float angle = 360.0f * static_cast<float>(i) / count + rng.range(-12.0f, 12.0f);
        float length = rng.range(3.2f, 4.4f);
        float droop = rng.range(0.35f, 0.6f);
        std::vector<glm::vec3> path;
        std::vector<float> widths;
        for (int k = 0; k <= 4; ++k) {
            float s = static_cast<float>(k) / 4.0f;
            float x = s * length;
            float y = 0.6f * s - droop * length * s * s;
            path.emplace_back(x, y, 0.0f);
            widths.push_back(0.55f * std::sin(pi * (0.15f + 0.85f * s)) + 0.05f);
        }
        Geometry frond = ribbon(path, widths, glm::vec3(0.0f, 0.0f, 1.0f));
        fronds.add(frond, translate(top) * rotateY(angle) * rotateX(rng.range(-10.0f, 10.0f)));
    }
    // Coconuts under the crown.
    for (int i = 0; i < 3; ++i) {
        float a = 2.0f * pi * static_cast<float>(i) / 3.0f;
        fronds.add(shapes::sphere(3, 6), translate(top + glm::vec3(std::cos(a) * 0.35f, -0.35f, std::sin(a) * 0.35f)) * scale(glm::vec3(0.25f)));
    }
    level.scenery(fronds.transformed(place), Surface::Leaves, false);
}

void cactus(LevelBuilder& level, glm::vec3 base, float height, unsigned seed)
{
    Rng rng(seed);
    Geometry g;
    float radius = 0.45f;
    g.add(shapes::cylinder(radius, radius, height, 8, false));
    g.add(shapes::sphere(3, 8), translate({0.0f, height, 0.0f}) * scale(glm::vec3(radius)));
    int arms = rng.integer(1, 2);
    for (int i = 0; i < arms; ++i) {
        float side = i == 0 ? 1.0f : -1.0f;
        float armY = height * rng.range(0.35f, 0.6f);
        float armUp = height * rng.range(0.25f, 0.4f);
        float r = radius * 0.7f;
        g.add(shapes::cylinder(r, r, 1.0f, 6, false), translate({0.0f, armY, 0.0f}) * rotateX(side * 90.0f));
        g.add(shapes::cylinder(r, r, armUp, 6, false), translate({0.0f, armY - r * 0.5f, side * 1.0f}));
        g.add(shapes::sphere(3, 6), translate({0.0f, armY - r * 0.5f + armUp, side * 1.0f}) * scale(glm::vec3(r)));
    }
    g = g.transformed(translate(base) * rotateY(rng.range(0.0f, 360.0f)));
    g.wrapUV(base, 1.0f, 1.5f);
    level.scenery(g, Surface::Cactus, false);
}

Geometry rock(glm::vec3 centre, glm::vec3 size, unsigned seed, int detail)
{
    Geometry g = shapes::faceted(detail, 0.18f, seed);
    Rng rng(seed + 1);
    return g.transformed(translate(centre) * rotateY(rng.range(0.0f, 360.0f)) * scale(size)).flatNormals();
}

void grassTuft(LevelBuilder& level, glm::vec3 base, float size, unsigned seed)
{
    Rng rng(seed);
    Geometry g;
    for (int i = 0; i < 5; ++i) {
        float angle = rng.range(0.0f, 360.0f);
        float length = size * rng.range(0.7f, 1.2f);
        float bend = rng.range(0.2f, 0.5f);
        std::vector<glm::vec3> path = {{0, 0, 0}, {bend * 0.3f * length, 0.5f * length, 0}, {bend * length, length, 0}};
        std::vector<float> widths = {0.08f * size, 0.06f * size, 0.005f};
        g.add(ribbon(path, widths, glm::vec3(0, 0, 1)), translate(base) * rotateY(angle));
    }
    g.paint(glm::vec2(0.3f, 0.6f));
    level.scenery(g, Surface::Grass, false);
}

void crystals(LevelBuilder& level, glm::vec3 base, float size, unsigned seed)
{
    Rng rng(seed);
    Geometry g;
    for (int i = 0; i < 5; ++i) {
        float length = size * rng.range(0.8f, 1.8f);
        float radius = size * rng.range(0.18f, 0.3f);
        Geometry shard = shapes::cylinder(radius, radius, length * 0.75f, 6);
        shard.add(shapes::cylinder(radius, 0.0f, length * 0.3f, 6), translate({0.0f, length * 0.75f, 0.0f}));
        glm::mat4 place = translate(base + glm::vec3(rng.range(-0.4f, 0.4f) * size, -0.1f, rng.range(-0.4f, 0.4f) * size))
                          * rotateY(rng.range(0.0f, 360.0f)) * rotateZ(rng.range(-30.0f, 30.0f));
        g.add(shard.flatNormals(), place);
    }
    level.scenery(g, Surface::Crystal);
}

void column(LevelBuilder& level, glm::vec3 base, float height, float radius, bool solid)
{
    Geometry shaft = shapes::cylinder(radius, radius * 0.9f, height, 12);
    Geometry trims = shapes::box(base + glm::vec3(-radius * 1.3f, 0.0f, -radius * 1.3f), base + glm::vec3(radius * 1.3f, 0.5f, radius * 1.3f));
    trims.add(shapes::box(base + glm::vec3(-radius * 1.25f, height - 0.4f, -radius * 1.25f), base + glm::vec3(radius * 1.25f, height, radius * 1.25f)));
    shaft = shaft.transformed(translate(base));
    if (solid) {
        // The hull of shaft and trims is a squared-off pillar, close enough to what is drawn.
        Geometry whole = shaft;
        whole.add(trims);
        level.solid("column", whole, Surface::Sandstone);
    } else {
        level.scenery(shaft, Surface::Sandstone);
        level.scenery(trims, Surface::Bricks);
    }
}

void fence(LevelBuilder& level, glm::vec2 from, glm::vec2 to, float height)
{
    glm::vec2 delta = to - from;
    float length = glm::length(delta);
    bool alongX = std::fabs(delta.x) > std::fabs(delta.y);
    int segments = std::max(1, static_cast<int>(std::ceil(length / 12.0f)));
    for (int s = 0; s < segments; ++s) {
        glm::vec2 a = from + delta * (static_cast<float>(s) / segments);
        glm::vec2 b = from + delta * (static_cast<float>(s + 1) / segments);
        Geometry g;
        int posts = std::max(2, static_cast<int>(std::round(glm::length(b - a) / 3.0f)) + 1);
        for (int p = 0; p < posts; ++p) {
            glm::vec2 c = a + (b - a) * (static_cast<float>(p) / (posts - 1));
            g.add(shapes::box({c.x - 0.22f, 0.0f, c.y - 0.22f}, {c.x + 0.22f, height, c.y + 0.22f}));
        }
        glm::vec2 lo = glm::min(a, b);
        glm::vec2 hi = glm::max(a, b);
        glm::vec2 rail = alongX ? glm::vec2(0.0f, 0.12f) : glm::vec2(0.12f, 0.0f);
        for (float y : {height * 0.45f, height * 0.85f}) {
            g.add(shapes::box({lo.x - rail.x, y - 0.15f, lo.y - rail.y}, {hi.x + rail.x, y + 0.15f, hi.y + rail.y}));
        }
        level.solid("fence", g, Surface::Planks);
    }
}

void gateWall(LevelBuilder& level, float z, float x0, float x1, float gateX0, float gateX1, float wallHeight, float gateHeight)
{
    const float half = 0.6f;
    const float pillar = 1.2f;
    level.solidBox("gate_wall", {x0, 0.0f, z - half}, {gateX0 - pillar, wallHeight, z + half}, Surface::Bricks);
    level.solidBox("gate_wall", {gateX1 + pillar, 0.0f, z - half}, {x1, wallHeight, z + half}, Surface::Bricks);
    for (float x : {gateX0 - pillar, gateX1}) {
        level.solidBox("gate_pillar", {x, 0.0f, z - pillar}, {x + pillar, gateHeight, z + pillar}, Surface::Sandstone);
        level.scenery(shapes::box({x - 0.25f, gateHeight, z - pillar - 0.25f}, {x + pillar + 0.25f, gateHeight + 0.5f, z + pillar + 0.25f}), Surface::Bricks);
    }
    level.scenery(shapes::box({gateX0 - pillar - 0.25f, gateHeight + 0.5f, z - 0.9f}, {gateX1 + pillar + 0.25f, gateHeight + 1.5f, z + 0.9f}), Surface::Sandstone);
    // Battlements along the wall tops.
    for (float x = x0 + 0.5f; x < x1 - 0.5f; x += 2.0f) {
        if (x > gateX0 - pillar - 0.5f && x < gateX1 + pillar) {
            continue;
        }
        level.scenery(shapes::box({x, wallHeight, z - half}, {x + 1.0f, wallHeight + 0.6f, z + half}), Surface::Bricks);
    }
}

void scatter(LevelBuilder& level, glm::vec2 lo, glm::vec2 hi, int count, unsigned seed, const std::vector<glm::vec2>& keepClear)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        glm::vec2 p(rng.range(lo.x, hi.x), rng.range(lo.y, hi.y));
        float kind = rng.unit();
        bool clear = true;
        for (const glm::vec2& k : keepClear) {
            if (glm::length(p - k) < 3.5f) {
                clear = false;
            }
        }
        if (!clear) {
            continue;
        }
        if (kind < 0.45f) {
            float s = rng.range(0.25f, 0.6f);
            level.scenery(rock({p.x, s * 0.3f, p.y}, {s * 1.2f, s * 0.7f, s}, seed * 31u + static_cast<unsigned>(i), 0), Surface::Sandstone);
        } else if (kind < 0.8f) {
            grassTuft(level, {p.x, 0.0f, p.y}, rng.range(0.7f, 1.2f), seed * 17u + static_cast<unsigned>(i));
        } else {
            // A clay pot.
            Geometry pot = shapes::cylinder(0.25f, 0.45f, 0.45f, 10);
            pot.add(shapes::cylinder(0.45f, 0.2f, 0.4f, 10), translate({0.0f, 0.45f, 0.0f}));
            pot.add(shapes::cylinder(0.22f, 0.26f, 0.15f, 10), translate({0.0f, 0.85f, 0.0f}));
            level.scenery(pot.transformed(translate({p.x, 0.0f, p.y})), Surface::Bricks);
        }
    }
}

void ruinWall(LevelBuilder& level, glm::vec3 lo, glm::vec3 hi, unsigned seed)
{
    level.solidBox("ruin_wall", lo, hi, Surface::Bricks);
    Rng rng(seed);
    // Fallen blocks beside it.
    for (int i = 0; i < 3; ++i) {
        glm::vec3 c(rng.range(lo.x, hi.x), 0.25f, rng.range(lo.z, hi.z));
        c += glm::vec3(rng.range(-1.5f, 1.5f), 0.0f, rng.range(-1.5f, 1.5f));
        level.scenery(shapes::centredBox({0.4f, 0.25f, 0.3f}).transformed(translate(c) * rotateY(rng.range(0.0f, 90.0f))), Surface::Bricks);
    }
}

void patch(LevelBuilder& level, glm::vec2 centre, float radius, Surface surface, unsigned seed, float floorY)
{
    Geometry g;
    const int segments = 20;
    const float y = floorY + 0.03f;
    std::vector<glm::vec3> rim;
    for (int i = 0; i < segments; ++i) {
        float a = 2.0f * pi * static_cast<float>(i) / segments;
        float r = radius * (0.75f + 0.4f * noise::value2(std::cos(a) * 2.0f + 5.0f, std::sin(a) * 2.0f + 5.0f, 0, seed));
        rim.emplace_back(centre.x + std::cos(a) * r, y, centre.y - std::sin(a) * r);
    }
    glm::vec3 middle(centre.x, y, centre.y);
    for (int i = 0; i < segments; ++i) {
        g.triangles.push_back(Triangle{{{middle, {0, 1, 0}, {}}, {rim[i], {0, 1, 0}, {}}, {rim[(i + 1) % segments], {0, 1, 0}, {}}}});
    }
    level.scenery(g, surface);
}

void tent(LevelBuilder& level, glm::vec3 centre, float width, float depth, float height)
{
    // A ridge tent: a triangular prism of cloth along z.
    Geometry cloth = shapes::prism({{-width * 0.5f, 0.0f}, {width * 0.5f, 0.0f}, {0.0f, height}}, depth);
    level.solid("tent", cloth.transformed(translate(centre)), Surface::Cloth);
    for (float z : {-depth * 0.5f - 0.1f, depth * 0.5f + 0.1f}) {
        level.scenery(shapes::cylinder(0.1f, 0.1f, height + 0.4f, 6).transformed(translate(centre + glm::vec3(0.0f, 0.0f, z))), Surface::Planks);
    }
}

void brazier(LevelBuilder& level, glm::vec3 base, bool solid)
{
    Geometry bowl = shapes::cylinder(0.35f, 0.35f, 1.2f, 8).transformed(translate(base));
    bowl.add(shapes::cylinder(0.5f, 1.0f, 0.6f, 12).transformed(translate(base + glm::vec3(0.0f, 1.2f, 0.0f))));
    bowl.add(shapes::cylinder(0.9f, 0.9f, 0.12f, 12, false).transformed(translate(base + glm::vec3(0.0f, 1.7f, 0.0f))));
    if (solid) {
        level.solid("brazier", bowl, Surface::Brass);
    } else {
        level.scenery(bowl, Surface::Brass);
    }
    crystals(level, base + glm::vec3(0.0f, 1.75f, 0.0f), 0.6f, static_cast<unsigned>(base.x * 13.0f + base.z * 7.0f) + 5u);
}

void banner(LevelBuilder& level, glm::vec3 top, float width, float length)
{
    Geometry cloth;
    std::vector<glm::vec3> path;
    std::vector<float> widths;
    for (int k = 0; k <= 4; ++k) {
        float s = static_cast<float>(k) / 4.0f;
        path.emplace_back(0.15f * std::sin(s * pi), -length * s, 0.0f);
        widths.push_back(width * 0.5f);
    }
    cloth = ribbon(path, widths, glm::vec3(0, 0, 1));
    // Ribbon texture coordinates run along the path; turn them so the trim runs down the sides.
    for (Triangle& t : cloth.triangles) {
        for (Vertex& v : t.v) {
            v.uv = glm::vec2(v.uv.y, 1.0f - v.uv.x) * glm::vec2(1.0f, length / 3.0f);
        }
    }
    level.scenery(cloth.transformed(translate(top)), Surface::Cloth, false);
    level.scenery(shapes::cylinder(0.08f, 0.08f, width + 0.6f, 6).transformed(translate(top + glm::vec3(0.0f, 0.05f, width * 0.5f + 0.3f)) * rotateX(-90.0f)),
                  Surface::Brass);
}

void crate(LevelBuilder& level, glm::vec3 minCorner, float size)
{
    level.solidBox("crate", minCorner, minCorner + glm::vec3(size), Surface::Planks);
}

Geometry terrain(glm::vec2 lo, glm::vec2 hi, float step, const std::function<float(float, float)>& height)
{
    Geometry g;
    int nx = std::max(1, static_cast<int>(std::round((hi.x - lo.x) / step)));
    int nz = std::max(1, static_cast<int>(std::round((hi.y - lo.y) / step)));
    auto p = [&](int i, int k) {
        float x = lo.x + (hi.x - lo.x) * static_cast<float>(i) / nx;
        float z = lo.y + (hi.y - lo.y) * static_cast<float>(k) / nz;
        return glm::vec3(x, height(x, z), z);
    };
    auto normalAt = [&](int i, int k) {
        glm::vec3 dx = p(std::min(i + 1, nx), k) - p(std::max(i - 1, 0), k);
        glm::vec3 dz = p(i, std::min(k + 1, nz)) - p(i, std::max(k - 1, 0));
        return glm::normalize(glm::cross(dz, dx));
    };
    for (int k = 0; k < nz; ++k) {
        for (int i = 0; i < nx; ++i) {
            Vertex a{p(i, k), normalAt(i, k), {}};
            Vertex b{p(i + 1, k), normalAt(i + 1, k), {}};
            Vertex c{p(i + 1, k + 1), normalAt(i + 1, k + 1), {}};
            Vertex d{p(i, k + 1), normalAt(i, k + 1), {}};
            // Counter-clockwise seen from above (+Y): a, d, c and a, c, b.
            g.triangles.push_back(Triangle{{a, d, c}});
            g.triangles.push_back(Triangle{{a, c, b}});
        }
    }
    return g;
}

} // namespace fennik::assetgen::props
