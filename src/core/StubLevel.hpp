#pragma once

#include "core/Level.hpp"

namespace fennik::core {

// The empty level that exists from the end of start-up until the game registers
// its own, so the registry always has an active level.
class StubLevel final : public Level {
public:
    using Level::Level;

    void init(GLFWwindow* window, GameSettings* settings) override;
    void reset() override {}
    void update() override {}
    void processInput() override {}
    void render(float) override {}
    void cleanup() override {}
    void onMouseButton(int, int, int) override {}
    void onResize(int, int) override {}
    void onScroll(double, double) override {}
    void onKey(int, int, int, int) override {}
};

} // namespace fennik::core
