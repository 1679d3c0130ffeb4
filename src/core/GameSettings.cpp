#include "core/GameSettings.hpp"

#include "core/DataDirectory.hpp"
#include "core/Files.hpp"
#include "core/Log.hpp"

#include <INIReader.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include <strings.h>

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
    static constexpr float uiScale = 100.0f;
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
std::int32_t readFrameCap(const INIReader& reader, std::int32_t fallback)
{
    const long value = reader.GetInteger("window", "max_fps", fallback);
    if (value != 0 && (value < lowestFrameCap || value > highestFrameCap)) {
        log::warn("Invalid max_fps ", value, " in settings (0 for no cap, or ", lowestFrameCap, " to ",
                  highestFrameCap, "), using ", fallback);
        return fallback;
    }
    return static_cast<std::int32_t>(value);
}

float readVolume(const INIReader& reader, const char* key, float fallback)
{
    const double value = reader.GetReal("sound", key, fallback);
    if (!(value >= 0.0 && value <= 100.0)) {
        const double clamped = value > 100.0 ? 100.0 : 0.0; // NaN reads as silence
        log::warn("Invalid ", key, " ", value, " in settings (0 to 100), using ", clamped);
        return static_cast<float>(clamped);
    }
    return static_cast<float>(value);
}

// A preset the file names sets every switch; the switches the file names after it
// count only for a custom preset (see loadSettings). A value the game cannot use keeps
// what was there, with a warning.
void readGraphics(const INIReader& reader, GraphicsSettings& graphics)
{
    const char* section = "graphics";
    if (reader.HasValue(section, "preset")) {
        const std::string name = reader.Get(section, "preset", "");
        if (const auto preset = presetFromName(name)) {
            applyPreset(graphics, *preset);
            graphics.chosen = true;
        } else {
            log::warn("Invalid graphics preset '", name, "' in settings (low, medium, high or custom), using ",
                      graphics.preset ? presetName(*graphics.preset) : std::string("the renderer's choice"));
        }
    }
    if (reader.HasValue(section, "render_scale")) {
        const double scale = reader.GetReal(section, "render_scale", graphics.renderScale);
        if (scale >= lowestRenderScale && scale <= highestRenderScale)
            graphics.renderScale = static_cast<float>(scale);
        else
            log::warn("Invalid render_scale ", scale, " in settings (0.5 to 1.0), using ", graphics.renderScale);
    }
    if (reader.HasValue(section, "shadow_size")) {
        const long size = reader.GetInteger(section, "shadow_size", graphics.shadowSize);
        if (usableShadowSize(size))
            graphics.shadowSize = static_cast<int>(size);
        else
            log::warn("Invalid shadow_size ", size, " in settings (512, 1024, 2048 or 4096), using ",
                      graphics.shadowSize);
    }
    graphics.softShadows = reader.GetBoolean(section, "soft_shadows", graphics.softShadows);
    if (reader.HasValue(section, "bloom")) {
        const std::string name = reader.Get(section, "bloom", "");
        if (const auto bloom = bloomFromName(name))
            graphics.bloom = *bloom;
        else
            log::warn("Invalid bloom '", name, "' in settings (off, half or full), using ", bloomName(graphics.bloom));
    }
    graphics.depthOfField = reader.GetBoolean(section, "depth_of_field", graphics.depthOfField);
    graphics.fullTextures = reader.GetBoolean(section, "full_textures", graphics.fullTextures);
    if (reader.HasValue(section, "antialiasing")) {
        const long samples = reader.GetInteger(section, "antialiasing", graphics.samples);
        if (usableSamples(samples))
            graphics.samples = static_cast<int>(samples);
        else
            log::warn("Invalid antialiasing ", samples, " in settings (0, 2, 4 or 8 samples), using ",
                      graphics.samples);
    }
    if (reader.HasValue(section, "particles")) {
        const long share = reader.GetInteger(section, "particles", graphics.particles);
        if (share >= 0 && share <= 100)
            graphics.particles = static_cast<int>(share);
        else
            log::warn("Invalid particles ", share, " in settings (0 to 100 percent), using ", graphics.particles);
    }
}

// Each action's key, where the file names one; a name the game does not know, or a
// debug key, keeps the key the action had.
void readKeys(const INIReader& reader, KeyBindings& keys)
{
    for (int index = 0; index < actionCount; ++index) {
        const auto action = static_cast<Action>(index);
        if (!reader.HasValue("keys", actionName(action)))
            continue;
        const std::string name = reader.Get("keys", actionName(action), "");
        const std::optional<int> key = keyFromName(name);
        if (!key || !keys.bind(action, *key))
            log::warn("Cannot bind '", name, "' to ", actionName(action), " in settings, keeping ",
                      keyName(keys[action]));
    }
}

