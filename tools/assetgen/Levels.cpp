#include "Levels.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "LevelBuilder.hpp"
#include "Noise.hpp"
#include "Props.hpp"

// Every level is a sand plateau running along -Z (rightwards on screen: the camera looks
// from +X towards -X). The walkable floor is at y = 0 where the player starts, built from
// convex solid slabs; sandstone cliffs close the -X side (the top of the screen, where tall
// scenery is welcome) and a fence or low wall the +X side (the bottom of the screen, kept
// low so nothing hides the player). Below and around the plateau a height field of dunes
// fills the view.

namespace fennik::assetgen {

namespace {

// Walkable ground: a sand (or other) slab whose top is at `top`, and a sandstone cliff
// under it down to the dunes.
void slab(LevelBuilder& level, float x0, float x1, float z0, float z1, Surface surface, float top = 0.0f)
{
    level.solidBox("ground", {x0, top - 0.6f, z0}, {x1, top, z1}, surface);
    level.scenery(shapes::box({x0, -16.0f, z0}, {x1, top - 0.6f, z1}), Surface::Sandstone);
}

// A cliff wall that closes a side: colliding, too high to jump over, topped with rocks.
void cliff(LevelBuilder& level, float x0, float x1, float z0, float z1, float height, unsigned seed)
{
    level.solidBox("cliff", {x0, -0.6f, z0}, {x1, height, z1}, Surface::Sandstone);
    Rng rng(seed);
    for (float z = z0 + 2.0f; z < z1 - 1.0f; z += rng.range(4.0f, 7.0f)) {
        float size = rng.range(0.7f, 1.4f);
        level.scenery(props::rock({rng.range(x0 + 1.5f, x1 - 1.5f), height + size * 0.1f, z}, {size * 1.4f, size * 0.7f, size * 1.2f}, seed + static_cast<unsigned>(z * 10.0f + 500.0f)),
                      Surface::Sandstone);
    }
}

// The dunes around a level: high behind the cliffs (-X), low beyond the fence (+X), rising
// again past both ends. The floor of the play area sits over a hollow at y = -12.
struct Basin {
    float x0, x1; // play area across
    float z0, z1; // play area along (z0 < z1)
};

void dunes(LevelBuilder& level, const Basin& b, unsigned seed)
{
    auto height = [b, seed](float x, float z) {
        float west = smoothstep(0.0f, 14.0f, b.x0 - x);
        float east = smoothstep(0.0f, 10.0f, x - b.x1);
        float ends = std::max(smoothstep(0.0f, 30.0f, b.z0 - z), smoothstep(0.0f, 30.0f, z - b.z1));
        float n = noise::fbm2(x / 22.0f, z / 22.0f, 4, 0, seed);
        float rolling = noise::fbm2(x / 9.0f, z / 9.0f, 2, 0, seed + 1);
        float hollow = -12.0f;
        float highlands = 6.0f + 10.0f * n + 2.0f * rolling;
        float lowlands = -9.0f + 4.0f * n + rolling;
        float h = hollow + (lowlands - hollow) * east;
        h = h + (highlands - h) * std::max(west, ends * (1.0f - east * 0.6f));
        return h;
    };
    glm::vec2 lo(b.x0 - 70.0f, b.z0 - 60.0f);
    glm::vec2 hi(b.x1 + 60.0f, b.z1 + 60.0f);
    level.scenery(props::terrain(lo, hi, 5.0f, height), Surface::Sand);
}

// A wide shallow pond among the lowland dunes.
void pond(LevelBuilder& level, glm::vec2 centre, glm::vec2 radii, float y)
{
    Geometry water;
    const int segments = 24;
    for (int i = 0; i < segments; ++i) {
        float a0 = 6.2831853f * static_cast<float>(i) / segments;
        float a1 = 6.2831853f * static_cast<float>(i + 1) / segments;
        glm::vec3 c(centre.x, y, centre.y);
        glm::vec3 p0(centre.x + std::cos(a0) * radii.x, y, centre.y - std::sin(a0) * radii.y);
        glm::vec3 p1(centre.x + std::cos(a1) * radii.x, y, centre.y - std::sin(a1) * radii.y);
        water.triangles.push_back(Triangle{{{c, {0, 1, 0}, {}}, {p0, {0, 1, 0}, {}}, {p1, {0, 1, 0}, {}}}});
    }
    level.scenery(water, Surface::Water);
}

// A chasm the player must jump: nothing solid between z0 and z1, water far below.
void chasmRiver(LevelBuilder& level, float x0, float x1, float z0, float z1)
{
    Geometry water = shapes::box({x0 - 40.0f, -11.6f, z0 - 1.0f}, {x1 + 40.0f, -11.5f, z1 + 1.0f});
    level.scenery(water, Surface::Water);
}

// The pushable rock that the tutorial and level two pick out of their models by name. It is
// modelled where it lies, resting on the floor at y = 0.
void pushableRock(LevelBuilder& level, glm::vec3 where, float size)
{
    Geometry rock = props::rock(glm::vec3(0.0f), glm::vec3(size * 1.1f, size * 0.85f, size), 4242);
    float lowest = rock.minCorner().y;
    level.named("rock_interactable_Cube.023_BigRock1_1.004", rock.transformed(translate(where - glm::vec3(0.0f, lowest, 0.0f))), Surface::Sandstone);
}

// A pedestal for a note: a stone block whose top carries the red marker; the game's
// invisible note box rests on it.
void notePedestal(LevelBuilder& level, glm::vec3 note, float top)
{
    level.solidBox("pedestal", {note.x - 0.7f, 0.0f, note.z - 0.7f}, {note.x + 0.7f, top, note.z + 0.7f}, Surface::Bricks);
    level.noteMarker({note.x, top, note.z});
}

// Irregular patches of grass and paving that break up the sand.
void patches(LevelBuilder& level, glm::vec2 lo, glm::vec2 hi, int count, unsigned seed)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        glm::vec2 c(rng.range(lo.x, hi.x), rng.range(lo.y, hi.y));
        Surface s = rng.unit() < 0.6f ? Surface::Grass : Surface::Cobble;
        props::patch(level, c, rng.range(2.0f, 4.5f), s, seed * 7u + static_cast<unsigned>(i));
    }
}

