#include "LevelTestSupport.hpp"

#include "core/LevelManager.hpp"
#include "render/GL.hpp"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace fennik::test {

void place(physics::Entity& entity, glm::vec3 at)
{
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(btVector3(at.x, at.y, at.z));
    entity.body->setWorldTransform(transform);
    entity.body->setInterpolationWorldTransform(transform);
    entity.motionState->setWorldTransform(transform);
    entity.body->clearForces();
    entity.body->setLinearVelocity(btVector3(0, 0, 0));
    entity.body->setAngularVelocity(btVector3(0, 0, 0));
    entity.getModelMatrix();
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

glm::vec3 positionOf(physics::Entity& entity)
{
    entity.getModelMatrix();
    return entity.position;
}

ContactLog::ContactLog(scene::Scene& scene) : scene(scene), original(scene.collisionCallback)
{
    scene.collisionCallback = [this](physics::Entity* player, physics::Entity* other, btManifoldPoint& point,
                                     glm::vec3& normal) {
        contacts.push_back({other, normal});
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
    for (const Contact& contact : contacts)
        count += contact.other == &other && static_cast<double>(contact.normal.y) < 0.2;
    return count;
}

int ContactLog::stompsOn(const physics::Entity& other) const
{
    int count = 0;
    for (const Contact& contact : contacts)
        count += contact.other == &other && static_cast<double>(contact.normal.y) >= 0.2;
    return count;
}

std::array<int, 3> Picture::at(int x, int y) const
{
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

int Picture::changedPixels(const Picture& other, int x0, int y0, int x1, int y1, int threshold) const
{
    int changed = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const auto a = at(x, y);
            const auto b = other.at(x, y);
            bool differs = false;
            for (int c = 0; c < 3; ++c)
                differs = differs || std::abs(a[c] - b[c]) > threshold;
            changed += differs;
        }
    return changed;
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
    GLFWwindow* window = core::LevelManager::instance().window;
    Picture picture;
    glfwGetFramebufferSize(window, &picture.width, &picture.height);
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());

    const std::filesystem::path folder(FENNIK_SCREENSHOT_DIR);
    std::filesystem::create_directories(folder);
    stbi_flip_vertically_on_write(1);
    stbi_write_png((folder / (name + ".png")).string().c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                   picture.width * 3);
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
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &items, &remaining, &data) ==
            Success &&
        data) {
        title.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
    }
    return title;
}

double cardDifference(const Picture& picture, int x, int y, int width, int height, const std::string& file)
{
    int imageWidth = 0;
    int imageHeight = 0;
    int channels = 0;
    unsigned char* image = stbi_load(file.c_str(), &imageWidth, &imageHeight, &channels, 3);
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
            for (int px = static_cast<int>(u0 * w); px < static_cast<int>(u1 * w); ++px) {
                const auto colour = sample(px, py);
                for (int c = 0; c < 3; ++c)
                    sum[c] += colour[c];
                ++count;
            }
        for (double& channel : sum)
            channel /= count > 0 ? count : 1;
        return sum;
    };

    double difference = 0.0;
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column) {
            const double u0 = inset + (1.0 - 2.0 * inset) * column / grid;
            const double u1 = inset + (1.0 - 2.0 * inset) * (column + 1) / grid;
            const double v0 = inset + (1.0 - 2.0 * inset) * row / grid;
            const double v1 = inset + (1.0 - 2.0 * inset) * (row + 1) / grid;
            // v runs up the window; the file's rows run down the picture.
            const auto onScreen = blockMean([&](int px, int py) { return picture.at(x + px, y + py); }, u0, v0, u1, v1,
                                            width, height);
            const auto inFile = blockMean(
                [&](int px, int py) {
                    const std::size_t i =
                        (static_cast<std::size_t>(imageHeight - 1 - py) * static_cast<std::size_t>(imageWidth) +
                         static_cast<std::size_t>(px)) *
                        3;
                    return std::array<int, 3>{image[i], image[i + 1], image[i + 2]};
                },
                u0, v0, u1, v1, imageWidth, imageHeight);
            for (int c = 0; c < 3; ++c)
                difference += std::abs(onScreen[c] - inFile[c]);
        }
    stbi_image_free(image);
    return difference / (grid * grid * 3);
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