// Anything but a number from 50 to 200 ("big", 0, 500) keeps the default, with a warning.
float readUiScale(const INIReader& reader, float fallback)
{
    if (!reader.HasValue("window", "ui_scale"))
        return fallback;
    const std::string text = reader.Get("window", "ui_scale", "");
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= smallestUiScale && value <= largestUiScale)) {
        log::warn("Invalid ui_scale '", text, "' in settings (", smallestUiScale, " to ", largestUiScale,
                  " percent), using ", Defaults::uiScale);
        return Defaults::uiScale;
    }
    return static_cast<float>(value);
}

void readTimer(const INIReader& reader, RunTimer& timer)
{
    if (!reader.HasValue("fennik", "timer"))
        return;
    const std::string name = reader.Get("fennik", "timer", "");
    if (const auto known = runTimerFromName(name))
        timer = *known;
    else
        log::warn("Invalid timer '", name, "' in settings (off, level or run), keeping ", runTimerName(timer));
}

// Every key the file has over what `settings` holds: what it lacks stays.
void readValues(const INIReader& reader, GameSettings& settings)
{
    readTimer(reader, settings.timer);
    settings.windowWidth = readSize(reader, "width", settings.windowWidth);
    settings.windowHeight = readSize(reader, "height", settings.windowHeight);
    settings.refreshRate = static_cast<std::int32_t>(reader.GetInteger("window", "refresh_rate", settings.refreshRate));
    settings.fullscreen = reader.GetBoolean("window", "fullscreen", settings.fullscreen);
    settings.vsync = reader.GetBoolean("window", "vsync", settings.vsync);
    settings.maxFps = readFrameCap(reader, settings.maxFps);
    settings.uiScale = readUiScale(reader, settings.uiScale);
    settings.fov = static_cast<float>(reader.GetReal("camera", "fov", settings.fov));
    settings.nearZ = static_cast<float>(reader.GetReal("camera", "near", settings.nearZ));
    settings.farZ = static_cast<float>(reader.GetReal("camera", "far", settings.farZ));
    settings.invertDrag = reader.GetBoolean("camera", "invert_drag", settings.invertDrag);
    settings.slopeThreshold = static_cast<float>(reader.GetReal("fennik", "slopeThreshold", settings.slopeThreshold));
    settings.gravity = static_cast<float>(reader.GetReal("fennik", "gravity", settings.gravity));
    settings.gamma = static_cast<float>(reader.GetReal("fennik", "gamma", settings.gamma));
    settings.exposure = static_cast<float>(reader.GetReal("fennik", "exposure", settings.exposure));
    settings.useAces = reader.GetBoolean("fennik", "useACES", settings.useAces);
    settings.volume = readVolume(reader, "volume", settings.volume);
    settings.musicVolume = readVolume(reader, "music", settings.musicVolume);
    settings.effectsVolume = readVolume(reader, "effects", settings.effectsVolume);
    readKeys(reader, settings.keys);
    readGraphics(reader, settings.graphics);
}

std::string boolText(bool value)
{
    return value ? "true" : "false";
}

// The player's part of the record, as the player's file holds it.
std::string playerSettingsText(const GameSettings& settings)
{
    std::ostringstream text;
    text << "; Fennik's Zavororor: your own settings, written by the options screen.\n"
         << "; They override the game's own settings.ini key by key.\n"
         << "[window]\nfullscreen = " << boolText(settings.fullscreen) << "\nvsync = " << boolText(settings.vsync)
         << "\nmax_fps = " << settings.maxFps << "\nui_scale = " << settings.uiScale << "\n\n[camera]\nfov = " << settings.fov
         << "\ninvert_drag = " << boolText(settings.invertDrag) << "\n\n[fennik]\nexposure = " << settings.exposure
         << "\ntimer = " << runTimerName(settings.timer)
         << "\n\n[sound]\nvolume = " << settings.volume << "\nmusic = " << settings.musicVolume
         << "\neffects = " << settings.effectsVolume << "\n\n[keys]\n";
    for (int index = 0; index < actionCount; ++index) {
        const auto action = static_cast<Action>(index);
        text << actionName(action) << " = " << keyName(settings.keys[action]) << "\n";
    }
    const GraphicsSettings& graphics = settings.graphics;
    if (graphics.chosen && graphics.preset)
        text << "\n[graphics]\npreset = " << presetName(*graphics.preset)
             << "\nrender_scale = " << graphics.renderScale << "\nshadow_size = " << graphics.shadowSize
             << "\nsoft_shadows = " << boolText(graphics.softShadows) << "\nbloom = " << bloomName(graphics.bloom)
             << "\ndepth_of_field = " << boolText(graphics.depthOfField)
             << "\nfull_textures = " << boolText(graphics.fullTextures)
             << "\nantialiasing = " << graphics.samples << "\nparticles = " << graphics.particles << "\n";
    return text.str();
}