// Palms, cacti and tufts along the back of a stretch of play area.
void backRow(LevelBuilder& level, float x, float z0, float z1, unsigned seed)
{
    Rng rng(seed);
    for (float z = z0; z > z1; z -= rng.range(9.0f, 14.0f)) {
        if (rng.unit() < 0.6f) {
            props::palm(level, {x + rng.range(-0.5f, 0.5f), 0.0f, z}, rng.range(7.5f, 10.0f), rng.range(10.0f, 24.0f), rng.range(150.0f, 210.0f),
                        seed + static_cast<unsigned>(z * 3.0f + 999.0f), true);
        } else {
            props::crystals(level, {x, 0.0f, z}, rng.range(0.8f, 1.3f), seed + static_cast<unsigned>(z + 700.0f));
        }
        props::grassTuft(level, {x + 1.5f, 0.0f, z - 3.0f}, 1.1f, seed + static_cast<unsigned>(z + 300.0f));
    }
}

// Low things along the front edge, beside the fence.
void frontRow(LevelBuilder& level, float x, float z0, float z1, unsigned seed)
{
    Rng rng(seed);
    for (float z = z0; z > z1; z -= rng.range(5.0f, 9.0f)) {
        props::grassTuft(level, {x + rng.range(-0.8f, 0.0f), 0.0f, z}, rng.range(0.8f, 1.3f), seed + static_cast<unsigned>(z + 900.0f));
    }
}

// Lowland scenery beyond the fence: palms whose crowns stay below the plateau's floor.
void lowlands(LevelBuilder& level, float x, float z0, float z1, unsigned seed)
{
    Rng rng(seed);
    for (float z = z0; z > z1; z -= rng.range(10.0f, 16.0f)) {
        props::palm(level, {x + rng.range(6.0f, 16.0f), -8.5f, z}, rng.range(6.0f, 7.5f), rng.range(8.0f, 20.0f), rng.range(0.0f, 360.0f),
                    seed + static_cast<unsigned>(z + 2000.0f));
        if (rng.unit() < 0.5f) {
            props::cactus(level, {x + rng.range(4.0f, 20.0f), -8.5f, z - 5.0f}, rng.range(2.0f, 3.5f), seed + static_cast<unsigned>(z + 3000.0f));
        }
    }
}

// Cacti and palms on the highlands behind the cliffs.
void highlands(LevelBuilder& level, float x, float z0, float z1, float y, unsigned seed)
{
    Rng rng(seed);
    for (float z = z0; z > z1; z -= rng.range(10.0f, 16.0f)) {
        float depth = rng.range(4.0f, 16.0f);
        if (rng.unit() < 0.65f) {
            props::cactus(level, {x - depth, y, z}, rng.range(2.5f, 4.0f), seed + static_cast<unsigned>(z + 4000.0f));
        } else {
            props::palm(level, {x - depth, y, z}, rng.range(7.0f, 9.0f), rng.range(8.0f, 16.0f), rng.range(0.0f, 360.0f),
                        seed + static_cast<unsigned>(z + 5000.0f));
        }
    }
}

