#include "GameHarness.hpp"

#include "core/GameSettings.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace fennik::test {

GameHarness::GameHarness()
{
    input.setTime(100.0);
    scripted = std::make_unique<core::ScopedInputSource>(input);
    game = std::make_unique<app::FenniksZavororor>("Fennik's Zavororor");
    game->start();
}

GameHarness::~GameHarness()
{
    if (game && game->running)
        game->finish();
    game.reset();
}

void GameHarness::tick(int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        input.advance(core::ScriptedInput::tickSeconds);
        game->runFrame();
    }
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

} // namespace fennik::test
