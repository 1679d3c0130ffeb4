#include "Pictures.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Canvas.hpp"
#include "Font.hpp"
#include "Noise.hpp"

namespace fennik::assetgen {

std::string OutputPaths::fontVariant(const std::string& weight) const
{
    auto slash = fontFile.find_last_of('/');
    std::string directory = slash == std::string::npos ? std::string(".") : fontFile.substr(0, slash);
    return directory + "/OpenSans-" + weight + ".ttf";
}

namespace {

// Colour ramp through evenly spaced stops.
Colour ramp(const std::vector<Colour>& stops, float t)
{
    t = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(stops.size() - 1);
    size_t i = std::min(stops.size() - 2, static_cast<size_t>(t));
    return mix(stops[i], stops[i + 1], t - static_cast<float>(i));
}

// A rolling ridge line across the picture: y of the ridge at x.
float ridge(float x, float base, float amplitude, float frequency, std::uint32_t seed)
{
    return base - amplitude * (noise::fbm2(x * frequency, 0.5f, 4, 0, seed) - 0.5f) * 2.0f;
}

Mask ridgeMask(int w, int h, float base, float amplitude, float frequency, std::uint32_t seed)
{
    std::vector<glm::vec2> points;
    for (int x = -4; x <= w + 4; x += 4) {
        points.emplace_back(static_cast<float>(x), ridge(static_cast<float>(x), base, amplitude, frequency, seed));
    }
    points.emplace_back(static_cast<float>(w + 4), static_cast<float>(h + 4));
    points.emplace_back(-4.0f, static_cast<float>(h + 4));
    Mask mask(w, h);
    fillPolygon(mask, points);
    return mask;
}

// Dusk over the dunes: the shared backdrop of the title picture and the loading screen.
// horizon is the y of the sun's centre; sunX its x.
void paintDusk(Canvas& canvas, float horizon, float sunX, float sunRadius, std::uint32_t seed)
{
    const int w = canvas.width();
    const int h = canvas.height();
    const std::vector<Colour> sky = {rgb(18, 16, 52), rgb(52, 30, 92), rgb(122, 52, 112), rgb(222, 104, 88),
                                     rgb(255, 178, 102), rgb(255, 222, 150)};
    for (int y = 0; y < h; ++y) {
        float t = static_cast<float>(y) / horizon;
        for (int x = 0; x < w; ++x) {
            Colour c = ramp(sky, std::pow(std::clamp(t, 0.0f, 1.0f), 1.35f));
            // Warm light pooling around the sun.
            float d = glm::length(glm::vec2(static_cast<float>(x) - sunX, static_cast<float>(y) - horizon)) / static_cast<float>(w);
            float glow = std::exp(-d * 5.0f) * 0.55f;
            c = mix(c, rgb(255, 214, 140), glow);
            canvas.set(x, y, c);
        }
    }
    // Stars in the darkest part of the sky.
    Rng rng(seed);
    for (int i = 0; i < w * h / 2600; ++i) {
        float x = rng.range(0.0f, static_cast<float>(w));
        float y = rng.range(0.0f, horizon * 0.55f);
        float fadeOut = 1.0f - smoothstep(horizon * 0.15f, horizon * 0.55f, y);
        float size = rng.unit() < 0.1f ? 1.6f : 0.9f;
        Mask star(5, 5);
        fillEllipse(star, glm::vec2(2.5f, 2.5f), glm::vec2(size, size));
        canvas.paint(star, rgb(255, 246, 224), static_cast<int>(x) - 2, static_cast<int>(y) - 2, fadeOut * rng.range(0.4f, 1.0f));
    }
    // Thin streaks of cloud lit from below.
    for (int y = static_cast<int>(horizon * 0.35f); y < static_cast<int>(horizon * 0.95f); ++y) {
        for (int x = 0; x < w; ++x) {
            float n = noise::fbm2(static_cast<float>(x) / 260.0f, static_cast<float>(y) / 26.0f, 5, 0, seed + 7);
            float band = smoothstep(0.56f, 0.75f, n) * 0.5f;
            if (band > 0.0f) {
                float warmth = static_cast<float>(y) / horizon;
                canvas.blend(x, y, mix(rgb(238, 120, 130), rgb(255, 200, 150), warmth), band);
            }
        }
    }
    // The sun, sinking behind the dunes.
    Mask sun(w, h);
    fillEllipse(sun, glm::vec2(sunX, horizon), glm::vec2(sunRadius, sunRadius));
    canvas.paintWith(sun, [&](int, int y) {
        return mix(rgb(255, 244, 200), rgb(255, 170, 90), std::clamp((static_cast<float>(y) - horizon + sunRadius) / (2.0f * sunRadius), 0.0f, 1.0f));
    });
}

void paintDunes(Canvas& canvas, float horizon, std::uint32_t seed)
{
    const int w = canvas.width();
    const int h = canvas.height();
    struct Layer {
        float base;
        float amplitude;
        float frequency;
        Colour top;
        Colour bottom;
    };
    const float rest = static_cast<float>(h) - horizon;
    const Layer layers[] = {
        {horizon + rest * 0.05f, rest * 0.10f, 1.0f / 420.0f, rgb(150, 74, 104), rgb(118, 58, 96)},
        {horizon + rest * 0.22f, rest * 0.14f, 1.0f / 330.0f, rgb(92, 42, 82), rgb(70, 32, 70)},
        {horizon + rest * 0.45f, rest * 0.16f, 1.0f / 280.0f, rgb(50, 24, 56), rgb(38, 18, 46)},
    };
    std::uint32_t layerSeed = seed;
    for (const Layer& layer : layers) {
        Mask mask = ridgeMask(w, h, layer.base, layer.amplitude, layer.frequency, layerSeed++);
        canvas.paintWith(mask, [&](int, int y) {
            float t = std::clamp((static_cast<float>(y) - layer.base + layer.amplitude) / (static_cast<float>(h) - layer.base + layer.amplitude), 0.0f, 1.0f);
            return mix(layer.top, layer.bottom, t);
        });
    }
}

// A fennec fox sitting in profile, facing left, fitted into the box (origin, size = height).
Mask foxSilhouette(int w, int h, glm::vec2 origin, float size)
{
    auto at = [&](float x, float y) { return origin + glm::vec2(x, y) * size; };
    std::vector<glm::vec2> body = {
        at(0.00f, 0.40f), at(0.06f, 0.45f), at(0.14f, 0.47f), at(0.19f, 0.55f), at(0.17f, 0.68f),
        at(0.18f, 0.85f), at(0.16f, 0.97f), at(0.30f, 1.00f), at(0.50f, 1.00f), at(0.70f, 1.00f),
        at(0.86f, 0.99f), at(1.02f, 0.95f), at(1.12f, 0.86f), at(1.08f, 0.80f), at(0.96f, 0.86f),
        at(0.80f, 0.86f), at(0.70f, 0.78f), at(0.60f, 0.62f), at(0.46f, 0.48f), at(0.38f, 0.36f),
        at(0.34f, 0.26f), at(0.22f, 0.22f), at(0.10f, 0.28f), at(0.04f, 0.34f),
    };
    Mask mask(w, h);
    fillPolygon(mask, smoothClosedCurve(body, 10));
    // The big ears are drawn as separate pointed shapes so their tips stay sharp.
    std::vector<glm::vec2> backEar = {at(0.36f, 0.30f), at(0.43f, 0.12f), at(0.50f, -0.13f), at(0.36f, 0.01f), at(0.25f, 0.22f)};
    std::vector<glm::vec2> frontEar = {at(0.24f, 0.24f), at(0.22f, 0.05f), at(0.13f, -0.15f), at(0.07f, 0.06f), at(0.09f, 0.29f)};
    fillPolygon(mask, backEar);
    fillPolygon(mask, frontEar);
    return mask;
}

void paintTitleLine(Canvas& canvas, Font& font, const std::string& text, int pixelSize, glm::ivec2 topLeft)
{
    const int padding = 24;
    Font::Line line = font.render(text, pixelSize, padding, 1.0f);
    Mask shadow = line.mask;
    shadow.dilate(5);
    shadow.blur(7);
    canvas.paint(shadow, Colour(0.05f, 0.0f, 0.08f, 1.0f), topLeft.x + 9, topLeft.y + 12, 0.75f);
    Mask outline = line.mask;
    outline.dilate(6);
    canvas.paint(outline, rgb(40, 14, 44), topLeft.x, topLeft.y);
    const float top = static_cast<float>(line.baseline) - static_cast<float>(pixelSize) * 0.72f;
    const float bottom = static_cast<float>(line.baseline);
    canvas.paintWith(line.mask, [&](int, int y) {
        float t = std::clamp((static_cast<float>(y - topLeft.y) - top) / (bottom - top), 0.0f, 1.0f);
        return ramp({rgb(255, 250, 226), rgb(255, 214, 128), rgb(255, 142, 64)}, t);
    }, topLeft.x, topLeft.y);
}

bool writeSplash(const OutputPaths& paths)
{
    const int w = 1280;
    const int h = 700;
    Canvas canvas(w, h);
    const float horizon = 470.0f;
    paintDusk(canvas, horizon, 1050.0f, 125.0f, 11);
    paintDunes(canvas, horizon, 21);

    // The foreground dune and the fox on it, both black against the glow, with a warm rim
    // where the sun catches them.
    Mask ground = ridgeMask(w, h, 600.0f, 40.0f, 1.0f / 500.0f, 31);
    Mask fox = foxSilhouette(w, h, glm::vec2(975.0f, 340.0f), 265.0f);
    Mask figure = ground;
    figure.merge(fox, 0, 0);
    Mask rim(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float inside = figure.at(x, y);
            // Beyond the picture's edge counts as covered, so the border gets no rim.
            float shifted = (x - 4 < 0 || y - 3 < 0) ? inside : figure.at(x - 4, y - 3);
            rim.ref(x, y) = std::max(0.0f, inside - shifted);
        }
    }
    canvas.paint(figure, rgb(22, 10, 28));
    canvas.paint(rim, rgb(255, 170, 96), 0, 0, 0.9f);
    // An eye that catches the light.
    Mask eye(w, h);
    fillEllipse(eye, glm::vec2(975.0f + 0.13f * 265.0f, 340.0f + 0.35f * 265.0f), glm::vec2(6.0f, 4.0f), -0.3f);
    canvas.paint(eye, rgb(255, 210, 120));

