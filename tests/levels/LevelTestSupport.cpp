#include "LevelTestSupport.hpp"

#include "core/LevelManager.hpp"
#include "render/GL.hpp"
#include "support/GLPictures.hpp"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xlib.h>
#include <stb/stb_image.h>

#include <cmath>
#include <memory>

namespace fennik::test {

glm::vec3 positionOf(physics::Entity& entity)
{
    entity.getModelMatrix();
    return entity.position;
}

bool inWorld(const physics::Entity& entity)
{
    return entity.body && entity.body->getBroadphaseHandle() != nullptr;
}

void simulate(GameHarness& harness, int ticks)
{
    for (int tick = 0; tick < ticks; ++tick) {
        harness.input.advance(core::ScriptedInput::tickSeconds);
        harness.active().processInput();
        harness.active().update();
    }
}

ContactLog::ContactLog(scene::Scene& scene) : scene(scene), original(scene.collisionCallback)
{
    scene.collisionCallback = [this](physics::Entity* player, physics::Entity* other, btManifoldPoint& point,
                                     glm::vec3& normal) {
        contacts.emplace_back(other, normal.y);
        if (original)
            original(player, other, point, normal);
    };
}

ContactLog::~ContactLog()
{
    scene.collisionCallback = original;
}

int ContactLog::sideContactsWith(const physics::Entity& other) const
{
    int count = 0;
    for (const auto& [entity, normalY] : contacts)
        count += entity == &other && static_cast<double>(normalY) < 0.2;
    return count;
}

int ContactLog::stompsOn(const physics::Entity& other) const
{
    int count = 0;
    for (const auto& [entity, normalY] : contacts)
        count += entity == &other && static_cast<double>(normalY) >= 0.2;
    return count;
}

int dropOnto(GameHarness& harness, physics::Entity& player, physics::Entity& enemy, const ContactLog& contacts)
{
    const int before = contacts.stompsOn(enemy);
    const glm::vec3 below = positionOf(enemy);
    // Straight above the body's origin the enemy has nowhere to walk, so it holds
    // still under the falling player.
    teleport(player, {below.x, below.y + 4.5f, below.z});
    for (int tick = 0; tick < 45 && contacts.stompsOn(enemy) == before; ++tick)
        simulate(harness);
    return contacts.stompsOn(enemy) - before;
}

std::array<int, 3> Picture::at(int x, int y) const
{
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2]};
}

int Picture::whitePixels(int x0, int y0, int x1, int y1) const
{
    int white = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const auto p = at(x, y);
            white += p[0] > 225 && p[1] > 225 && p[2] > 225;
        }
    return white;
}

Picture grab(const std::string& name)
{
    Picture picture;
    glfwGetFramebufferSize(core::LevelManager::instance().window, &picture.width, &picture.height);
    // Mesa keeps the frame just drawn (or just swapped) in the back buffer.
    glReadBuffer(GL_BACK);
    picture.rgba = readPixels(picture.width, picture.height);
    saveScreenshot(name + ".png", picture.width, picture.height, picture.rgba);
    return picture;
}

Picture drawFrame(GameHarness& harness, const std::string& name)
{
    harness.active().render();
    return grab(name);
}

std::string windowTitle()
{
    Display* display = glfwGetX11Display();
    const Window window = glfwGetX11Window(core::LevelManager::instance().window);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(display, "UTF8_STRING", False), &type, &format, &items, &remaining,
                           &data) == Success &&
        data) {
        title.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
    }
    return title;
}

namespace {

// How far the window box (x, y, width, height) looks from the picture in `file`.
double cardDifference(const Picture& picture, int x, int y, int width, int height, const std::string& file)
{
    int imageWidth = 0;
    int imageHeight = 0;
    int channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> image(
        stbi_load(file.c_str(), &imageWidth, &imageHeight, &channels, 3), stbi_image_free);
    if (!image)
        return 1e9;

    // Block averages smooth out the difference between the card's texels and the
    // window's pixels; the border (rounded, partly transparent corners) is left out.
    constexpr int grid = 8;
    constexpr double inset = 0.1;
    const auto blockMean = [](auto sample, double u0, double v0, double u1, double v1, int w, int h) {
        std::array<double, 3> sum{};
        int count = 0;
        for (int py = static_cast<int>(v0 * h); py < static_cast<int>(v1 * h); ++py)
            for (int px = static_cast<int>(u0 * w); px < static_cast<int>(u1 * w); ++px, ++count) {
                const auto colour = sample(px, py);
                for (int c = 0; c < 3; ++c)
                    sum[c] += colour[c];
            }
        for (double& channel : sum)
            channel /= count > 0 ? count : 1;
        return sum;
    };
    const auto fromFile = [&](int px, int py) {
        // v runs up the window; the file's rows run down the picture.
        const std::size_t i = (static_cast<std::size_t>(imageHeight - 1 - py) * imageWidth + px) * 3;
        return std::array<int, 3>{image.get()[i], image.get()[i + 1], image.get()[i + 2]};
    };
    const auto onScreen = [&](int px, int py) { return picture.at(x + px, y + py); };

    double difference = 0.0;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column) {
            const double u0 = inset + (1.0 - 2.0 * inset) * column / grid;
            const double u1 = inset + (1.0 - 2.0 * inset) * (column + 1) / grid;
            const double v0 = inset + (1.0 - 2.0 * inset) * row / grid;
            const double v1 = inset + (1.0 - 2.0 * inset) * (row + 1) / grid;
            const auto shown = blockMean(onScreen, u0, v0, u1, v1, width, height);
            const auto stored = blockMean(fromFile, u0, v0, u1, v1, imageWidth, imageHeight);
            for (int c = 0; c < 3; ++c)
                difference += std::abs(shown[c] - stored[c]);
        }
    return difference / (grid * grid * 3);
}

} // namespace

std::pair<std::string, double> shownCard(const Picture& picture)
{
    // A shown card must look like its own file and no other.
    static const char* const cards[] = {
        "assets/textures/beginning_texture.png", "assets/textures/tutorial1_texture.png",
        "assets/textures/tutorial2_texture.png", "assets/textures/tutorial3_texture.png",
        "assets/textures/level1_texture.png",    "assets/textures/end_texture.png",
    };
    // The card fills the middle two fifths of the window each way.
    const int x = picture.width / 2 - picture.width / 5;
    const int y = picture.height / 2 - picture.height / 5;
    std::pair<std::string, double> best{"", 1e9};
    for (const char* card : cards) {
        const double difference = cardDifference(picture, x, y, 2 * picture.width / 5, 2 * picture.height / 5, card);
        if (difference < best.second)
            best = {card, difference};
    }
    return best;
}

int liveParticles(levels::PlayableLevel& level)
{
    int live = 0;
    for (const auto& particle : LevelProbe::particlesOf(level).particles())
        live += particle.life > 0.0f;
    return live;
}

int burstParticles(levels::PlayableLevel& level)
{
    int white = 0;
    for (const auto& particle : LevelProbe::particlesOf(level).particles())
        white += particle.life > 0.0f && particle.color.r == 1.0f && particle.color.g == 1.0f &&
                 particle.color.b == 1.0f;
    return white;
}

} // namespace fennik::test