bool beginning(const OutputPaths& paths)
{
    LevelBuilder level("beginning", "Fennik's Zavororor: the oasis at the beginning (start menu and test level)");
    // Play area: x from -14 to 10, z from -62 to 50. Start (-3.47, 0, 34.19); the exit to the
    // tutorial is at z = -45.
    const float west = -14.0f;
    const float east = 10.0f;
    const float south = -62.0f;
    const float north = 50.0f;
    for (auto [z0, z1] : {std::pair{south, -20.0f}, std::pair{-20.0f, 20.0f}, std::pair{20.0f, north}}) {
        slab(level, west, -7.0f, z0, z1, Surface::Sand);
        slab(level, -7.0f, 0.0f, z0, z1, Surface::Cobble);
        slab(level, 0.0f, east, z0, z1, Surface::Sand);
    }
    // The welcome note sits on a slim pillar: the start menu's camera circles the start
    // 10 units out and must not pass through anything. The cliff behind is dressed as a
    // small shrine to give the menu a backdrop.
    props::column(level, {-11.263f, 0.0f, 31.803f}, 4.2f, 0.75f, true);
    level.noteMarker({-11.263f, 4.2f, 31.803f});
    for (float z : {22.0f, 28.0f, 36.0f, 42.0f}) {
        level.scenery(shapes::box({-14.4f, 0.0f, z - 0.8f}, {-13.6f, 8.0f, z + 0.8f}), Surface::Bricks);
        level.scenery(shapes::box({-14.6f, 7.6f, z - 1.1f}, {-13.4f, 8.4f, z + 1.1f}), Surface::Sandstone);
    }
    level.scenery(shapes::box({-14.6f, 8.4f, 20.9f}, {-13.4f, 9.4f, 43.1f}), Surface::Sandstone);
    props::banner(level, {-13.5f, 7.4f, 25.0f}, 2.0f, 4.5f);
    props::banner(level, {-13.5f, 7.4f, 32.0f}, 2.4f, 5.5f);
    props::banner(level, {-13.5f, 7.4f, 39.0f}, 2.0f, 4.5f);
    props::brazier(level, {-12.5f, 0.0f, 25.0f}, true);
    props::brazier(level, {-12.5f, 0.0f, 39.0f}, true);
    // Cliffs behind (top of the screen), with a stepped ledge to climb for the view.
    cliff(level, -24.0f, west, south, -40.0f, 9.0f, 101);
    cliff(level, -24.0f, west, -40.0f, -10.0f, 7.0f, 102);
    cliff(level, -24.0f, west, -10.0f, 13.0f, 10.0f, 103);
    cliff(level, -24.0f, west, 13.0f, north + 3.0f, 11.0f, 105);
    level.solidBox("ledge", {west, 0.0f, -34.0f}, {-10.0f, 0.8f, -22.0f}, Surface::Sandstone);
    level.solidBox("ledge", {west, 0.8f, -32.0f}, {-11.5f, 1.6f, -24.0f}, Surface::Sandstone);
    // A fence behind the start, a wall past the exit.
    props::fence(level, {west, north}, {east, north}, 2.2f);
    level.solidBox("end_wall", {-24.0f, -0.6f, south - 3.0f}, {east + 0.6f, 6.0f, south}, Surface::Bricks);
    // Fence along the edge towards the camera.
    props::fence(level, {east + 0.3f, north}, {east + 0.3f, south}, 2.2f);
    // A small pool with a stone rim near the start.
    level.solidBox("pool_rim", {2.0f, 0.0f, 38.0f}, {8.5f, 0.6f, 38.6f}, Surface::Bricks);
    level.solidBox("pool_rim", {2.0f, 0.0f, 45.4f}, {8.5f, 0.6f, 46.0f}, Surface::Bricks);
    level.solidBox("pool_rim", {2.0f, 0.0f, 38.6f}, {2.6f, 0.6f, 45.4f}, Surface::Bricks);
    level.solidBox("pool_rim", {7.9f, 0.0f, 38.6f}, {8.5f, 0.6f, 45.4f}, Surface::Bricks);
    level.scenery(shapes::box({2.6f, 0.0f, 38.6f}, {7.9f, 0.35f, 45.4f}), Surface::Water);
    // The exit gate: passing through it (z = -45) leads to the tutorial.
    props::gateWall(level, -46.0f, west, east, -8.0f, 2.0f, 3.0f, 6.5f);
    props::scatter(level, {west + 1.0f, south + 2.0f}, {east - 1.0f, north - 2.0f}, 60, 15,
                   {{-3.47f, 34.19f}, {-3.47f, 20.0f}, {-3.47f, 0.0f}, {-3.47f, -20.0f}, {-3.0f, -40.0f}, {-3.0f, -50.0f}, {5.0f, 42.0f}});
    // Things to climb and walk around.
    props::crate(level, {3.0f, 0.0f, 6.0f}, 1.0f);
    props::crate(level, {3.0f, 0.0f, 7.2f}, 1.0f);
    props::crate(level, {3.2f, 1.0f, 6.6f}, 1.0f);
    level.solidBox("dais", {-6.0f, 0.0f, -14.0f}, {1.0f, 0.8f, -6.0f}, Surface::Bricks);
    props::column(level, {-8.0f, 0.0f, -38.0f}, 3.0f, 0.8f, true);
    props::column(level, {-11.0f, 0.0f, 2.0f}, 6.0f, 0.8f, true);
    props::palm(level, {-12.0f, 0.0f, 18.0f}, 9.0f, 18.0f, 200.0f, 11, true);
    props::palm(level, {-12.5f, 0.0f, -16.0f}, 8.0f, 22.0f, 160.0f, 12, true);
    props::palm(level, {-12.0f, 0.0f, 44.0f}, 10.0f, 15.0f, 190.0f, 13, true);
    frontRow(level, east - 0.6f, north - 2.0f, south + 2.0f, 14);
    props::crystals(level, {-13.2f, 0.0f, -4.0f}, 1.0f, 21);
    patches(level, {west + 3.0f, south + 4.0f}, {-8.0f, 22.0f}, 6, 23);
    patches(level, {2.0f, south + 4.0f}, {east - 3.0f, 30.0f}, 5, 24);
    props::crystals(level, {-13.2f, 0.0f, -52.0f}, 1.2f, 22);
    // Scenery beyond the play area.
    dunes(level, {west - 10.0f, east, south, north}, 7);
    pond(level, {30.0f, 10.0f}, {12.0f, 22.0f}, -7.0f);
    lowlands(level, east, north + 10.0f, south - 10.0f, 31);
    highlands(level, -24.0f, north + 10.0f, south - 10.0f, 9.0f, 41);
    std::cout << "  beginning: " << level.meshCount() << " meshes\n";
    return level.write(paths);
}

