#pragma once

#include "core/Level.hpp"

namespace fennik::test {

// A level that does nothing but count how often the registry makes it active, for
// tests of code that switches levels.
class CountingLevel : public core::Level {
public:
    using Level::Level;

    void init(GLFWwindow*, core::GameSettings*) override { initialized = true; }
    void reset() override { ++resets; }
    void update() override {}
    void processInput() override {}
    void render(float) override {}
    void cleanup() override {}
    void onMouseButton(int, int, int) override {}
    void onResize(int, int) override {}
    void onScroll(double, double) override {}
    void onKey(int, int, int, int) override {}

    int resets = 0;
};

} // namespace fennik::test
