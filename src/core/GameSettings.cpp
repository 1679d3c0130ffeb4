#include "core/GameSettings.hpp"

#include "core/Log.hpp"

#include <INIReader.h>

#include <cstdio>

namespace fennik::core {

namespace {

struct Defaults {
    static constexpr std::uint32_t windowWidth = 800;
    static constexpr std::uint32_t windowHeight = 800;
    static constexpr std::int32_t refreshRate = 60;
    static constexpr bool fullscreen = false;
    static constexpr bool vsync = true;
    static constexpr std::int32_t maxFps = 0;
    static constexpr float fov = 45.0f;
    static constexpr float nearZ = 0.1f;
    static constexpr float farZ = 100.0f;
    static constexpr float slopeThreshold = 0.4f;
    static constexpr float gravity = 9.81f;
    static constexpr float gamma = 2.2f;
    static constexpr float exposure = 1.0f;
    static constexpr bool useAces = true;
};

// "%f" conversion: fixed notation with six decimals.
std::string sixDecimals(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

// Sizes arrive through GetInteger as a long; a negative width must not wrap into
// a huge unsigned one before the range check sees it.
std::uint32_t readSize(const INIReader& reader, const char* key, std::uint32_t fallback)
{
    long value = reader.GetInteger("window", key, fallback);
    if (value <= 0 || value > 16384) {
        log::warn("Invalid window ", key, " ", value, " in settings, using ", fallback);
        return fallback;
    }
    return static_cast<std::uint32_t>(value);
}

// Checked as the long GetInteger gives, before a huge value could wrap into a good one.
std::int32_t readFrameCap(const INIReader& reader)
{
    const long value = reader.GetInteger("window", "max_fps", Defaults::maxFps);
    if (value != 0 && (value < lowestFrameCap || value > highestFrameCap)) {
        log::warn("Invalid max_fps ", value, " in settings (0 for no cap, or ", lowestFrameCap, " to ",
                  highestFrameCap, "), using ", Defaults::maxFps);
        return Defaults::maxFps;
    }
    return static_cast<std::int32_t>(value);
}

void checkRanges(GameSettings& settings)
{
    if (settings.refreshRate <= 0) {
        log::warn("Invalid refresh_rate ", settings.refreshRate, " in settings, using ", Defaults::refreshRate);
        settings.refreshRate = Defaults::refreshRate;
    }
    if (!(settings.fov > 0.0f && settings.fov < 180.0f)) {
        log::warn("Invalid fov ", settings.fov, " in settings, using ", Defaults::fov);
        settings.fov = Defaults::fov;
    }
    if (!(settings.nearZ > 0.0f)) {
        log::warn("Invalid near ", settings.nearZ, " in settings, using ", Defaults::nearZ);
        settings.nearZ = Defaults::nearZ;
    }
    if (!(settings.farZ > settings.nearZ)) {
        log::warn("Invalid far ", settings.farZ, " (not beyond near ", settings.nearZ, ") in settings, using ",
                  Defaults::farZ);
        settings.farZ = Defaults::farZ;
        if (!(settings.farZ > settings.nearZ)) {
            log::warn("Invalid near ", settings.nearZ, " (not below far ", settings.farZ, ") in settings, using ",
                      Defaults::nearZ);
            settings.nearZ = Defaults::nearZ;
        }
    }
}

} // namespace

void GameSettings::printSettings() const
{
    log::info("Fennik - Settings: ");
    log::info("gWindowWidth: ", std::to_string(windowWidth));
    log::info("gWindowHeight: ", std::to_string(windowHeight));
    log::info("gRefreshRate: ", std::to_string(refreshRate));
    log::info("gFullscreen: ", std::to_string(fullscreen));
    log::info("gVsync: ", std::to_string(vsync));
    log::info("gMaxFps: ", std::to_string(maxFps));
    log::info("gFOV: ", sixDecimals(fov));
    log::info("gNearZ: ", sixDecimals(nearZ));
    log::info("gFarZ: ", sixDecimals(farZ));
    log::info("gSlopeThreshold: ", sixDecimals(slopeThreshold));
    log::info("gGravity: ", sixDecimals(gravity));
    log::info("gGamma: ", sixDecimals(gamma));
    log::info("gUseAces: ", std::to_string(useAces));
    log::info("gExposure: ", sixDecimals(exposure));
    log::info("----------------------------------------------");
}

std::shared_ptr<GameSettings> loadSettings(const std::string& path)
{
    log::info("Reading settings.ini...");
    auto settings = std::make_shared<GameSettings>();

    INIReader reader(path);
    // A negative error means the file could not be opened; a positive one is the
    // first malformed line, which inih skips while keeping every good line.
    if (reader.ParseError() < 0)
        log::line("ERROR: Failed to load '", path, "'. Using default values instead.");

    settings->windowWidth = readSize(reader, "width", Defaults::windowWidth);
    settings->windowHeight = readSize(reader, "height", Defaults::windowHeight);
    settings->refreshRate = static_cast<std::int32_t>(reader.GetInteger("window", "refresh_rate", Defaults::refreshRate));
    settings->fullscreen = reader.GetBoolean("window", "fullscreen", Defaults::fullscreen);
    settings->vsync = reader.GetBoolean("window", "vsync", Defaults::vsync);
    settings->maxFps = readFrameCap(reader);
    settings->fov = static_cast<float>(reader.GetReal("camera", "fov", Defaults::fov));
    settings->nearZ = static_cast<float>(reader.GetReal("camera", "near", Defaults::nearZ));
    settings->farZ = static_cast<float>(reader.GetReal("camera", "far", Defaults::farZ));
    settings->slopeThreshold = static_cast<float>(reader.GetReal("fennik", "slopeThreshold", Defaults::slopeThreshold));
    settings->gravity = static_cast<float>(reader.GetReal("fennik", "gravity", Defaults::gravity));
    settings->gamma = static_cast<float>(reader.GetReal("fennik", "gamma", Defaults::gamma));
    settings->exposure = static_cast<float>(reader.GetReal("fennik", "exposure", Defaults::exposure));
    settings->useAces = reader.GetBoolean("fennik", "useACES", Defaults::useAces);

    checkRanges(*settings);
    settings->printSettings();
    return settings;
}

} // namespace fennik::core