bool tutorial(const OutputPaths& paths)
{
    LevelBuilder level("tutorial", "Fennik's Zavororor: the tutorial");
    // Start (-3.47, 0, 34.19). Walking back past z = 50 returns to the test level, past
    // z = -60 leads on to level one. Two chasms (z 3..8 and z -42..-36) must be jumped.
    // Section A: z 8..56, x -20..8. Section B: z -36..3, x -20..26. Section C: z -74..-42.
    const float west = -20.0f;
    slab(level, west, -7.0f, 8.0f, 30.0f, Surface::Sand);
    slab(level, west, -7.0f, 30.0f, 56.0f, Surface::Sand);
    slab(level, -7.0f, 0.0f, 8.0f, 30.0f, Surface::Cobble);
    slab(level, -7.0f, 0.0f, 30.0f, 56.0f, Surface::Cobble);
    slab(level, 0.0f, 8.0f, 8.0f, 30.0f, Surface::Sand);
    slab(level, 0.0f, 8.0f, 30.0f, 56.0f, Surface::Sand);
    cliff(level, -26.0f, west, 8.0f, 58.0f, 8.0f, 201);
    props::fence(level, {west, 56.0f}, {8.3f, 56.0f}, 2.2f);
    props::fence(level, {8.3f, 56.0f}, {8.3f, 8.0f}, 2.2f);
    // The first note in the path; the practice yard comes after the note on stomping.
    notePedestal(level, {-4.4f, 1.9f, 22.6f}, 1.6f);
    pushableRock(level, {-12.0f, 0.0f, 13.0f}, 1.2f);
    // A launch step before the first chasm.
    level.solidBox("step", {-2.0f, 0.0f, 9.0f}, {5.0f, 0.8f, 15.0f}, Surface::Planks);
    props::crate(level, {5.5f, 0.0f, 20.0f}, 1.0f);
    patches(level, {west + 3.0f, 36.0f}, {-9.0f, 52.0f}, 3, 213);
    backRow(level, -18.5f, 52.0f, 10.0f, 202);
    frontRow(level, 7.6f, 54.0f, 10.0f, 203);

    // Section B.
    const float eastB = 26.0f;
    slab(level, west, -7.0f, -36.0f, 3.0f, Surface::Sand);
    slab(level, -7.0f, 0.0f, -36.0f, 3.0f, Surface::Cobble);
    slab(level, 0.0f, 12.0f, -36.0f, 3.0f, Surface::Sand);
    slab(level, 12.0f, eastB, -36.0f, 3.0f, Surface::Grass);
    cliff(level, -26.0f, west, -36.0f, 3.0f, 9.0f, 204);
    props::fence(level, {eastB + 0.3f, 3.0f}, {eastB + 0.3f, -36.0f}, 2.2f);
    // Raised platform in the middle with a ramp up from the north.
    level.solidBox("platform", {3.0f, 0.0f, -18.0f}, {11.0f, 1.0f, -7.0f}, Surface::Bricks);
    level.solid("platform_ramp", shapes::ramp({3.0f, 0.0f, -7.0f}, {11.0f, 1.0f, -2.0f}, true), Surface::Planks);
    props::column(level, {-12.0f, 0.0f, -8.0f}, 6.0f, 0.8f, true);
    props::column(level, {-12.0f, 0.0f, -28.0f}, 4.0f, 0.8f, true);
    notePedestal(level, {-3.47f, 1.9f, -21.8f}, 1.6f);
    notePedestal(level, {20.0f, 1.9f, -21.7f}, 1.6f);
    // Practice yard: the first dummy stands on a ring of grass past the note on stomping.
    level.scenery(props::terrain({-20.0f, -29.0f}, {-12.0f, -21.0f}, 2.0f, [](float, float) { return 0.02f; }), Surface::Grass);
    props::crate(level, {16.0f, 0.0f, -4.0f}, 1.2f);
    patches(level, {west + 3.0f, -32.0f}, {0.0f, -1.0f}, 5, 214);
    props::crate(level, {17.4f, 0.0f, -4.0f}, 1.2f);
    backRow(level, -18.5f, 0.0f, -34.0f, 205);
    frontRow(level, eastB - 0.4f, 1.0f, -34.0f, 206);

    // Section C.
    slab(level, west, -7.0f, -74.0f, -42.0f, Surface::Sand);
    slab(level, -7.0f, 0.0f, -74.0f, -42.0f, Surface::Cobble);
    slab(level, 0.0f, eastB, -74.0f, -42.0f, Surface::Sand);
    cliff(level, -26.0f, west, -77.0f, -42.0f, 9.0f, 207);
    props::fence(level, {eastB + 0.3f, -42.0f}, {eastB + 0.3f, -74.0f}, 2.2f);
    level.solidBox("end_wall", {-26.0f, -0.6f, -77.0f}, {eastB + 0.6f, 6.0f, -74.0f}, Surface::Bricks);
    props::gateWall(level, -60.0f, west, eastB, -4.0f, 8.0f, 3.0f, 7.0f);
    level.scenery(props::terrain({16.0f, -54.0f}, {25.0f, -44.0f}, 2.0f, [](float, float) { return 0.02f; }), Surface::Grass);
    props::crate(level, {-4.0f, 0.0f, -50.0f}, 1.0f);
    patches(level, {west + 3.0f, -72.0f}, {10.0f, -45.0f}, 4, 215);
    backRow(level, -18.5f, -44.0f, -72.0f, 208);
    frontRow(level, eastB - 0.4f, -44.0f, -72.0f, 209);

    props::scatter(level, {west + 1.0f, 10.0f}, {7.0f, 54.0f}, 30, 210, {{-3.47f, 34.19f}, {-4.4f, 22.6f}, {-12.0f, 13.0f}, {1.5f, 12.0f}});
    props::scatter(level, {west + 1.0f, -34.0f}, {eastB - 1.0f, 1.0f}, 35, 211, {{-3.47f, -21.8f}, {20.0f, -21.7f}, {7.0f, -12.0f}, {2.0f, 0.0f}, {-16.0f, -25.0f}});
    props::scatter(level, {west + 1.0f, -72.0f}, {eastB - 1.0f, -44.0f}, 30, 212, {{21.0f, -49.0f}, {2.0f, -60.0f}, {2.0f, -45.0f}});
    // The chasms: water far below.
    chasmRiver(level, west, eastB, 3.0f, 8.0f);
    chasmRiver(level, west, eastB, -42.0f, -36.0f);
    dunes(level, {-26.0f, 8.0f, -77.0f, 58.0f}, 17);
    lowlands(level, eastB, 0.0f, -80.0f, 32);
    lowlands(level, 8.0f, 56.0f, 8.0f, 33);
    highlands(level, -26.0f, 60.0f, -80.0f, 9.0f, 42);
    std::cout << "  tutorial: " << level.meshCount() << " meshes\n";
    return level.write(paths);
}

