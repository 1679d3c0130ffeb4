#include "Surfaces.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "Canvas.hpp"
#include "Noise.hpp"

namespace fennik::assetgen {

namespace {

constexpr float twoPi = 6.2831853f;

struct SurfaceDefinition {
    SurfaceInfo info;
    const char* diffuseFile; // empty: plain colour
    const char* normalFile;  // empty: no normal map
    glm::vec3 colour;
};

const SurfaceDefinition definitions[static_cast<int>(Surface::Count)] = {
    {{"sand", "rough", 8.0f}, "sand.png", "sand_normal.png", {1, 1, 1}},
    {{"grass", "rough", 6.0f}, "grass.png", "", {1, 1, 1}},
    {{"cobble", "rough", 6.0f}, "cobble.png", "cobble_normal.png", {1, 1, 1}},
    {{"sandstone", "rough", 8.0f}, "sandstone.png", "sandstone_normal.png", {1, 1, 1}},
    {{"bricks", "rough", 4.0f}, "bricks.png", "bricks_normal.png", {1, 1, 1}},
    {{"planks", "rough", 3.0f}, "planks.png", "planks_normal.png", {1, 1, 1}},
    {{"bark", "rough", 1.0f}, "bark.png", "", {1, 1, 1}},
    {{"leaves", "rough", 2.0f}, "leaves.png", "", {1, 1, 1}},
    {{"metal", "metallic", 3.0f}, "metal.png", "metal_normal.png", {1, 1, 1}},
    // The same plates shaded as a dielectric: polished metal mirrors the sky and reads as
    // dark from the game's high camera, so inlays and fittings that should shine warm use this.
    {{"brass", "rough", 3.0f}, "metal.png", "metal_normal.png", {1, 1, 1}},
    {{"crystal", "rough", 2.0f}, "crystal.png", "", {1, 1, 1}},
    {{"water", "rough", 10.0f}, "water.png", "", {1, 1, 1}},
    {{"cactus", "rough", 1.0f}, "cactus.png", "", {1, 1, 1}},
    {{"darkstone", "rough", 6.0f}, "darkstone.png", "darkstone_normal.png", {1, 1, 1}},
    {{"cloth", "rough", 3.0f}, "cloth.png", "", {1, 1, 1}},
    {{"note_red", "note", 1.0f}, "", "", {1, 0, 0}},
};

// A tileable texture is described by a height field and a colour function over the unit
// square; both are sampled at pixel centres.
struct TextureRecipe {
    int size;
    std::function<float(float, float)> height;            // any range; only its slopes matter
    std::function<Colour(float, float, float)> colour;   // (u, v, height)
    float bumpStrength;
};

bool writeRecipe(const OutputPaths& paths, const SurfaceDefinition& definition, const TextureRecipe& recipe)
{
    const int n = recipe.size;
    std::vector<float> heights(static_cast<size_t>(n) * n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            heights[static_cast<size_t>(y) * n + x] = recipe.height((x + 0.5f) / n, (y + 0.5f) / n);
        }
    }
    auto h = [&](int x, int y) { return heights[static_cast<size_t>((y + n) % n) * n + static_cast<size_t>((x + n) % n)]; };
    Canvas diffuse(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            diffuse.set(x, y, recipe.colour((x + 0.5f) / n, (y + 0.5f) / n, h(x, y)));
        }
    }
    bool ok = diffuse.savePng(paths.textures() + "/" + definition.diffuseFile, 3);
    if (definition.normalFile[0] != '\0') {
        // Normal maps are smoother than their colour maps and are stored at half size.
        const int m = n / 2;
        Canvas normals(m, m);
        for (int y = 0; y < m; ++y) {
            for (int x = 0; x < m; ++x) {
                int sx = x * 2;
                int sy = y * 2;
                // Rows run down the image while v runs up it, hence the sign of dv.
                float du = (h(sx + 2, sy) - h(sx - 2, sy)) * 0.25f * n;
                float dv = (h(sx, sy - 2) - h(sx, sy + 2)) * 0.25f * n;
                glm::vec3 normal = glm::normalize(glm::vec3(-du * recipe.bumpStrength, -dv * recipe.bumpStrength, 1.0f));
                normals.set(x, y, Colour(normal * 0.5f + 0.5f, 1.0f));
            }
        }
        ok = normals.savePng(paths.textures() + "/" + definition.normalFile, 3) && ok;
    }
    return ok;
}

Colour shade(Colour c, float amount)
{
    return Colour(glm::clamp(glm::vec3(c) * amount, 0.0f, 1.0f), 1.0f);
}

