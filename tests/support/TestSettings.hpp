#pragma once

#include "core/GameSettings.hpp"

#include <cstdint>
#include <string>
#include <vector>

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

// The log block printed for those values, banner to closing line, as the game
// writes it at start-up.
inline const std::vector<std::string>& defaultSettingsLog()
{
    static const std::vector<std::string> lines = {
        "[INFO]: Fennik - Settings: ",
        "[INFO]: gWindowWidth: 800",
        "[INFO]: gWindowHeight: 800",
        "[INFO]: gRefreshRate: 60",
        "[INFO]: gFullscreen: 0",
        "[INFO]: gVsync: 1",
        "[INFO]: gMaxFps: 0",
        "[INFO]: gFOV: 45.000000",
        "[INFO]: gNearZ: 0.100000",
        "[INFO]: gFarZ: 100.000000",
        "[INFO]: gSlopeThreshold: 0.400000",
        "[INFO]: gGravity: 9.810000",
        "[INFO]: gGamma: 2.200000",
        "[INFO]: gUseAces: 1",
        "[INFO]: gExposure: 1.000000",
        "[INFO]: ----------------------------------------------",
    };
    return lines;
}

} // namespace fennik::test
