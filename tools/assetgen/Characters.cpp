#include "Characters.hpp"

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
    PaintCount
};

const Colour paletteColours[PaintCount] = {
    rgb(232, 150, 78),  rgb(250, 236, 212), rgb(22, 16, 16),   rgb(246, 188, 170), rgb(176, 98, 52),
    rgb(255, 255, 255), rgb(96, 64, 168),   rgb(176, 150, 222), rgb(250, 206, 96), rgb(246, 244, 236),
    rgb(214, 48, 44),   rgb(226, 192, 102), rgb(136, 88, 50),   rgb(206, 44, 42),  rgb(196, 168, 126),
    rgb(150, 26, 44),   rgb(240, 188, 64),  rgb(58, 24, 60),    rgb(132, 186, 104), rgb(68, 92, 178),
    rgb(236, 236, 232), rgb(255, 214, 120), rgb(164, 132, 84),  rgb(244, 240, 230), rgb(64, 200, 196),
    rgb(150, 156, 170),
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

// The practice dummy: a sack of straw on a post with a painted target on its +X side.
// Placed with its origin 1.9 above the floor; its top stays low enough to be jumped on.
Figure strawDummy()
{
    Figure f;
    f.part(shapes::box({-0.9f, -1.9f, -0.15f}, {0.9f, -1.7f, 0.15f}), glm::mat4(1.0f), Wood);
    f.part(shapes::box({-0.15f, -1.9f, -0.9f}, {0.15f, -1.7f, 0.9f}), glm::mat4(1.0f), Wood);
    f.limb({0.0f, -1.75f, 0.0f}, {0.0f, -0.9f, 0.0f}, 0.14f, 0.12f, Wood);
    f.ellipsoid({0.0f, -0.95f, 0.0f}, {0.62f, 0.5f, 0.62f}, Sackcloth);
    f.part(shapes::cylinder(0.64f, 0.64f, 0.12f, 16, false), translate({0.0f, -1.02f, 0.0f}), Rope);
    f.part(shapes::cylinder(0.64f, 0.64f, 0.12f, 16, false), translate({0.0f, -0.8f, 0.0f}), Rope);
    // Target rings on the front.
    glm::mat4 face = translate({0.56f, -0.95f, 0.0f}) * rotateZ(-90.0f);
    f.part(shapes::cylinder(0.38f, 0.38f, 0.06f, 20), face, TargetRed);
    f.part(shapes::cylinder(0.26f, 0.26f, 0.06f, 20), translate({0.6f, -0.95f, 0.0f}) * rotateZ(-90.0f), TargetWhite);
    f.part(shapes::cylinder(0.13f, 0.13f, 0.06f, 16), translate({0.64f, -0.95f, 0.0f}) * rotateZ(-90.0f), TargetRed);
    // Straw tufts and a stitched face.
    f.ellipsoid({0.0f, -0.48f, 0.0f}, {0.36f, 0.16f, 0.36f}, Straw);
    for (float side : {-1.0f, 1.0f}) {
        f.ellipsoid({0.42f, -0.62f, side * 0.2f}, {0.06f, 0.07f, 0.06f}, Ink);
        f.limb({0.0f, -0.95f, side * 0.55f}, {0.0f, -0.8f, side * 1.0f}, 0.09f, 0.07f, Straw);
    }
    return f;
}

// The second dummy: a sand-filled barrel in a dented helmet with a shield on its front.
Figure barrelDummy()
{
    Figure f;
    f.part(shapes::cylinder(0.6f, 0.7f, 0.55f, 18), translate({0.0f, -1.9f, 0.0f}), Wood);
    f.part(shapes::cylinder(0.7f, 0.6f, 0.55f, 18), translate({0.0f, -1.35f, 0.0f}), Wood);
    f.part(shapes::cylinder(0.72f, 0.72f, 0.08f, 18, false), translate({0.0f, -1.74f, 0.0f}), Metal);
    f.part(shapes::cylinder(0.72f, 0.72f, 0.08f, 18, false), translate({0.0f, -1.08f, 0.0f}), Metal);
    // Helmet.
    f.ellipsoid({0.0f, -0.8f, 0.0f}, {0.62f, 0.42f, 0.62f}, Metal);
    f.limb({0.0f, -0.42f, 0.0f}, {0.0f, -0.3f, 0.0f}, 0.1f, 0.05f, TargetRed);
    // Shield with a target, and two painted eyes under the helmet's rim.
    f.part(shapes::cylinder(0.45f, 0.45f, 0.1f, 20), translate({0.66f, -1.3f, 0.0f}) * rotateZ(-90.0f), TargetRed);
    f.part(shapes::cylinder(0.28f, 0.28f, 0.06f, 20), translate({0.74f, -1.3f, 0.0f}) * rotateZ(-90.0f), TargetWhite);
    f.part(shapes::cylinder(0.12f, 0.12f, 0.06f, 16), translate({0.78f, -1.3f, 0.0f}) * rotateZ(-90.0f), Gold);
    for (float side : {-1.0f, 1.0f}) {
        f.ellipsoid({0.58f, -0.95f, side * 0.22f}, {0.06f, 0.08f, 0.07f}, Ink);
    }
    return f;
}

// Shared by the beetle enemies: a domed shell, a head at +X with eyes and a horn, and
// six legs whose tips are the lowest point (y = -1.9). `size` scales the beetle across,
// `height` scales it up.
void beetle(Figure& f, float size, float height, Paint shell, Paint belly, Paint stripe, Paint horn, Paint legs)
{
    const glm::vec3 k(size, size * height, size);
    auto s = [&](glm::vec3 v) { return v * k; };
    const float floorY = -1.9f;
    const glm::vec3 base(0.0f, floorY, 0.0f);
    auto p = [&](float x, float y, float z) { return base + s({x, y, z}); };
    f.ellipsoid(p(0.0f, 0.65f, 0.0f), s({0.95f, 0.3f, 0.72f}), belly);
    f.ellipsoid(p(-0.1f, 0.78f, 0.0f), s({0.98f, 0.5f, 0.78f}), shell);
    // Split line and band across the wing cases.
    f.ellipsoid(p(-0.1f, 0.8f, 0.0f), s({0.96f, 0.5f, 0.06f}), stripe);
    f.ellipsoid(p(0.35f, 0.8f, 0.0f), s({0.1f, 0.46f, 0.74f}), stripe);
    // Head, eyes and horn.
    f.ellipsoid(p(0.9f, 0.7f, 0.0f), s({0.34f, 0.3f, 0.42f}), shell);
    f.limb(p(1.0f, 0.85f, 0.0f), p(1.45f, 1.2f, 0.0f), 0.13f * size, 0.0f, horn, 8);
    for (float side : {-1.0f, 1.0f}) {
        f.ellipsoid(p(1.08f, 0.78f, side * 0.22f), s({0.13f, 0.15f, 0.13f}), EyeWhite);
        f.ellipsoid(p(1.18f, 0.78f, side * 0.24f), s({0.06f, 0.08f, 0.07f}), Ink);
        // Mandibles.
        f.limb(p(1.05f, 0.55f, side * 0.2f), p(1.3f, 0.5f, side * 0.05f), 0.06f * size, 0.0f, horn, 6);
        for (float x : {0.5f, 0.0f, -0.5f}) {
            f.limb(p(x, 0.6f, side * 0.55f), p(x * 1.2f, 0.75f, side * 1.0f), 0.08f * size, 0.07f * size, legs, 6);
            // The feet end in points, so the lowest point is exactly the floor.
            f.limb(p(x * 1.2f, 0.75f, side * 1.0f), p(x * 1.3f, 0.0f, side * 1.08f), 0.07f * size, 0.0f, legs, 6);
        }
    }
}

Figure enemyBeetle()
{
    Figure f;
    // Broad rather than tall: the top must stay within a jump of the floor.
    beetle(f, 1.35f, 0.85f, BeetleShell, BeetleBelly, BeetleStripe, Horn, BossDark);
    return f;
}

// The boss: a scarab king, half as broad again as its subjects but flatter, so it can
// still be jumped on, crowned in gold.
Figure scarabKing()
{
    Figure f;
    const float size = 2.1f;
    const float height = 0.55f;
    beetle(f, size, height, BossShell, BossDark, Gold, Gold, BossDark);
    const float crownY = -1.9f + 1.2f * size * height;
    for (int i = 0; i < 5; ++i) {
        float angle = -60.0f + 30.0f * static_cast<float>(i);
        glm::vec3 base(-0.1f + 0.4f * std::cos(glm::radians(angle)), crownY, 0.7f * std::sin(glm::radians(angle)));
        f.limb(base, base + glm::vec3(0.0f, 0.24f, 0.0f), 0.14f, 0.0f, Gold, 6);
    }
    f.part(shapes::cylinder(0.8f, 0.75f, 0.12f, 16), translate({-0.1f, crownY - 0.06f, 0.0f}) * scale({0.6f, 1.0f, 1.0f}), Gold);
    return f;
}

// Kobbin, the old desert sage who waits at the end: robe, beard, pointed hat and a lantern.
Figure kobbin()
{
    Figure f;
    const float floorY = -1.9f;
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
    // The dummies are widened about their axis: a broader target to land on, same height.
    Figure straw = strawDummy();
    straw.body = straw.body.transformed(scale({1.3f, 1.0f, 1.3f}));
    Figure barrel = barrelDummy();
    barrel.body = barrel.body.transformed(scale({1.3f, 1.0f, 1.3f}));
    ok = writeFigure(paths, "dummy", "dummy_rough", straw, "Fennik's Zavororor: straw practice dummy") && ok;
    ok = writeFigure(paths, "dummy2", "dummy2_rough", barrel, "Fennik's Zavororor: barrel practice dummy") && ok;
    ok = writeFigure(paths, "enemy", "enemy_rough", enemyBeetle(), "Fennik's Zavororor: dune beetle (enemy)") && ok;
    ok = writeFigure(paths, "boss_enemy", "boss_enemy_rough", scarabKing(), "Fennik's Zavororor: the scarab king (boss)") && ok;
    ok = writeFigure(paths, "kobbin", "kobbin_rough", kobbin(), "Fennik's Zavororor: Kobbin the sage (end figure)") && ok;
    ok = writeHeart(paths) && ok;
    return ok;
}

} // namespace fennik::assetgen