TextureRecipe sand()
{
    return {512,
            [](float u, float v) {
                float warp = noise::fbm2(u * 4.0f, v * 4.0f, 3, 4, 11) * 2.2f;
                float ripples = std::sin((v * 7.0f + u * 1.0f + warp) * twoPi) * 0.5f + 0.5f;
                return ripples * 0.012f + noise::fbm2(u * 64.0f, v * 64.0f, 2, 64, 12) * 0.002f;
            },
            [](float u, float v, float height) {
                Colour base = mix(rgb(214, 172, 116), rgb(236, 202, 146), noise::fbm2(u * 6.0f, v * 6.0f, 4, 6, 13));
                base = shade(base, 0.92f + height * 10.0f);
                float grain = noise::hashUnit(static_cast<int>(u * 512.0f), static_cast<int>(v * 512.0f), 0, 14);
                return shade(base, 0.94f + grain * 0.1f);
            },
            1.2f};
}

TextureRecipe grass()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                float blades = noise::fbm2xy(u * 48.0f, v * 8.0f, 3, 48, 8, 21);
                float patches = noise::fbm2(u * 4.0f, v * 4.0f, 3, 4, 22);
                Colour c = mix(rgb(86, 142, 52), rgb(150, 178, 70), patches);
                c = shade(c, 0.75f + blades * 0.5f);
                float sandy = smoothstep(0.62f, 0.72f, noise::fbm2(u * 6.0f, v * 6.0f, 3, 6, 23));
                return mix(c, rgb(206, 176, 118), sandy * 0.7f);
            },
            0.0f};
}

TextureRecipe cobble()
{
    return {512,
            [](float u, float v) {
                auto cells = noise::cellular2(u * 6.0f, v * 6.0f, 6, 31, 0.8f);
                float edge = cells.second - cells.nearest;
                return smoothstep(0.0f, 0.25f, edge) * 0.03f + noise::fbm2(u * 32.0f, v * 32.0f, 2, 32, 32) * 0.004f;
            },
            [](float u, float v, float height) {
                auto cells = noise::cellular2(u * 6.0f, v * 6.0f, 6, 31, 0.8f);
                float tone = static_cast<float>(cells.id % 1000u) / 1000.0f;
                Colour stone = mix(rgb(196, 160, 112), rgb(226, 196, 146), tone);
                stone = shade(stone, 0.9f + noise::fbm2(u * 24.0f, v * 24.0f, 3, 24, 33) * 0.2f);
                Colour mortar = rgb(140, 112, 80);
                return mix(mortar, stone, smoothstep(0.004f, 0.012f, height));
            },
            1.0f};
}

TextureRecipe sandstone()
{
    return {512,
            [](float u, float v) {
                float warp = noise::fbm2(u * 3.0f, v * 3.0f, 3, 3, 41) * 0.6f;
                float strata = std::sin((v * 9.0f + warp) * twoPi);
                float cracks = smoothstep(0.02f, 0.0f, std::fabs(noise::fbm2(u * 4.0f, v * 4.0f, 3, 4, 42) - 0.5f)) * -0.015f;
                return strata * 0.01f + cracks + noise::fbm2(u * 24.0f, v * 24.0f, 3, 24, 43) * 0.008f;
            },
            [](float u, float v, float height) {
                float warp = noise::fbm2(u * 3.0f, v * 3.0f, 3, 3, 41) * 0.6f;
                float band = std::sin((v * 9.0f + warp) * twoPi) * 0.5f + 0.5f;
                float layer = noise::fbm2(0.0f, v * 18.0f + warp, 2, 18, 44);
                Colour c = mix(rgb(186, 122, 78), rgb(222, 166, 108), band * 0.6f + layer * 0.4f);
                return shade(c, 0.85f + height * 8.0f + noise::fbm2(u * 40.0f, v * 40.0f, 2, 40, 45) * 0.15f);
            },
            1.0f};
}

