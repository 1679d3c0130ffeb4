#pragma once

#include <optional>
#include <string>

namespace fennik::core {

enum class GraphicsPreset { Low, Medium, High, Custom };

// The glow around bright parts: none, blurred at half the scene's resolution, or at its full.
enum class Bloom { Off, Half, Full };

// What the frame draws and at what resolution: a named preset sets every switch; a
// switch changed by hand makes the preset Custom. `high` is the game's full picture.
struct GraphicsSettings {
    // Unset while neither file names one: the renderer decides once the context
    // exists (presetForRenderer), and the player's choice always wins over that.
    std::optional<GraphicsPreset> preset;
    // The 3D scene and its post passes are drawn at this share of the window's size.
    float renderScale = 1.0f;
    int shadowSize = 2048; // texels on a side
    // The shadow's 4 x 4 tent filter; a single 2 x 2 gather without it.
    bool softShadows = true;
    Bloom bloom = Bloom::Full;
    bool depthOfField = true;
    // The world's textures and the sky as drawn, or at half their width and height (a
    // quarter of the memory); the menus' pictures and the notes always keep theirs.
    bool fullTextures = true;
    int samples = 4;      // the window's multisampling; takes effect at the next start
    int particles = 100;  // percent of the live particles drawn, the nearest first
    // The preset came from a file or the options page rather than from the renderer:
    // only then is it saved, so a default never hardens into a choice.
    bool chosen = false;

    // The same switches, whatever the preset's name.
    bool sameSwitches(const GraphicsSettings& other) const;
};

inline constexpr float lowestRenderScale = 0.5f;
inline constexpr float highestRenderScale = 1.0f;

// The switches of a named preset; Custom gives High's.
GraphicsSettings presetSwitches(GraphicsPreset preset);
// The preset and its switches, all at once.
void applyPreset(GraphicsSettings& graphics, GraphicsPreset preset);
// The named preset whose switches these are, or Custom.
GraphicsPreset matchingPreset(const GraphicsSettings& graphics);

std::string presetName(GraphicsPreset preset);
std::optional<GraphicsPreset> presetFromName(const std::string& name);
std::string bloomName(Bloom bloom);
std::optional<Bloom> bloomFromName(const std::string& name);
// 512 to 4096, a power of two.
bool usableShadowSize(long size);
// 0, 2, 4 or 8.
bool usableSamples(long samples);

// Mesa's llvmpipe and softpipe, Google's SwiftShader, and zink or virgl over one of them:
// renderers that draw on the processor.
bool isSoftwareRenderer(const std::string& renderer);
// The preset for a player who has chosen none.
GraphicsPreset presetForRenderer(const std::string& renderer);

} // namespace fennik::core
