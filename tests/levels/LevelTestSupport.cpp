#include "LevelTestSupport.hpp"

#include "core/Files.hpp"
#include "core/GameSettings.hpp"
#include "render/GL.hpp"
#include "support/GLPictures.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fennik::test {

GameHarness::GameHarness()
{
    // ctest gives each program homes of its own; run by hand, the game's runs and
    // settings still go to a scratch folder rather than the player's.
    const std::string scratch = (std::filesystem::temp_directory_path() / "fennik-level-tests").string();
    setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 0);
    setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 0);
    // The cases and the reference pictures are of the high preset, which the software
    // renderer of the test display would not start on.
    const std::filesystem::path chosen = std::filesystem::path(getenv("XDG_CONFIG_HOME")) / "fennik/settings.ini";
    if (!std::filesystem::exists(chosen)) {
        std::filesystem::create_directories(chosen.parent_path());
        std::ofstream(chosen) << "[graphics]\npreset = high\n";
    }
    input.setTime(100.0);
    scripted = std::make_unique<core::ScopedInputSource>(input);
    game = std::make_unique<app::FenniksZavororor>("Fennik's Zavororor");
    game->start();
    // The test programs share one virtual display and take the focus from each other
    // as they open windows: the game would pause whenever another program started. The
    // cases say themselves when the window loses it, through the game's own callback.
    gameFocusCallback = glfwSetWindowFocusCallback(game->mainWindow->handle, nullptr);
    // The cases enter levels in any order and save no progress; one that needs some
    // (or none) keeps its own (ScratchProgress).
    core::LevelManager::instance().progress.load("");
    core::LevelManager::instance().setLevel("StartMenu");
}

GameHarness::~GameHarness()
{
    if (game && game->running)
        game->finish();
    game.reset();
}

void GameHarness::tick(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        frameAfter(core::ScriptedInput::tickSeconds);
}

void GameHarness::frameAfter(double seconds)
{
    input.advance(seconds);
    game->runFrame();
}

void GameHarness::resizeWindow(int width, int height)
{
    glfwSetWindowSize(game->mainWindow->handle, width, height);
    for (int attempt = 0; attempt < 300 && (game->settings->windowWidth != unsigned(width) ||
                                            game->settings->windowHeight != unsigned(height));
         ++attempt)
        glfwWaitEventsTimeout(0.01);
    EXPECT_EQ(game->settings->windowWidth, unsigned(width));
    EXPECT_EQ(game->settings->windowHeight, unsigned(height));
}

void GameHarness::windowFocus(bool focused)
{
    gameFocusCallback(game->mainWindow->handle, focused ? GLFW_TRUE : GLFW_FALSE);
}

void GameHarness::windowKey(int key, int action, int mods)
{
    GLFWwindow* window = core::LevelManager::instance().window;
    const GLFWkeyfun callback = glfwSetKeyCallback(window, nullptr);
    glfwSetKeyCallback(window, callback);
    callback(window, key, 0, action, mods);
}

void GameHarness::keyPress(int key)
{
    input.press(key);
    active().onKey(key, 0, GLFW_PRESS, 0);
}

void GameHarness::keyRelease(int key)
{
    input.release(key);
    active().onKey(key, 0, GLFW_RELEASE, 0);
}

void GameHarness::tap(int key)
{
    keyPress(key);
    keyRelease(key);
}

void GameHarness::clickAt(float x, float y)
{
    const float height = static_cast<float>(game->settings->windowHeight);
    input.moveCursor(x, height - y);
    input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    tick();
    input.releaseButton(GLFW_MOUSE_BUTTON_LEFT);
}

ScratchProgress::ScratchProgress(const std::string& text)
    : previous(core::LevelManager::instance().progress.path())
{
    if (!text.empty())
        home.write("progress.ini", text);
    core::LevelManager::instance().progress.load((home / "progress.ini").string());
}

ScratchProgress::~ScratchProgress()
{
    core::LevelManager::instance().progress.load(previous);
}

std::string ScratchProgress::text() const
{
    return core::readWholeFile((home / "progress.ini").string(), 1 << 16).value_or("");
}

GameHarness& sharedGame()
{
    // Torn down by the environment below, while the windowing library still runs.
    static GameHarness* harness = new GameHarness();
    return *harness;
}

namespace {

class SharedGameEnvironment : public ::testing::Environment {
public:
    void TearDown() override { delete &sharedGame(); }
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new SharedGameEnvironment);

} // namespace

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
        harness.game->runTicks(1);
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

int Picture::whitePixels(int x0, int y0, int x1, int y1) const
{
    int white = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            white += p[0] > 225 && p[1] > 225 && p[2] > 225;
        }
    return white;
}

Box Picture::changedBox(const Picture& other) const
{
    Box box{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(channel(x, y, c) - other.channel(x, y, c)) > 8)
                    box = {std::min(box.left, x), std::min(box.bottom, y), std::max(box.right, x), std::max(box.top, y)};
    return box;
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
    harness.active().render(1.0f);
    return grab(name);
}

namespace {

// How far the window box (x, y, width, height) looks from the picture in `file`: both
// cropped by a tenth on every side (the card's rounded, partly transparent corners) and
// shrunk to 8 x 8, which smooths out the difference between texels and pixels; the mean
// absolute difference per channel (0 is identical).
double cardDifference(const Picture& picture, int x, int y, int width, int height, const std::string& file)
{
    int fileWidth = 0;
    int fileHeight = 0;
    int channels = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> image(
        stbi_load(file.c_str(), &fileWidth, &fileHeight, &channels, 4), stbi_image_free);
    if (!image)
        return 1e9;
    constexpr int grid = 8;
    std::array<unsigned char, grid * grid * 4> shown{};
    std::array<unsigned char, grid * grid * 4> stored{};
    const std::size_t corner = (static_cast<std::size_t>(y + height / 10) * picture.width + x + width / 10) * 4;
    stbir_resize_uint8(picture.rgba.data() + corner, width * 8 / 10, height * 8 / 10, picture.width * 4,
                       shown.data(), grid, grid, 0, 4);
    const std::size_t fileCorner = (static_cast<std::size_t>(fileHeight / 10) * fileWidth + fileWidth / 10) * 4;
    stbir_resize_uint8(image.get() + fileCorner, fileWidth * 8 / 10, fileHeight * 8 / 10, fileWidth * 4,
                       stored.data(), grid, grid, 0, 4);
    double difference = 0.0;
    // The window's rows run up, the file's run down.
    for (int row = 0; row < grid; ++row)
        for (int column = 0; column < grid; ++column)
            for (int c = 0; c < 3; ++c)
                difference += std::abs(shown[(row * grid + column) * 4 + c] -
                                       stored[((grid - 1 - row) * grid + column) * 4 + c]);
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
        white += particle.life > 0.0f && particle.color.r == 255.0f && particle.color.g == 255.0f &&
                 particle.color.b == 255.0f;
    return white;
}

} // namespace fennik::test