TextureRecipe bricks()
{
    auto brick = [](float u, float v, int& idOut) {
        const int rows = 4;
        const int columns = 2;
        float row = v * rows;
        int r = static_cast<int>(std::floor(row));
        float shifted = u * columns + (r % 2 == 0 ? 0.0f : 0.5f);
        int c = static_cast<int>(std::floor(shifted));
        idOut = r * 17 + ((c % columns) + columns) % columns;
        float fx = shifted - std::floor(shifted);
        float fy = row - static_cast<float>(r);
        return std::min(std::min(fx, 1.0f - fx) * 2.0f, std::min(fy, 1.0f - fy));
    };
    return {512,
            [brick](float u, float v) {
                int id = 0;
                float inside = brick(u, v, id);
                return smoothstep(0.02f, 0.06f, inside) * 0.03f + noise::fbm2(u * 30.0f, v * 30.0f, 2, 30, 51) * 0.005f;
            },
            [brick](float u, float v, float height) {
                int id = 0;
                brick(u, v, id);
                float tone = noise::hashUnit(id, 0, 0, 52);
                Colour c = mix(rgb(196, 140, 92), rgb(230, 186, 128), tone);
                c = shade(c, 0.88f + noise::fbm2(u * 20.0f, v * 20.0f, 3, 20, 53) * 0.2f);
                return mix(rgb(120, 92, 66), c, smoothstep(0.004f, 0.02f, height));
            },
            1.0f};
}

TextureRecipe planks()
{
    auto plank = [](float u, int& idOut) {
        float p = u * 4.0f;
        idOut = static_cast<int>(std::floor(p));
        float f = p - std::floor(p);
        return std::min(f, 1.0f - f);
    };
    return {256,
            [plank](float u, float v) {
                int id = 0;
                float edge = plank(u, id);
                return smoothstep(0.0f, 0.05f, edge) * 0.02f + noise::fbm2xy(u * 40.0f, v * 4.0f, 2, 40, 4, 61) * 0.004f;
            },
            [plank](float u, float v, float height) {
                int id = 0;
                plank(u, id);
                float tone = noise::hashUnit(id, 0, 0, 62);
                float grain = noise::fbm2xy(u * 64.0f, v * 6.0f + tone * 10.0f, 3, 64, 6, 63);
                Colour c = mix(rgb(132, 88, 52), rgb(178, 124, 76), tone * 0.6f + grain * 0.4f);
                return mix(rgb(62, 40, 24), c, smoothstep(0.004f, 0.016f, height));
            },
            1.0f};
}

TextureRecipe bark()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                // Overlapping scales left by old palm fronds.
                float row = v * 8.0f;
                float shifted = u * 6.0f + (static_cast<int>(std::floor(row)) % 2 == 0 ? 0.0f : 0.5f);
                float fx = shifted - std::floor(shifted) - 0.5f;
                float fy = row - std::floor(row);
                float scale = smoothstep(0.5f, 0.35f, std::fabs(fx) + (1.0f - fy) * 0.35f);
                Colour c = mix(rgb(88, 62, 40), rgb(150, 112, 72), scale * fy);
                return shade(c, 0.9f + noise::fbm2(u * 30.0f, v * 30.0f, 2, 30, 71) * 0.2f);
            },
            0.0f};
}

TextureRecipe leaves()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                float vein = smoothstep(0.03f, 0.0f, std::fabs(v - 0.5f));
                float ribs = std::fabs(std::sin((u * 24.0f + std::fabs(v - 0.5f) * 6.0f) * 3.14159f));
                Colour c = mix(rgb(58, 122, 48), rgb(112, 170, 64), ribs * 0.6f + noise::fbm2(u * 8.0f, v * 8.0f, 3, 8, 81) * 0.4f);
                return mix(c, rgb(170, 196, 96), vein * 0.8f);
            },
            0.0f};
}

TextureRecipe metal()
{
    auto plate = [](float u, float v) {
        float fx = u * 2.0f - std::floor(u * 2.0f);
        float fy = v * 2.0f - std::floor(v * 2.0f);
        return std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy));
    };
    auto rivet = [](float u, float v) {
        float fx = u * 2.0f - std::floor(u * 2.0f);
        float fy = v * 2.0f - std::floor(v * 2.0f);
        float dx = std::min(fx, 1.0f - fx) - 0.06f;
        float dy = std::min(fy, 1.0f - fy) - 0.06f;
        return smoothstep(0.03f, 0.015f, std::sqrt(dx * dx + dy * dy));
    };
    return {256,
            [plate, rivet](float u, float v) {
                return smoothstep(0.0f, 0.02f, plate(u, v)) * 0.02f + rivet(u, v) * 0.012f;
            },
            [plate, rivet](float u, float v, float) {
                float scratches = noise::fbm2xy(u * 80.0f, v * 6.0f, 2, 80, 6, 91);
                Colour c = mix(rgb(150, 120, 82), rgb(198, 164, 112), noise::fbm2(u * 6.0f, v * 6.0f, 3, 6, 92));
                c = shade(c, 0.9f + scratches * 0.2f);
                c = mix(rgb(82, 66, 48), c, smoothstep(0.0f, 0.015f, plate(u, v)));
                return mix(c, rgb(226, 196, 140), rivet(u, v));
            },
            1.0f};
}

