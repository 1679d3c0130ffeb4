#pragma once

#include "core/GameSettings.hpp"

#include <cstdint>

namespace fennik::test {

// The values the committed settings.ini holds, at the window size a test asks for.
// A default-built record is all zeros, which no window, camera or world can use.
inline core::GameSettings gameSettings(std::uint32_t width = 800, std::uint32_t height = 800)
{
    core::GameSettings settings;
    settings.windowWidth = width;
    settings.windowHeight = height;
    settings.refreshRate = 60;
    settings.fov = 45.0f;
    settings.nearZ = 0.1f;
    settings.farZ = 100.0f;
    settings.slopeThreshold = 0.4f;
    settings.gravity = 9.81f;
    settings.gamma = 2.2f;
    settings.exposure = 1.0f;
    settings.useAces = true;
    return settings;
}

} // namespace fennik::test
