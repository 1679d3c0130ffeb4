#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace fennik::core {

// The one settings record of the process. Read once at start-up, never saved;
// the framebuffer-size callback keeps windowWidth and windowHeight current.
struct GameSettings {
    std::uint32_t windowWidth = 0;
    std::uint32_t windowHeight = 0;
    std::int32_t refreshRate = 0;
    bool fullscreen = false;
    bool vsync = true;      // swap interval 1
    std::int32_t maxFps = 0; // frames a second at most; 0 for no cap
    float fov = 0.0f; // degrees
    float nearZ = 0.0f;
    float farZ = 0.0f;
    float slopeThreshold = 0.0f;
    float gravity = 0.0f;
    float gamma = 0.0f;
    float exposure = 0.0f;
    bool useAces = false;

    void printSettings() const;
};

inline constexpr const char* settingsPath = "assets/settings.ini";

// Frame caps below this would hold the game under its own tick rate's catch-up
// limit and slow the world down; above the upper one no display keeps up.
inline constexpr std::int32_t lowestFrameCap = 10;
inline constexpr std::int32_t highestFrameCap = 1000;

// Reads the INI file at `path` into a new record and logs it. A missing file logs
// one line and gives the defaults; values the window or renderer cannot use are
// replaced by their defaults with a warning each.
std::shared_ptr<GameSettings> loadSettings(const std::string& path = settingsPath);

} // namespace fennik::core