TextureRecipe crystal()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                auto cells = noise::cellular2(u * 5.0f, v * 5.0f, 5, 101, 0.9f);
                float facet = static_cast<float>(cells.id % 1000u) / 1000.0f;
                Colour c = mix(rgb(40, 170, 190), rgb(150, 240, 240), facet);
                return mix(rgb(230, 255, 255), c, smoothstep(0.0f, 0.08f, cells.second - cells.nearest));
            },
            0.0f};
}

TextureRecipe water()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                auto cells = noise::cellular2(u * 6.0f, v * 6.0f, 6, 111, 0.9f);
                float caustic = smoothstep(0.12f, 0.0f, cells.second - cells.nearest);
                Colour c = mix(rgb(24, 110, 128), rgb(40, 150, 160), noise::fbm2(u * 4.0f, v * 4.0f, 3, 4, 112));
                return mix(c, rgb(150, 230, 220), caustic * 0.5f);
            },
            0.0f};
}

TextureRecipe cactus()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                float ribs = std::fabs(std::sin(u * 8.0f * 3.14159f));
                Colour c = mix(rgb(46, 104, 52), rgb(96, 160, 80), ribs);
                float spine = noise::hashUnit(static_cast<int>(u * 32.0f), static_cast<int>(v * 32.0f), 0, 121);
                float dot = (spine > 0.7f && ribs > 0.9f) ? 1.0f : 0.0f;
                return mix(c, rgb(236, 230, 190), dot * 0.8f);
            },
            0.0f};
}

TextureRecipe darkstone()
{
    auto tile = [](float u, float v) {
        float fx = u * 2.0f - std::floor(u * 2.0f);
        float fy = v * 2.0f - std::floor(v * 2.0f);
        return std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy));
    };
    return {512,
            [tile](float u, float v) {
                return smoothstep(0.0f, 0.03f, tile(u, v)) * 0.03f + noise::fbm2(u * 16.0f, v * 16.0f, 3, 16, 131) * 0.01f;
            },
            [tile](float u, float v, float) {
                Colour c = mix(rgb(56, 44, 58), rgb(92, 74, 88), noise::fbm2(u * 10.0f, v * 10.0f, 4, 10, 132));
                float inlay = smoothstep(0.012f, 0.004f, tile(u, v));
                return mix(c, rgb(214, 164, 64), inlay);
            },
            1.0f};
}

TextureRecipe cloth()
{
    return {256,
            [](float, float) { return 0.0f; },
            [](float u, float v, float) {
                float weave = (std::sin(u * 256.0f * 3.14159f) * std::sin(v * 256.0f * 3.14159f)) * 0.5f + 0.5f;
                Colour c = shade(rgb(160, 34, 48), 0.9f + weave * 0.12f);
                float border = smoothstep(0.1f, 0.08f, std::min(u, 1.0f - u));
                return mix(c, rgb(236, 184, 72), border);
            },
            0.0f};
}

} // namespace

const SurfaceInfo& surfaceInfo(Surface surface)
{
    return definitions[static_cast<int>(surface)].info;
}

MtlMaterial surfaceMaterial(Surface surface)
{
    const SurfaceDefinition& d = definitions[static_cast<int>(surface)];
    MtlMaterial m;
    m.name = d.info.material;
    m.diffuse = d.colour;
    m.specular = glm::vec3(0.2f);
    m.shininess = 16.0f;
    if (d.diffuseFile[0] != '\0') {
        m.diffuseMap = std::string("../textures/") + d.diffuseFile;
    }
    if (d.normalFile[0] != '\0') {
        m.normalMap = std::string("../textures/") + d.normalFile;
    }
    return m;
}

bool writeSurfaceTextures(const OutputPaths& paths)
{
    const std::pair<Surface, TextureRecipe> recipes[] = {
        {Surface::Sand, sand()},           {Surface::Grass, grass()},       {Surface::Cobble, cobble()},
        {Surface::Sandstone, sandstone()}, {Surface::Bricks, bricks()},     {Surface::Planks, planks()},
        {Surface::Bark, bark()},           {Surface::Leaves, leaves()},     {Surface::Metal, metal()},
        {Surface::Crystal, crystal()},     {Surface::Water, water()},       {Surface::Cactus, cactus()},
        {Surface::Darkstone, darkstone()}, {Surface::Cloth, cloth()},
    };
    bool ok = true;
    for (const auto& [surface, recipe] : recipes) {
        ok = writeRecipe(paths, definitions[static_cast<int>(surface)], recipe) && ok;
    }
    return ok;
}

} // namespace fennik::assetgen
