#include "Characters.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Canvas.hpp"
#include "Geometry.hpp"
#include "ObjWriter.hpp"

namespace fennik::assetgen {

namespace {

// Cells of the 8 x 8 palette; each character samples flat colours from it, so one mesh
// with one material still has all its colours.
enum Paint : int {
    FoxFur,
    FoxCream,
    Ink, // eyes and noses: the darkest paint, always on a character's front
    EarPink,
    FoxDark,
    White,
    BeetleShell,
    BeetleBelly,
    Horn,
    EyeWhite,
    EyeRed,
    Straw,
    Wood,
    TargetRed,
    Sackcloth,
    BossShell,
    Gold,
    BossDark,
    KobbinSkin,
    RobeBlue,
    Beard,
    Lantern,
    Rope,
    TargetWhite,
    BeetleStripe,
    Metal,
    WoodDark,
    PaintCount
};

const Colour paletteColours[PaintCount] = {
    rgb(232, 150, 78),  rgb(250, 236, 212), rgb(22, 16, 16),   rgb(246, 188, 170), rgb(176, 98, 52),
    rgb(255, 255, 255), rgb(96, 64, 168),   rgb(176, 150, 222), rgb(250, 206, 96), rgb(246, 244, 236),
    rgb(214, 48, 44),   rgb(226, 192, 102), rgb(136, 88, 50),   rgb(206, 44, 42),  rgb(196, 168, 126),
    rgb(150, 26, 44),   rgb(240, 188, 64),  rgb(58, 24, 60),    rgb(132, 186, 104), rgb(68, 92, 178),
    rgb(236, 236, 232), rgb(255, 214, 120), rgb(164, 132, 84),  rgb(244, 240, 230), rgb(64, 200, 196),
    rgb(150, 156, 170), rgb(98, 62, 36),
};

constexpr int paletteCells = 8;
constexpr int cellPixels = 16;

glm::vec2 cell(Paint paint)
{
    int i = static_cast<int>(paint);
    float u = (static_cast<float>(i % paletteCells) + 0.5f) / paletteCells;
    float v = 1.0f - (static_cast<float>(i / paletteCells) + 0.5f) / paletteCells;
    return glm::vec2(u, v);
}

bool writePalette(const OutputPaths& paths)
{
    Canvas canvas(paletteCells * cellPixels, paletteCells * cellPixels, rgb(128, 128, 128));
    for (int i = 0; i < PaintCount; ++i) {
        int cx = (i % paletteCells) * cellPixels;
        int cy = (i / paletteCells) * cellPixels;
        for (int y = 0; y < cellPixels; ++y) {
            for (int x = 0; x < cellPixels; ++x) {
                canvas.set(cx + x, cy + y, paletteColours[i]);
            }
        }
    }
    return canvas.savePng(paths.textures() + "/characters.png", 3);
}

// Builds one character: parts are painted and placed, then joined into a single mesh.
class Figure {
public:
    void part(const Geometry& shape, const glm::mat4& placement, Paint paint)
    {
        Geometry painted = shape;
        painted.paint(cell(paint));
        body.add(painted, placement);
    }
    void ellipsoid(glm::vec3 centre, glm::vec3 radii, Paint paint, const glm::mat4& turn = glm::mat4(1.0f))
    {
        part(shapes::sphere(10, 16), translate(centre) * turn * scale(radii), paint);
    }
    // Small knobs and flat inlays need far fewer triangles than a full ellipsoid.
    void bead(glm::vec3 centre, glm::vec3 radii, Paint paint) { part(shapes::sphere(5, 10), translate(centre) * scale(radii), paint); }
    void inlay(glm::vec3 centre, glm::vec3 radii, Paint paint) { part(shapes::sphere(4, 20), translate(centre) * scale(radii), paint); }
    // A tapered limb from `from` to `to`.
    void limb(glm::vec3 from, glm::vec3 to, float fromRadius, float toRadius, Paint paint, int segments = 10)
    {
        glm::vec3 axis = to - from;
        float length = glm::length(axis);
        glm::vec3 up = axis / length;
        glm::vec3 helper = std::fabs(up.y) < 0.99f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
        glm::vec3 side = glm::normalize(glm::cross(helper, up));
        glm::vec3 front = glm::cross(up, side);
        glm::mat4 frame(glm::vec4(side, 0), glm::vec4(up, 0), glm::vec4(front, 0), glm::vec4(from, 1));
        part(shapes::cylinder(fromRadius, toRadius, length, segments), frame, paint);
    }