bool firstLevel(const OutputPaths& paths)
{
    LevelBuilder level("firstLevel", "Fennik's Zavororor: level one, the beetle camp");
    // Start (0, 0, 24). Beetles at (19, -3), (10, -20) and (6, -50); the exit at z = -60
    // opens once all three are beaten. One closed area, x -20..26, z -74..34.
    const float west = -20.0f;
    const float east = 26.0f;
    const float north = 34.0f;
    const float south = -74.0f;
    for (auto [z0, z1] : {std::pair{south, -40.0f}, std::pair{-40.0f, -5.0f}, std::pair{-5.0f, north}}) {
        slab(level, west, -8.0f, z0, z1, Surface::Sand);
        slab(level, -8.0f, -1.0f, z0, z1, Surface::Cobble);
        slab(level, -1.0f, east, z0, z1, Surface::Sand);
    }
    cliff(level, -26.0f, west, south - 3.0f, -30.0f, 9.0f, 301);
    cliff(level, -26.0f, west, -30.0f, 10.0f, 11.0f, 302);
    cliff(level, -26.0f, west, 10.0f, north + 3.0f, 8.0f, 303);
    level.solidBox("end_wall", {-26.0f, -0.6f, north}, {east + 0.6f, 6.0f, north + 3.0f}, Surface::Bricks);
    level.solidBox("end_wall", {-26.0f, -0.6f, south - 3.0f}, {east + 0.6f, 6.0f, south}, Surface::Bricks);
    props::fence(level, {east + 0.3f, north}, {east + 0.3f, south}, 2.2f);
    // The note on a low dais by the start.
    level.solidBox("dais", {-18.0f, 0.0f, 15.0f}, {-10.5f, 0.8f, 24.0f}, Surface::Bricks);
    level.noteMarker({-14.263f, 0.8f, 19.3f});
    props::brazier(level, {-17.0f, 0.8f, 22.8f}, false);
    props::brazier(level, {-17.0f, 0.8f, 16.2f}, false);
    // A raised walk along the back with ramps at both ends.
    level.solidBox("walk", {west, 0.0f, -44.0f}, {-12.0f, 1.6f, -10.0f}, Surface::Bricks);
    level.solid("walk_ramp", shapes::ramp({-19.0f, 0.0f, -10.0f}, {-13.0f, 1.6f, -3.0f}, true), Surface::Planks);
    level.solid("walk_ramp", shapes::ramp({-19.0f, 0.0f, -51.0f}, {-13.0f, 1.6f, -44.0f}, false), Surface::Planks);
    // Metal pylons of the beetles' camp.
    for (glm::vec2 p : {glm::vec2(-4.0f, 4.0f), glm::vec2(-4.0f, -32.0f), glm::vec2(14.0f, -34.0f), glm::vec2(20.0f, 14.0f)}) {
        level.solid("pylon", shapes::cylinder(0.7f, 0.5f, 5.0f, 8).transformed(translate({p.x, 0.0f, p.y})), Surface::Metal);
        props::crystals(level, {p.x, 5.0f, p.y}, 0.7f, static_cast<unsigned>(p.x * 7.0f + p.y + 100.0f));
    }
    props::crate(level, {6.0f, 0.0f, 10.0f}, 1.2f);
    props::crate(level, {7.4f, 0.0f, 10.0f}, 1.2f);
    props::crate(level, {6.7f, 1.2f, 10.0f}, 1.2f);
    props::crate(level, {-2.0f, 0.0f, -40.0f}, 1.0f);
    level.solidBox("platform", {16.0f, 0.0f, -58.0f}, {24.0f, 1.0f, -48.0f}, Surface::Planks);
    props::column(level, {-6.0f, 0.0f, -18.0f}, 5.0f, 0.8f, true);
    patches(level, {west + 3.0f, -70.0f}, {-10.0f, 30.0f}, 8, 317);
    patches(level, {2.0f, -70.0f}, {east - 3.0f, 30.0f}, 8, 318);
    props::gateWall(level, -60.0f, west, east, -4.0f, 8.0f, 3.0f, 7.0f);
    props::ruinWall(level, {-4.0f, 0.0f, -28.0f}, {4.0f, 1.0f, -27.0f}, 311);
    props::ruinWall(level, {12.0f, 0.0f, 3.0f}, {13.0f, 0.9f, 11.0f}, 312);
    props::ruinWall(level, {0.0f, 0.0f, -44.0f}, {1.0f, 0.8f, -36.0f}, 313);
    props::tent(level, {-16.0f, 0.0f, 29.0f}, 5.0f, 5.0f, 3.5f);
    props::tent(level, {-16.0f, 0.0f, -64.0f}, 5.0f, 6.0f, 3.5f);
    props::tent(level, {-16.0f, 1.6f, -27.0f}, 4.0f, 4.0f, 3.0f);
    props::scatter(level, {west + 1.0f, -72.0f}, {east - 1.0f, 32.0f}, 80, 316,
                   {{0.0f, 24.0f}, {19.0f, -3.0f}, {10.0f, -20.0f}, {6.0f, -50.0f}, {-14.3f, 19.3f}, {2.0f, -60.0f}, {2.0f, 0.0f}, {2.0f, -30.0f}});
    backRow(level, -19.0f, 30.0f, 8.0f, 304);
    backRow(level, -19.0f, -56.0f, -72.0f, 305);
    frontRow(level, east - 0.4f, north - 2.0f, south + 2.0f, 306);
    dunes(level, {-26.0f, east, south - 3.0f, north + 3.0f}, 27);
    lowlands(level, east, north, south, 34);
    highlands(level, -26.0f, north + 10.0f, south - 10.0f, 9.0f, 43);
    std::cout << "  firstLevel: " << level.meshCount() << " meshes\n";
    return level.write(paths);
}