void warnOfMalformedLines(const INIReader& reader, const std::string& path)
{
    if (reader.ParseError() > 0)
        log::warn("Skipped what is not a setting in '", path, "', from line ", reader.ParseError(),
                  " on; the rest is read");
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
    // The planes are a pair: a near plane not above 0 or not below the far one gives both defaults.
    if (!(settings.nearZ > 0.0f && settings.farZ > settings.nearZ)) {
        log::warn("Invalid near ", settings.nearZ, " and far ", settings.farZ, " in settings, using ", Defaults::nearZ,
                  " and ", Defaults::farZ);
        settings.nearZ = Defaults::nearZ;
        settings.farZ = Defaults::farZ;
    }
}

} // namespace

const char* runTimerName(RunTimer timer)
{
    switch (timer) {
    case RunTimer::Level: return "level";
    case RunTimer::Run: return "run";
    case RunTimer::Off: break;
    }
    return "off";
}

std::optional<RunTimer> runTimerFromName(const std::string& name)
{
    for (RunTimer timer : {RunTimer::Off, RunTimer::Level, RunTimer::Run})
        if (strcasecmp(name.c_str(), runTimerName(timer)) == 0)
            return timer;
    return std::nullopt;
}

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

std::string gameSettingsPath()
{
    return dataPath("settings.ini");
}

std::string playerSettingsPath()
{
    const std::string folder = playerFolder("XDG_CONFIG_HOME", ".config");
    return folder.empty() ? folder : folder + "/settings.ini";
}

std::shared_ptr<GameSettings> loadSettings(const std::string& path, const std::string& playerPath)
{
    log::info("Reading settings.ini...");
    auto settings = std::make_shared<GameSettings>();
    settings->windowWidth = Defaults::windowWidth;
    settings->windowHeight = Defaults::windowHeight;
    settings->refreshRate = Defaults::refreshRate;
    settings->fullscreen = Defaults::fullscreen;
    settings->vsync = Defaults::vsync;
    settings->maxFps = Defaults::maxFps;
    settings->fov = Defaults::fov;
    settings->nearZ = Defaults::nearZ;
    settings->farZ = Defaults::farZ;
    settings->slopeThreshold = Defaults::slopeThreshold;
    settings->gravity = Defaults::gravity;
    settings->gamma = Defaults::gamma;
    settings->exposure = Defaults::exposure;
    settings->useAces = Defaults::useAces;
    settings->uiScale = Defaults::uiScale;

    INIReader reader(path);
    // A negative error means the file could not be opened; a positive one is the
    // first malformed line, which inih skips while keeping every good line.
    if (reader.ParseError() < 0)
        log::line("ERROR: Failed to load '", path, "'. Using default values instead.");
    else
        warnOfMalformedLines(reader, path);
    readValues(reader, *settings);
    checkRanges(*settings);

    // The player's file is optional: most players never change anything.
    if (!playerPath.empty() && std::filesystem::exists(playerPath)) {
        INIReader player(playerPath);
        if (player.ParseError() < 0) {
            log::warn("Could not read your settings in '", playerPath, "'; using the game's");
        } else {
            log::info("Reading your settings from '", playerPath, "'...");
            warnOfMalformedLines(player, playerPath);
            readValues(player, *settings);
            checkRanges(*settings);
        }
    }
    // A named preset is what it says, whatever switches either file names beside it.
    if (settings->graphics.preset && *settings->graphics.preset != GraphicsPreset::Custom)
        applyPreset(settings->graphics, *settings->graphics.preset);
    settings->printSettings();
    return settings;
}

bool saveSettings(const GameSettings& settings, const std::string& playerPath)
{
    static bool warned = false;
    const std::string reason = playerPath.empty() ? "no folder for settings (HOME is not set)"
                                                  : writeAtomically(playerPath, playerSettingsText(settings));
    if (reason.empty()) {
        warned = false;
        return true;
    }
    if (!warned)
        log::warn("Could not save your settings to '", playerPath, "' (", reason,
                  "); the game goes on with them until it ends");
    warned = true;
    return false;
}

void settleGraphicsPreset(GameSettings& settings, const std::string& renderer)
{
    GraphicsSettings& graphics = settings.graphics;
    if (graphics.chosen && graphics.preset) {
        log::info("Renderer '", renderer, "': graphics preset ", presetName(*graphics.preset), ", your choice");
        return;
    }
    const GraphicsPreset preset = presetForRenderer(renderer);
    applyPreset(graphics, preset);
    graphics.chosen = false;
    log::info("Renderer '", renderer, "': graphics preset ", presetName(preset),
              isSoftwareRenderer(renderer) ? ", as it draws on the processor" : ", as it is a graphics card");
}

} // namespace fennik::core