    Geometry body;
};

MtlMaterial paletteMaterial(const std::string& name)
{
    MtlMaterial m;
    m.name = name;
    m.diffuse = glm::vec3(1.0f);
    m.specular = glm::vec3(0.2f);
    m.shininess = 24.0f;
    m.diffuseMap = "../textures/characters.png";
    return m;
}

bool writeFigure(const OutputPaths& paths, const std::string& file, const std::string& meshName, const Figure& figure,
                 const std::string& description)
{
    std::vector<ObjMesh> meshes = {{meshName, file + "_palette", figure.body}};
    return writeObjModel(paths.models(), file, meshes, {paletteMaterial(file + "_palette")}, description);
}

// Fennik the fennec fox, on all fours, facing +X. The player's model is drawn 1.7 below
// the centre of a capsule 3.75 tall, so the paws sit at y = -0.175 (the capsule's bottom).
Figure fennik()
{
    Figure f;
    const float feet = -0.175f;
    auto at = [&](float x, float y, float z) { return glm::vec3(x, y + feet, z); };
    // Body, chest and belly.
    f.ellipsoid(at(-0.15f, 1.38f, 0.0f), {1.05f, 0.56f, 0.55f}, FoxFur);
    f.ellipsoid(at(0.45f, 1.25f, 0.0f), {0.55f, 0.5f, 0.46f}, FoxCream);
    f.ellipsoid(at(-0.3f, 1.72f, 0.0f), {0.75f, 0.22f, 0.36f}, FoxDark);
    // Neck and head.
    f.ellipsoid(at(0.78f, 1.78f, 0.0f), {0.36f, 0.5f, 0.36f}, FoxFur, rotateZ(-25.0f));
    f.ellipsoid(at(1.02f, 2.28f, 0.0f), {0.5f, 0.43f, 0.46f}, FoxFur);
    f.ellipsoid(at(1.34f, 2.14f, 0.0f), {0.42f, 0.22f, 0.32f}, FoxCream);
    f.ellipsoid(at(1.6f, 2.17f, 0.0f), {0.3f, 0.13f, 0.15f}, FoxCream);
    f.ellipsoid(at(1.89f, 2.21f, 0.0f), {0.08f, 0.07f, 0.09f}, Ink);
    for (float side : {-1.0f, 1.0f}) {
        // Eyes.
        f.ellipsoid(at(1.38f, 2.4f, side * 0.22f), {0.07f, 0.1f, 0.07f}, Ink);
        // The fennec's huge ears, tipped back and out.
        glm::mat4 ear = translate(at(0.92f, 2.5f, side * 0.27f)) * rotateX(side * 24.0f) * rotateZ(14.0f) * scale({1.0f, 1.0f, 0.36f});
        f.part(shapes::cylinder(0.34f, 0.0f, 1.12f, 8), ear, FoxFur);
        glm::mat4 inner = translate(at(1.04f, 2.56f, side * 0.29f)) * rotateX(side * 24.0f) * rotateZ(14.0f) * scale({0.72f, 0.86f, 0.42f});
        f.part(shapes::cylinder(0.34f, 0.0f, 1.12f, 8), inner, EarPink);
        // Legs with cream paws.
        for (float x : {0.55f, -0.75f}) {
            f.limb(at(x, 1.25f, side * 0.3f), at(x + 0.05f, 0.15f, side * 0.32f), 0.19f, 0.12f, FoxFur);
            f.ellipsoid(at(x + 0.1f, 0.1f, side * 0.32f), {0.2f, 0.1f, 0.15f}, FoxCream);
        }
    }
    // The bushy tail, ending in a dark tip.
    f.ellipsoid(at(-1.2f, 1.32f, 0.0f), {0.42f, 0.26f, 0.26f}, FoxFur, rotateZ(20.0f));
    f.ellipsoid(at(-1.58f, 1.18f, 0.0f), {0.4f, 0.3f, 0.3f}, FoxFur, rotateZ(10.0f));
    f.ellipsoid(at(-1.88f, 1.16f, 0.0f), {0.25f, 0.24f, 0.24f}, FoxDark);
    return f;
}

// The player's capsule walks on the round bottom of its lower half sphere, whose centre
// is 1.5 above the floor. Whatever it walks into is met where that sphere first touches:
// on a dome low down, which the levels would count as landing on it. So everything the
// player can stomp has walls that stand straight up (or lean out) to a rim about 1.4 above
// the floor, where the contact is nearly level, and a back that rises little above the
// rim, so a jump (1.7 high, less the hull's margins) still clears it.
constexpr float floorY = -1.9f;
constexpr float rimHeight = 1.38f;

// The outline |x / halfX|^p + |z / halfZ|^p = 1: an ellipse for p = 2, a rounded
// rectangle for larger p. `front` and `back` are halfX towards +X and -X, so an outline
// can be egg-shaped. Its points go round from +X towards -Z, as a loft wants them.
std::vector<glm::vec2> roundedOutline(float front, float back, float halfZ, float exponent, int points = 36)
{
    std::vector<glm::vec2> outline;
    for (int i = 0; i < points; ++i) {
        float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(points);
        float c = std::cos(angle);
        float s = -std::sin(angle);
        auto shaped = [&](float v) { return std::copysign(std::pow(std::fabs(v), 2.0f / exponent), v); };
        outline.emplace_back((c >= 0.0f ? front : back) * shaped(c), halfZ * shaped(s));
    }
    return outline;
}

// How far such an outline reaches across (in z) at `x` along it.
float outlineHalfWidth(float front, float back, float halfZ, float exponent, float x)
{
    float along = std::min(std::fabs(x) / (x >= 0.0f ? front : back), 1.0f);
    return halfZ * std::pow(1.0f - std::pow(along, exponent), 1.0f / exponent);
}

// The practice dummy: a stuffed sackcloth block, roped like a bale, standing in a wooden
// crate, with a painted target and button eyes on its +X side and straw bursting out of
// its top. Its walls stand straight from the crate to the rim.
Figure strawDummy()
{
    Figure f;
    auto at = [](float x, float h, float z) { return glm::vec3(x, floorY + h, z); };
    // The crate, with dark corner posts and bands; the sack overhangs it a little.
    f.part(shapes::box(at(-1.02f, 0.0f, -1.12f), at(1.02f, 0.52f, 1.12f)), glm::mat4(1.0f), Wood);
    for (float x : {-1.0f, 1.0f}) {
        for (float z : {-1.0f, 1.0f}) {
            glm::vec3 corner(x * 0.96f, 0.0f, z * 1.06f);
            f.part(shapes::centredBox({0.1f, 0.28f, 0.1f}), translate(at(corner.x, 0.28f, corner.z)), WoodDark);
        }
    }
    for (float h : {0.06f, 0.46f}) {
        f.part(shapes::box(at(-1.04f, h - 0.05f, -1.14f), at(1.04f, h + 0.05f, 1.14f)), glm::mat4(1.0f), WoodDark);
    }
    // The sack: a block with rounded corners, its walls leaning out a little up to the rim
    // so nothing painted or tied on them stands out past it, and a gently rounded top.
    const float halfX = 1.1f;
    const float halfZ = 1.22f;
    const float corner = 4.0f;
    const float wallFoot = 0.6f;
    const float wallTop = rimHeight - 0.03f;
    auto wall = [&](float h) { return 0.97f + 0.03f * std::clamp((h - wallFoot) / (wallTop - wallFoot), 0.0f, 1.0f); };
    std::vector<glm::vec2> sack = roundedOutline(halfX, halfX, halfZ, corner);
    f.part(shapes::loft(sack, {{0.0f, 0.5f}, {0.88f, 0.5f}, {0.95f, 0.53f}, {wall(wallFoot), wallFoot}, {1.0f, wallTop},
                                {0.985f, rimHeight + 0.01f}, {0.95f, rimHeight + 0.03f}, {0.8f, rimHeight + 0.045f},
                                {0.0f, rimHeight + 0.05f}}),
           translate(at(0.0f, 0.0f, 0.0f)), Sackcloth);
    // Two ropes round it, like a bale.
    for (float h : {0.59f, 1.1f}) {
        f.part(shapes::loft(sack, {{wall(h - 0.05f), h - 0.05f}, {wall(h) + 0.01f, h}, {wall(h + 0.05f), h + 0.05f}}),
               translate(at(0.0f, 0.0f, 0.0f)), WoodDark);
    }
    // On the front, painted target rings between the ropes and two button eyes above.
    auto facing = [&](float h, float out, float z) { return translate(at(halfX * wall(h) + out, h, z)) * rotateZ(-90.0f); };
    const float targetHeight = 0.87f;
    f.part(shapes::cylinder(0.24f, 0.24f, 0.02f, 24), facing(targetHeight, -0.01f, 0.0f), TargetRed);
    f.part(shapes::cylinder(0.16f, 0.16f, 0.02f, 24), facing(targetHeight, -0.005f, 0.0f), TargetWhite);
    f.part(shapes::cylinder(0.08f, 0.08f, 0.02f, 16), facing(targetHeight, 0.0f, 0.0f), TargetRed);
    for (float side : {-1.0f, 1.0f}) {
        f.part(shapes::cylinder(0.1f, 0.1f, 0.02f, 16), facing(1.25f, -0.005f, side * 0.32f), Ink);
    }
    // Straw bursting out of the top, flat enough not to stand in the way of a landing.
    for (int i = 0; i < 9; ++i) {
        float angle = glm::radians(40.0f * static_cast<float>(i) + 10.0f);
        glm::vec3 base = at(0.2f * std::cos(angle), rimHeight + 0.05f, 0.2f * std::sin(angle));
        float length = i % 2 == 0 ? 0.5f : 0.36f;
        f.part(shapes::cylinder(0.12f, 0.0f, length, 6),
               translate(base) * rotateY(-glm::degrees(angle)) * rotateZ(-90.0f) * scale({0.3f, 1.0f, 1.0f}), Straw);
    }
    f.inlay(at(0.0f, rimHeight + 0.05f, 0.0f), {0.32f, 0.04f, 0.32f}, Straw);
    return f;
}

// The second dummy: a sand-filled barrel in a broad-brimmed kettle helmet, with a shield
// on its front. The brim reaches out past barrel and shield alike and makes the rim.
Figure barrelDummy()
{
    Figure f;
    auto at = [](float x, float h, float z) { return glm::vec3(x, floorY + h, z); };
    // The barrel bulges between two narrower ends; three iron hoops.
    f.part(shapes::cylinder(0.8f, 0.94f, 0.65f, 24), translate(at(0.0f, 0.0f, 0.0f)), Wood);
    f.part(shapes::cylinder(0.94f, 0.84f, 0.65f, 24), translate(at(0.0f, 0.65f, 0.0f)), Wood);
    for (float h : {0.1f, 0.65f, 1.2f}) {
        float radius = h < 0.3f ? 0.84f : (h > 0.9f ? 0.86f : 0.955f);
        f.part(shapes::cylinder(radius, radius, 0.1f, 24, false), translate(at(0.0f, h - 0.05f, 0.0f)), Metal);
    }
    // The kettle helmet: a low crown, a brim sloping down and out to the rim, a knob.
    f.part(shapes::cylinder(1.16f, 0.7f, 0.12f, 28), translate(at(0.0f, rimHeight - 0.04f, 0.0f)), Metal);
    f.part(shapes::cylinder(1.16f, 1.16f, 0.04f, 28, false), translate(at(0.0f, rimHeight - 0.04f, 0.0f)), Metal);
    f.ellipsoid(at(0.0f, rimHeight - 0.05f, 0.0f), {0.74f, 0.13f, 0.74f}, Metal);
    f.bead(at(0.0f, rimHeight + 0.05f, 0.0f), {0.14f, 0.035f, 0.14f}, TargetRed);
    // A shield with a target on the front, and two wide eyes peering from under the brim.
    auto facing = [&](float x, float h) { return translate(at(x, h, 0.0f)) * rotateZ(-90.0f); };
    const float shieldHeight = 0.5f;
    f.part(shapes::cylinder(0.36f, 0.36f, 0.07f, 24), facing(0.9f, shieldHeight), TargetRed);
    f.part(shapes::cylinder(0.24f, 0.24f, 0.05f, 24), facing(0.95f, shieldHeight), TargetWhite);
    f.part(shapes::cylinder(0.11f, 0.11f, 0.04f, 16), facing(0.98f, shieldHeight), Gold);
    for (float side : {-1.0f, 1.0f}) {
        f.ellipsoid(at(0.82f, 0.98f, side * 0.28f), {0.06f, 0.12f, 0.1f}, EyeWhite);
        f.bead(at(0.875f, 0.97f, side * 0.29f), {0.03f, 0.07f, 0.06f}, Ink);
    }
    return f;
}

// Shared by the beetle enemies: a deep armoured shell (egg-shaped wing cases and the
// narrower head shield before them, at +X, with the eyes, the mandibles below and a horn
// curling up to the height of the rim), and six stout legs whose tips are the
// lowest point (y = -1.9). Nothing but the feet reaches out past the rim. `size` scales
// the beetle across; its heights stay the same.
void beetle(Figure& f, float size, bool spotted, Paint shell, Paint belly, Paint stripe, Paint horn, Paint legs)
{
    auto p = [&](float x, float h, float z) { return glm::vec3(x * size, floorY + h, z * size); };
    auto across = [&](glm::vec3 radii) { return radii * glm::vec3(size, 1.0f, size); };
    // The wing cases: broad shoulders, a rounder tail, straight walls from the tucked-in
    // underside up to a sharp rim, and a back that barely rises above it.
    const float caseX = -0.2f;
    const float caseFront = 0.95f;
    const float caseBack = 1.28f;
    const float caseHalfZ = 1.4f;
    const float caseCorner = 2.5f;
    const std::vector<glm::vec2> cases = roundedOutline(caseFront * size, caseBack * size, caseHalfZ * size, caseCorner);
    const glm::mat4 atCases = translate(p(caseX, 0.0f, 0.0f));
    f.part(shapes::loft(cases, {{0.0f, 0.42f}, {0.6f, 0.44f}, {0.85f, 0.5f}, {0.95f, 0.58f}, {0.985f, 0.7f},
                                 {0.995f, 0.85f}, {1.0f, rimHeight - 0.02f}, {0.985f, rimHeight + 0.015f},
                                 {0.95f, rimHeight + 0.04f}, {0.85f, rimHeight + 0.06f}, {0.6f, rimHeight + 0.075f},
                                 {0.0f, rimHeight + 0.08f}}),
           atCases, shell);
    // Trim along the rim, the split line down the back, and on each wing case two spots
    // or a ridge.
    f.part(shapes::loft(cases, {{0.998f, rimHeight - 0.13f}, {1.004f, rimHeight - 0.08f}, {1.006f, rimHeight - 0.02f},
                                 {0.99f, rimHeight + 0.012f}}),
           atCases, stripe);
    f.inlay(p(caseX - 0.12f, rimHeight + 0.07f, 0.0f), across({1.1f, 0.02f, 0.05f}), stripe);
    for (float side : {-1.0f, 1.0f}) {
        if (spotted) {
            f.inlay(p(caseX + 0.3f, rimHeight + 0.068f, side * 0.62f), across({0.2f, 0.02f, 0.2f}), stripe);
            f.inlay(p(caseX - 0.55f, rimHeight + 0.068f, side * 0.5f), across({0.16f, 0.02f, 0.16f}), stripe);
        } else {
            f.inlay(p(caseX - 0.1f, rimHeight + 0.06f, side * 0.72f), across({0.85f, 0.02f, 0.04f}), stripe);
        }
    }
    // The head shield: the big armoured front that carries the eyes and the horn; its
    // rim just under the wing cases'.
    const float shieldX = 1.05f;
    const float shieldFront = 0.72f;
    const float shieldHalfZ = 1.0f;
    const float shieldCorner = 2.3f;
    f.part(shapes::loft(roundedOutline(shieldFront * size, 0.5f * size, shieldHalfZ * size, shieldCorner),
                        {{0.0f, 0.5f}, {0.8f, 0.52f}, {0.95f, 0.6f}, {0.99f, 0.8f}, {1.0f, rimHeight - 0.06f},
                         {0.97f, rimHeight - 0.025f}, {0.85f, rimHeight}, {0.0f, rimHeight + 0.02f}}),
           translate(p(shieldX, 0.0f, 0.0f)), shell);
    f.ellipsoid(p(0.0f, 0.46f, 0.0f), across({1.2f, 0.16f, 0.95f}), belly);
    // The mouth under the shield, and the horn curling up from the shield's brow; the
    // horn's tip is the foremost point, so the front drops straight from it.
    f.ellipsoid(p(1.6f, 0.6f, 0.0f), across({0.24f, 0.16f, 0.36f}), belly);
    // It is as thick on the king as on its subjects: thicker, it would stand above the back.
    const glm::vec3 hornRoot = p(1.45f, rimHeight - 0.07f, 0.0f);
    const glm::vec3 hornBend = p(1.86f, rimHeight - 0.05f, 0.0f);
    f.limb(hornRoot, hornBend, 0.15f, 0.09f, horn, 10);
    f.bead(hornBend, glm::vec3(0.09f), horn);
    f.limb(hornBend, p(2.02f, rimHeight + 0.07f, 0.0f), 0.09f, 0.0f, horn, 10);
    // Eyes set into the shield's front wall, standing out of it hardly at all.
    const float eyeHeight = 0.98f;
    for (float side : {-1.0f, 1.0f}) {
        const float eyeZ = side * 0.36f;
        // Along and across swapped: how far the front reaches at this z.
        const float wallX = shieldX + outlineHalfWidth(shieldHalfZ, shieldHalfZ, shieldFront, shieldCorner, eyeZ);
        f.ellipsoid(p(wallX - 0.06f, eyeHeight, eyeZ), across({0.09f, 0.15f, 0.14f}), EyeWhite);
        f.bead(p(wallX - 0.01f, eyeHeight - 0.01f, eyeZ * 1.05f), across({0.04f, 0.09f, 0.08f}), Ink);
        // Mandibles.
        f.limb(p(1.72f, 0.55f, side * 0.2f), p(1.95f, 0.48f, side * 0.06f), 0.06f * size, 0.0f, horn, 6);
        // Legs: out from under the belly to a knee at the wall, down to a point just
        // outside it.
        for (float x : {0.75f, 0.05f, -0.7f}) {
            float knee = x * 1.08f;
            float wall = outlineHalfWidth(caseFront, caseBack, caseHalfZ, caseCorner, knee - caseX);
            glm::vec3 kneeAt = p(knee, 0.62f, side * (wall - 0.1f));
            glm::vec3 footAt = p(x * 1.18f, 0.0f, side * (wall + 0.02f));
            f.limb(p(x, 0.46f, side * 0.7f), kneeAt, 0.09f * size, 0.08f * size, legs, 8);
            f.bead(kneeAt, across({0.09f, 0.09f, 0.09f}), legs);
            f.limb(kneeAt, footAt, 0.08f * size, 0.0f, legs, 8);
        }
    }
}

Figure enemyBeetle()
{
    Figure f;
    beetle(f, 1.0f, true, BeetleShell, BeetleBelly, BeetleStripe, Horn, BossDark);
    return f;
}

// The boss: a scarab king, half as broad again as its subjects and no taller, so it can
// still be jumped on, with a golden crown on its back.
Figure scarabKing()
{
    Figure f;
    const float size = 1.55f;
    beetle(f, size, false, BossShell, BossDark, Gold, Gold, BossDark);
    // The crown lies flat, its points turned outwards: standing up they would lift the
    // king's back out of a jump's reach.
    const glm::vec3 crown(-0.4f * size, floorY + rimHeight + 0.04f, 0.0f);
    f.part(shapes::cylinder(0.62f, 0.6f, 0.045f, 28), translate(crown), Gold);
    for (int i = 0; i < 8; ++i) {
        float angle = glm::radians(45.0f * static_cast<float>(i));
        glm::vec3 out(std::cos(angle), 0.0f, std::sin(angle));
        glm::vec3 spike = crown + out * 0.58f + glm::vec3(0.0f, 0.025f, 0.0f);
        glm::mat4 outwards = translate(spike) * rotateY(-glm::degrees(angle)) * rotateZ(-90.0f);
        f.part(shapes::cylinder(0.1f, 0.0f, 0.38f, 6), outwards * scale({0.3f, 1.0f, 1.0f}), Gold);
        f.bead(spike + out * 0.38f, {0.05f, 0.02f, 0.05f}, EyeRed);
    }
    f.inlay(crown + glm::vec3(0.0f, 0.045f, 0.0f), {0.3f, 0.012f, 0.3f}, EyeRed);
    return f;
}

// Kobbin, the old desert sage who waits at the end: robe, beard, pointed hat and a lantern.
Figure kobbin()
{
    Figure f;
    f.part(shapes::cylinder(0.85f, 0.45f, 1.6f, 18), translate({0.0f, floorY, 0.0f}), RobeBlue);
    f.part(shapes::cylinder(0.88f, 0.86f, 0.14f, 18), translate({0.0f, floorY, 0.0f}), Gold);
    f.ellipsoid({0.0f, floorY + 1.95f, 0.0f}, {0.5f, 0.48f, 0.5f}, KobbinSkin);
    // Beard and nose.
    f.part(shapes::cylinder(0.34f, 0.0f, 0.8f, 10), translate({0.36f, floorY + 1.85f, 0.0f}) * rotateZ(180.0f) * scale({0.8f, 1.0f, 1.0f}), Beard);
    f.ellipsoid({0.5f, floorY + 1.98f, 0.0f}, {0.16f, 0.12f, 0.12f}, KobbinSkin);
    for (float side : {-1.0f, 1.0f}) {
        f.ellipsoid({0.43f, floorY + 2.12f, side * 0.18f}, {0.06f, 0.08f, 0.07f}, Ink);
        // Big pointed ears.
        f.limb({0.0f, floorY + 2.0f, side * 0.42f}, {-0.1f, floorY + 2.3f, side * 0.85f}, 0.14f, 0.0f, KobbinSkin, 6);
        // Sleeves.
        f.limb({0.0f, floorY + 1.45f, side * 0.45f}, {0.45f, floorY + 1.05f, side * 0.5f}, 0.16f, 0.2f, RobeBlue);
        f.ellipsoid({0.52f, floorY + 1.0f, side * 0.5f}, {0.12f, 0.12f, 0.12f}, KobbinSkin);
    }
    // Hat with a golden band.
    f.part(shapes::cylinder(0.78f, 0.74f, 0.1f, 18), translate({0.0f, floorY + 2.22f, 0.0f}), RobeBlue);
    f.part(shapes::cylinder(0.5f, 0.0f, 1.2f, 14), translate({0.0f, floorY + 2.3f, 0.0f}) * rotateZ(8.0f), RobeBlue);
    f.part(shapes::cylinder(0.52f, 0.48f, 0.12f, 14), translate({0.0f, floorY + 2.3f, 0.0f}), Gold);
    // Staff with a lantern at its side.
    f.limb({0.55f, floorY, -0.75f}, {0.55f, floorY + 3.0f, -0.75f}, 0.06f, 0.05f, Wood);
    f.part(shapes::box({0.4f, floorY + 2.6f, -0.9f}, {0.7f, floorY + 2.95f, -0.6f}), glm::mat4(1.0f), Lantern);
    return f;
}

// The health gauge's heart: a rounded, puffy heart about 2 units across, centred on the
// origin in the XY plane (the gauge scales it by 30 pixels).
bool writeHeart(const OutputPaths& paths)
{
    std::vector<glm::vec2> outline;
    const int points = 64;
    for (int i = 0; i < points; ++i) {
        // Near the notch the curve runs straight away from the centre, which would fold
        // the rings into slivers; the notch is rounded off by leaving those samples out.
        if (i == 0 || i == 1 || i == points - 1) {
            continue;
        }
        // The classic heart curve; with x mirrored it runs counter-clockwise.
        float t = 6.2831853f * static_cast<float>(i) / points;
        float x = 16.0f * std::pow(std::sin(t), 3.0f);
        float y = 13.0f * std::cos(t) - 5.0f * std::cos(2.0f * t) - 2.0f * std::cos(3.0f * t) - std::cos(4.0f * t);
        outline.emplace_back(-x / 17.0f, (y + 2.5f) / 17.0f);
    }
    Geometry heart = shapes::pillow(outline, glm::vec2(0.0f, 0.05f), 0.42f, 8);
    heart.paint(glm::vec2(0.5f));
    MtlMaterial red;
    red.name = "heart_red";
    red.diffuse = glm::vec3(0.92f, 0.12f, 0.2f);
    red.specular = glm::vec3(0.6f);
    red.shininess = 64.0f;
    return writeObjModel(paths.models(), "Heart", {{"Heart", "heart_red", heart}}, {red}, "Fennik's Zavororor: the health gauge's heart");
}

} // namespace

bool writeCharacters(const OutputPaths& paths)
{
    bool ok = writePalette(paths);
    ok = writeFigure(paths, "Fennik", "Fennik_rough", fennik(), "Fennik's Zavororor: Fennik the fennec fox (player)") && ok;
    ok = writeFigure(paths, "dummy", "dummy_rough", strawDummy(), "Fennik's Zavororor: straw practice dummy") && ok;
    ok = writeFigure(paths, "dummy2", "dummy2_rough", barrelDummy(), "Fennik's Zavororor: barrel practice dummy") && ok;
    ok = writeFigure(paths, "enemy", "enemy_rough", enemyBeetle(), "Fennik's Zavororor: dune beetle (enemy)") && ok;
    ok = writeFigure(paths, "boss_enemy", "boss_enemy_rough", scarabKing(), "Fennik's Zavororor: the scarab king (boss)") && ok;
    ok = writeFigure(paths, "kobbin", "kobbin_rough", kobbin(), "Fennik's Zavororor: Kobbin the sage (end figure)") && ok;
    ok = writeHeart(paths) && ok;
    return ok;
}

} // namespace fennik::assetgen