bool secondLevel(const OutputPaths& paths)
{
    LevelBuilder level("secondLevel", "Fennik's Zavororor: level two, the broken road");
    // Start (0, 0, 24). Beetles at (19, -3) and (6, -50); the exit at z = -70 opens once both
    // are beaten. Chasms at z 12..17 and -36..-30 are placed so that a beetle only chases the
    // player on its own side (each is more than 20 units from the far edge).
    const float west = -20.0f;
    const float east = 26.0f;
    // Section A: z 17..34.
    slab(level, west, -7.0f, 17.0f, 34.0f, Surface::Sand);
    slab(level, -7.0f, 1.0f, 17.0f, 34.0f, Surface::Cobble);
    slab(level, 1.0f, east, 17.0f, 34.0f, Surface::Sand);
    cliff(level, -26.0f, west, 17.0f, 37.0f, 9.0f, 401);
    level.solidBox("end_wall", {-26.0f, -0.6f, 34.0f}, {east + 0.6f, 6.0f, 37.0f}, Surface::Bricks);
    props::fence(level, {east + 0.3f, 34.0f}, {east + 0.3f, 17.0f}, 2.2f);
    pushableRock(level, {-12.0f, 0.0f, 27.0f}, 1.3f);
    // Section B: z -30..12, with a raised middle reached by ramps.
    slab(level, west, -7.0f, -30.0f, 12.0f, Surface::Sand);
    slab(level, -7.0f, 1.0f, -30.0f, 12.0f, Surface::Cobble);
    slab(level, 1.0f, east, -30.0f, 12.0f, Surface::Sand);
    cliff(level, -26.0f, west, -30.0f, 12.0f, 10.0f, 402);
    props::fence(level, {east + 0.3f, 12.0f}, {east + 0.3f, -30.0f}, 2.2f);
    level.solidBox("mesa", {-18.0f, 0.0f, -22.0f}, {-9.0f, 1.6f, -6.0f}, Surface::Sandstone);
    level.solid("mesa_ramp", shapes::ramp({-16.0f, 0.0f, -6.0f}, {-11.0f, 1.6f, 1.0f}, true), Surface::Planks);
    level.solidBox("mesa_step", {-9.0f, 0.0f, -20.0f}, {-6.0f, 0.8f, -14.0f}, Surface::Sandstone);
    props::column(level, {-3.0f, 0.0f, -24.0f}, 5.0f, 0.8f, true);
    props::crate(level, {8.0f, 0.0f, 6.0f}, 1.0f);
    props::crate(level, {8.0f, 0.0f, 7.2f}, 1.0f);
    level.solid("pylon", shapes::cylinder(0.7f, 0.5f, 5.0f, 8).transformed(translate({10.0f, 0.0f, -14.0f})), Surface::Metal);
    props::crystals(level, {10.0f, 5.0f, -14.0f}, 0.7f, 411);
    // Section C: z -84..-36.
    slab(level, west, -7.0f, -84.0f, -36.0f, Surface::Sand);
    slab(level, -7.0f, 1.0f, -84.0f, -36.0f, Surface::Cobble);
    slab(level, 1.0f, east, -84.0f, -36.0f, Surface::Sand);
    cliff(level, -26.0f, west, -87.0f, -36.0f, 9.0f, 403);
    level.solidBox("end_wall", {-26.0f, -0.6f, -87.0f}, {east + 0.6f, 6.0f, -84.0f}, Surface::Bricks);
    props::fence(level, {east + 0.3f, -36.0f}, {east + 0.3f, -84.0f}, 2.2f);
    level.solidBox("platform", {14.0f, 0.0f, -66.0f}, {22.0f, 1.0f, -56.0f}, Surface::Planks);
    props::column(level, {-10.0f, 0.0f, -46.0f}, 6.0f, 0.8f, true);
    props::column(level, {-10.0f, 0.0f, -60.0f}, 4.0f, 0.8f, true);
    patches(level, {west + 5.0f, 22.0f}, {-10.0f, 30.0f}, 2, 415);
    patches(level, {west + 5.0f, -25.0f}, {-10.0f, 7.0f}, 3, 416);
    patches(level, {3.0f, -25.0f}, {east - 5.0f, 7.0f}, 3, 419);
    patches(level, {west + 5.0f, -79.0f}, {east - 5.0f, -41.0f}, 6, 420);
    props::gateWall(level, -70.0f, west, east, -4.0f, 8.0f, 3.0f, 7.0f);
    props::ruinWall(level, {14.0f, 0.0f, -16.0f}, {15.0f, 0.9f, -8.0f}, 412);
    props::ruinWall(level, {-4.0f, 0.0f, -56.0f}, {4.0f, 1.0f, -55.0f}, 413);
    props::tent(level, {-16.0f, 0.0f, -78.0f}, 5.0f, 6.0f, 3.5f);
    // Scattered per section: nothing may hang over the chasms.
    const std::vector<glm::vec2> keepClear = {{0.0f, 24.0f}, {19.0f, -3.0f}, {6.0f, -50.0f}, {-12.0f, 27.0f}, {2.0f, -70.0f}, {2.0f, 10.0f}, {2.0f, -40.0f}};
    props::scatter(level, {west + 1.0f, 19.0f}, {east - 1.0f, 32.0f}, 15, 414, keepClear);
    props::scatter(level, {west + 1.0f, -28.0f}, {east - 1.0f, 10.0f}, 35, 417, keepClear);
    props::scatter(level, {west + 1.0f, -82.0f}, {east - 1.0f, -38.0f}, 40, 418, keepClear);
    chasmRiver(level, west, east, 12.0f, 17.0f);
    chasmRiver(level, west, east, -36.0f, -30.0f);
    backRow(level, -19.0f, 32.0f, 19.0f, 404);
    backRow(level, -19.0f, 10.0f, -28.0f, 405);
    backRow(level, -19.0f, -38.0f, -82.0f, 406);
    frontRow(level, east - 0.4f, 33.0f, -83.0f, 407);
    dunes(level, {-26.0f, east, -87.0f, 37.0f}, 37);
    lowlands(level, east, 34.0f, -84.0f, 35);
    highlands(level, -26.0f, 44.0f, -94.0f, 9.0f, 44);
    std::cout << "  secondLevel: " << level.meshCount() << " meshes\n";
    return level.write(paths);
}

