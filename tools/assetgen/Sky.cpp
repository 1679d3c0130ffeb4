#include "Sky.hpp"

#include <algorithm>
#include <cmath>

#include "Canvas.hpp"
#include "Noise.hpp"

namespace fennik::assetgen {

namespace {

glm::vec3 skyColour(glm::vec3 d)
{
    d = glm::normalize(d);
    // The sun sits where the game's light comes from: the light travels along (-1, -1, 1).
    const glm::vec3 sun = glm::normalize(glm::vec3(1.0f, 1.0f, -1.0f));
    const glm::vec3 zenith(0.24f, 0.47f, 0.80f);
    const glm::vec3 horizon(0.86f, 0.84f, 0.80f);
    const glm::vec3 haze(0.84f, 0.74f, 0.60f);
    const glm::vec3 ground(0.58f, 0.46f, 0.33f);
    glm::vec3 colour;
    if (d.y >= 0.0f) {
        float t = std::pow(1.0f - d.y, 4.0f);
        colour = glm::mix(zenith, horizon, t);
        // Soft clouds on a flat layer overhead, thinning towards the horizon.
        glm::vec2 onLayer = glm::vec2(d.x, d.z) / (d.y + 0.12f) * 1.6f;
        float n = noise::fbm3(glm::vec3(onLayer.x, onLayer.y, 3.7f), 5, 901);
        float wisps = noise::fbm3(glm::vec3(onLayer.x * 3.0f, onLayer.y * 3.0f, 9.1f), 3, 902);
        float cover = smoothstep(0.5f, 0.72f, n * 0.8f + wisps * 0.2f) * smoothstep(0.02f, 0.25f, d.y);
        glm::vec3 cloud = glm::mix(glm::vec3(0.97f, 0.96f, 0.94f), glm::vec3(0.78f, 0.8f, 0.86f), smoothstep(0.6f, 0.9f, n));
        colour = glm::mix(colour, cloud, cover * 0.9f);
    } else {
        // Below the horizon: distant dunes in haze, darker straight down.
        float t = smoothstep(0.0f, 0.5f, -d.y);
        float dunes = noise::fbm3(d * 6.0f, 3, 903);
        colour = glm::mix(haze, ground, t) * (0.94f + dunes * 0.12f);
        colour = glm::mix(colour, horizon, (1.0f - smoothstep(0.0f, 0.04f, -d.y)) * 0.6f);
    }
    float glow = std::pow(std::max(0.0f, glm::dot(d, sun)), 24.0f);
    colour += glm::vec3(1.0f, 0.9f, 0.7f) * glow * 0.35f;
    return glm::clamp(colour, 0.0f, 1.0f);
}

} // namespace

bool writeSkybox(const OutputPaths& paths)
{
    const int size = 512;
    // Faces in the cube map's order +X, -X, +Y, -Y, +Z, -Z; rows run down the image (t grows).
    struct Face {
        const char* file;
        glm::vec3 (*direction)(float sc, float tc);
    };
    const Face faces[] = {
        {"right.jpg", [](float sc, float tc) { return glm::vec3(1.0f, -tc, -sc); }},
        {"left.jpg", [](float sc, float tc) { return glm::vec3(-1.0f, -tc, sc); }},
        {"top.jpg", [](float sc, float tc) { return glm::vec3(sc, 1.0f, tc); }},
        {"bottom.jpg", [](float sc, float tc) { return glm::vec3(sc, -1.0f, -tc); }},
        {"front.jpg", [](float sc, float tc) { return glm::vec3(sc, -tc, 1.0f); }},
        {"back.jpg", [](float sc, float tc) { return glm::vec3(-sc, -tc, -1.0f); }},
    };
    bool ok = true;
    for (const Face& face : faces) {
        Canvas canvas(size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                float sc = 2.0f * (static_cast<float>(x) + 0.5f) / size - 1.0f;
                float tc = 2.0f * (static_cast<float>(y) + 0.5f) / size - 1.0f;
                canvas.set(x, y, Colour(skyColour(face.direction(sc, tc)), 1.0f));
            }
        }
        ok = canvas.saveJpg(paths.skybox() + "/" + face.file, 90) && ok;
    }
    return ok;
}

} // namespace fennik::assetgen