    Font bold(paths.fontVariant("ExtraBold"));
    Font semibold(paths.fontFile);
    paintTitleLine(canvas, bold, "Fennik's", 124, glm::ivec2(70, 40));
    paintTitleLine(canvas, bold, "Zavororor", 164, glm::ivec2(58, 178));

    Font::Line tagline = semibold.render("A fennec fox's journey through the dunes", 34, 8, 0.5f);
    Mask taglineShadow = tagline.mask;
    taglineShadow.blur(3);
    canvas.paint(taglineShadow, rgb(20, 6, 30), 88, 418, 0.8f);
    canvas.paint(tagline.mask, rgb(255, 226, 190), 86, 415);
    return canvas.savePng(paths.textures() + "/splash.png", 3);
}

bool writeBackground(const OutputPaths& paths)
{
    const int w = 1024;
    const int h = 1024;
    Canvas canvas(w, h);
    const float horizon = 690.0f;
    paintDusk(canvas, horizon, 512.0f, 150.0f, 41);
    paintDunes(canvas, horizon, 51);
    Mask ground = ridgeMask(w, h, 930.0f, 30.0f, 1.0f / 400.0f, 61);
    canvas.paint(ground, rgb(26, 12, 32));
    return canvas.savePng(paths.textures() + "/background.png", 3);
}

// The icon: a fennec's face with its huge ears, on a transparent background, drawn at
// `size` pixels (supersampled) rather than scaled from one picture: the dark rim keeps
// at least a pixel and the eyes' glints go where they would be a speck.
bool writeIcon(const std::string& path, int size)
{
    const int supersample = size <= 128 ? 4 : 2; // the rim's dilation grows with the square of the canvas
    const int s = size * supersample;
    const float k = static_cast<float>(s) / 256.0f; // the shapes were laid out on 256 pixels
    Canvas canvas(s, s, Colour(0.96f, 0.62f, 0.30f, 0.0f));
    auto at = [&](float x, float y) { return glm::vec2(x, y) * static_cast<float>(s); };
    Mask ears(s, s);
    fillPolygon(ears, smoothClosedCurve({at(0.30f, 0.50f), at(0.14f, 0.26f), at(0.07f, 0.03f), at(0.25f, 0.12f), at(0.45f, 0.36f)}, 8));
    fillPolygon(ears, smoothClosedCurve({at(0.70f, 0.50f), at(0.86f, 0.26f), at(0.93f, 0.03f), at(0.75f, 0.12f), at(0.55f, 0.36f)}, 8));
    Mask innerEars(s, s);
    fillPolygon(innerEars, smoothClosedCurve({at(0.30f, 0.44f), at(0.18f, 0.26f), at(0.12f, 0.10f), at(0.26f, 0.18f), at(0.40f, 0.36f)}, 8));
    fillPolygon(innerEars, smoothClosedCurve({at(0.70f, 0.44f), at(0.82f, 0.26f), at(0.88f, 0.10f), at(0.74f, 0.18f), at(0.60f, 0.36f)}, 8));
    Mask head(s, s);
    fillPolygon(head, smoothClosedCurve({at(0.50f, 0.30f), at(0.74f, 0.38f), at(0.86f, 0.58f), at(0.70f, 0.78f),
                                         at(0.50f, 0.95f), at(0.30f, 0.78f), at(0.14f, 0.58f), at(0.26f, 0.38f)}, 10));
    Mask cheeks(s, s);
    fillPolygon(cheeks, smoothClosedCurve({at(0.50f, 0.62f), at(0.66f, 0.64f), at(0.80f, 0.62f), at(0.66f, 0.80f),
                                           at(0.50f, 0.95f), at(0.34f, 0.80f), at(0.20f, 0.62f), at(0.34f, 0.64f)}, 10));
    Mask outline = head;
    outline.merge(ears, 0, 0);
    Mask border = outline;
    border.dilate(std::max(static_cast<int>(std::lround(8.0f * k)), supersample));
    canvas.paint(border, rgb(58, 26, 20));
    canvas.paint(ears, rgb(232, 146, 66));
    canvas.paint(innerEars, rgb(255, 214, 186));
    canvas.paintWith(head, [&](int, int y) { return mix(rgb(246, 172, 84), rgb(222, 122, 48), static_cast<float>(y) / s); });
    canvas.paint(cheeks, rgb(255, 244, 226));
    Mask eyes(s, s);
    fillEllipse(eyes, at(0.37f, 0.55f), glm::vec2(15.0f, 19.0f) * k);
    fillEllipse(eyes, at(0.63f, 0.55f), glm::vec2(15.0f, 19.0f) * k);
    canvas.paint(eyes, rgb(34, 20, 18));
    if (size >= 32) {
        Mask glints(s, s);
        fillEllipse(glints, at(0.39f, 0.52f), glm::vec2(5.0f, 5.0f) * k);
        fillEllipse(glints, at(0.65f, 0.52f), glm::vec2(5.0f, 5.0f) * k);
        canvas.paint(glints, rgb(255, 255, 255));
    }
    Mask nose(s, s);
    fillEllipse(nose, at(0.50f, 0.84f), glm::vec2(14.0f, 10.0f) * k);
    canvas.paint(nose, rgb(34, 20, 18));
    return canvas.downsample(supersample).savePng(path, 4);
}

// A bevelled plaque with a fine sand grain; the caption is drawn over it by the game, white
// on the idle face and dark grey on the hover face.
bool writeButton(const OutputPaths& paths, const std::string& name, Colour top, Colour bottom, Colour rimColour, Colour glow)
{
    const int w = 300;
    const int h = 80;
    const int scale = 2;
    Canvas canvas(w * scale, h * scale, Colour(glm::vec3(rimColour), 0.0f));
    Mask outer(w * scale, h * scale);
    // The rim runs to the picture's edges: the game clicks the whole picture, so no
    // transparent margin may make a button look smaller than it acts.
    fillRoundedRect(outer, glm::vec2(0.0f), glm::vec2(w * scale, h * scale), 26.0f);
    Mask inner(w * scale, h * scale);
    fillRoundedRect(inner, glm::vec2(10.0f), glm::vec2(w * scale - 10, h * scale - 10), 18.0f);
    canvas.paint(outer, rimColour);
    canvas.paintWith(inner, [&](int x, int y) {
        float t = static_cast<float>(y) / (h * scale);
        float grain = noise::fbm2(static_cast<float>(x) / 9.0f, static_cast<float>(y) / 9.0f, 3, 0, 5) - 0.5f;
        Colour c = mix(top, bottom, t);
        c += Colour(glm::vec3(grain * 0.08f), 0.0f);
        // A soft highlight along the top edge gives the face a little depth.
        float highlight = std::exp(-std::pow((static_cast<float>(y) - 22.0f) / 14.0f, 2.0f)) * 0.25f;
        c = mix(c, glow, highlight);
        return c;
    });
    return canvas.downsample(scale).savePng(paths.textures() + "/" + name, 4);
}

} // namespace

bool writeTitlePictures(const OutputPaths& paths)
{
    bool ok = writeSplash(paths);
    ok = writeBackground(paths) && ok;
    // The window's icon, and the desktop's at every size its icon theme has.
    ok = writeIcon(paths.models() + "/icon.png", 64) && ok;
    for (int size : {16, 32, 48, 64, 128, 256, 512})
        ok = writeIcon(paths.icons() + "/" + std::to_string(size) + "x" + std::to_string(size) + ".png", size) && ok;
    ok = writeButton(paths, "button.png", rgb(92, 46, 96), rgb(46, 22, 56), rgb(232, 170, 92), rgb(255, 220, 200)) && ok;
    ok = writeButton(paths, "button_hover.png", rgb(255, 226, 150), rgb(246, 166, 82), rgb(255, 248, 220), rgb(255, 255, 240)) && ok;
    return ok;
}

} // namespace fennik::assetgen