bool bossRoom(const OutputPaths& paths)
{
    LevelBuilder level("bossRoom", "Fennik's Zavororor: the scarab king's hall");
    // Start (0, 0, 24). The boss waits at (6, -35); when it falls the player is put at
    // (6, 0, -20) and Kobbin appears where the boss stood. A closed hall, x -14..22, z -52..32.
    const float west = -14.0f;
    const float east = 22.0f;
    const float north = 32.0f;
    const float south = -52.0f;
    for (auto [z0, z1] : {std::pair{south, -20.0f}, std::pair{-20.0f, 8.0f}, std::pair{8.0f, north}}) {
        slab(level, west, 4.0f, z0, z1, Surface::Darkstone);
        slab(level, 4.0f, east, z0, z1, Surface::Darkstone);
    }
    // Walls: tall at the back and the ends, low towards the camera, none to jump over.
    level.solidBox("wall", {west - 6.0f, -0.6f, south - 2.0f}, {west, 10.0f, -10.0f}, Surface::Bricks);
    level.solidBox("wall", {west - 6.0f, -0.6f, -10.0f}, {west, 10.0f, north + 2.0f}, Surface::Bricks);
    level.solidBox("wall", {west - 6.0f, -0.6f, north}, {east + 2.0f, 8.0f, north + 2.0f}, Surface::Bricks);
    level.solidBox("wall", {west - 6.0f, -0.6f, south - 2.0f}, {east + 2.0f, 8.0f, south}, Surface::Bricks);
    level.solidBox("wall", {east, -0.6f, south}, {east + 2.0f, 3.6f, -10.0f}, Surface::Bricks);
    level.solidBox("wall", {east, -0.6f, -10.0f}, {east + 2.0f, 3.6f, north}, Surface::Bricks);
    // Throne dais at the back, gold-trimmed pillars, braziers and banners.
    level.solidBox("throne_dais", {west, 0.0f, -42.0f}, {-8.0f, 1.0f, -28.0f}, Surface::Darkstone);
    level.scenery(shapes::box({-13.5f, 1.0f, -37.0f}, {-11.0f, 2.2f, -33.0f}), Surface::Metal);
    level.scenery(shapes::box({-13.5f, 2.2f, -37.0f}, {-12.6f, 6.5f, -33.0f}), Surface::Metal);
    for (float z : {-44.0f, -24.0f, -4.0f, 16.0f}) {
        level.solid("pillar", shapes::cylinder(1.0f, 0.85f, 9.0f, 10).transformed(translate({-10.5f, 0.0f, z})), Surface::Metal);
        props::banner(level, {-13.8f, 8.5f, z + 6.0f}, 2.0f, 5.0f);
    }
    for (glm::vec2 p : {glm::vec2(19.0f, -46.0f), glm::vec2(19.0f, -22.0f), glm::vec2(19.0f, 2.0f), glm::vec2(19.0f, 26.0f)}) {
        props::brazier(level, {p.x, 0.0f, p.y}, true);
    }
    // The arena: two gold rings inlaid in the floor around the boss's place, crystals
    // between them, and a carpet leading there from the entrance.
    for (auto [inner, outer] : {std::pair{11.0f, 11.8f}, std::pair{15.2f, 16.0f}}) {
        Geometry ring;
        const int segments = 48;
        for (int i = 0; i < segments; ++i) {
            float a0 = 6.2831853f * static_cast<float>(i) / segments;
            float a1 = 6.2831853f * static_cast<float>(i + 1) / segments;
            auto at = [&](float r, float a) { return glm::vec3(6.0f + std::cos(a) * r, 0.03f, -35.0f - std::sin(a) * r); };
            glm::vec3 up(0, 1, 0);
            ring.triangles.push_back(Triangle{{{at(inner, a0), up, {}}, {at(outer, a0), up, {}}, {at(outer, a1), up, {}}}});
            ring.triangles.push_back(Triangle{{{at(inner, a0), up, {}}, {at(outer, a1), up, {}}, {at(inner, a1), up, {}}}});
        }
        level.scenery(ring, Surface::Brass);
    }
    for (int i = 0; i < 8; ++i) {
        float a = 6.2831853f * static_cast<float>(i) / 8.0f + 0.39f;
        props::crystals(level, {6.0f + std::cos(a) * 13.5f, 0.0f, -35.0f + std::sin(a) * 13.5f}, 0.9f, 500 + static_cast<unsigned>(i));
    }
    level.scenery(shapes::box({-2.0f, 0.0f, -19.0f}, {2.0f, 0.04f, 30.0f}), Surface::Cloth);
    level.solidBox("step", {-2.0f, 0.0f, 26.0f}, {2.0f, 0.5f, 30.0f}, Surface::Darkstone);
    dunes(level, {west - 6.0f, east + 2.0f, south - 2.0f, north + 2.0f}, 47);
    highlands(level, west - 6.0f, north + 10.0f, south - 10.0f, 9.0f, 45);
    std::cout << "  bossRoom: " << level.meshCount() << " meshes\n";
    return level.write(paths);
}

} // namespace

bool writeLevels(const OutputPaths& paths)
{
    bool ok = beginning(paths);
    ok = tutorial(paths) && ok;
    ok = firstLevel(paths) && ok;
    ok = secondLevel(paths) && ok;
    ok = bossRoom(paths) && ok;
    return ok;
}

} // namespace fennik::assetgen
