#pragma once

#include "core/Actions.hpp"
#include "core/GraphicsSettings.hpp"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace fennik::core {

// The on-screen timer: none, the time spent in this level, or in the whole run.
enum class RunTimer { Off, Level, Run };

// "off", "level", "run"; and back, nullopt for any other name.
const char* runTimerName(RunTimer timer);
std::optional<RunTimer> runTimerFromName(const std::string& name);

// The one settings record of the process: the shipped defaults, then the player's own
// choices over them. The framebuffer-size callback keeps windowWidth and windowHeight
// current; the options the player changes are saved to the player's file.
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
    float volume = 100.0f;   // master volume, percent
    float musicVolume = 80.0f;    // percent, under the master volume
    float effectsVolume = 100.0f; // percent, under the master volume
    bool invertDrag = false; // the free camera turns the other way under a drag
    float uiScale = 100.0f;  // percent, on top of the window's own scale of the 2D overlay
    RunTimer timer = RunTimer::Off;
    KeyBindings keys;
    GraphicsSettings graphics;

    void printSettings() const;
};

// The game's own defaults, in its data folder.
std::string gameSettingsPath();

// Where this player's choices live: $XDG_CONFIG_HOME/fennik/settings.ini, or
// ~/.config/fennik/settings.ini when the variable is unset (or not an absolute path,
// which the convention says to ignore); empty when neither tells a place.
std::string playerSettingsPath();

// Frame caps below this would hold the game under its own tick rate's catch-up
// limit and slow the world down; above the upper one no display keeps up.
inline constexpr std::int32_t lowestFrameCap = 10;
inline constexpr std::int32_t highestFrameCap = 1000;

// The range of [window] ui_scale, in percent.
inline constexpr float smallestUiScale = 50.0f;
inline constexpr float largestUiScale = 200.0f;

// Reads the INI file at `path` into a new record, then the player's file at
// `playerPath` (when given and present) over it key by key, and logs the result. A
// missing shipped file logs one line and gives the defaults; values the game cannot
// use are replaced by their defaults with a warning each, in either file.
std::shared_ptr<GameSettings> loadSettings(const std::string& path = gameSettingsPath(),
                                           const std::string& playerPath = "");

// Writes what the options screen changes to `playerPath`, atomically: a temporary
// file beside it, then a rename, so a crash leaves the old file or the new one, never
// half of one. A file that cannot be written logs one warning (once, until a save
// works again) and returns false; the choices stay in the record.
bool saveSettings(const GameSettings& settings, const std::string& playerPath);

// Once a context exists: a player who has chosen no preset gets the one that suits
// `renderer` (GL_RENDERER). Logs one line with the renderer, the preset and why.
void settleGraphicsPreset(GameSettings& settings, const std::string& renderer);

} // namespace fennik::core
