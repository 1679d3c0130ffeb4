#include "core/GraphicsSettings.hpp"

#include <algorithm>
#include <array>
#include <cctype>

namespace fennik::core {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

bool GraphicsSettings::sameSwitches(const GraphicsSettings& other) const
{
    return renderScale == other.renderScale && shadowSize == other.shadowSize && softShadows == other.softShadows &&
           bloom == other.bloom && depthOfField == other.depthOfField && fullTextures == other.fullTextures &&
           samples == other.samples &&
           particles == other.particles;
}

GraphicsSettings presetSwitches(GraphicsPreset preset)
{
    GraphicsSettings switches;
    switch (preset) {
    case GraphicsPreset::Low:
        // On llvmpipe the lit scene's fragments are most of what is left: at 0.75 the
        // costliest level stayed above 50 ms a frame, at 0.65 (42 % of the pixels) it does not.
        switches.renderScale = 0.65f;
        switches.shadowSize = 1024;
        switches.softShadows = false;
        switches.bloom = Bloom::Off;
        switches.depthOfField = false;
        switches.fullTextures = false;
        switches.samples = 0;
        switches.particles = 50;
        break;
    case GraphicsPreset::Medium:
        // Half-size glow, no depth of field and 72 % of the pixels: at full scale the
        // lit scene alone kept medium just above half of high's frame in two levels.
        switches.renderScale = 0.85f;
        switches.bloom = Bloom::Half;
        switches.depthOfField = false;
        break;
    case GraphicsPreset::High:
    case GraphicsPreset::Custom:
        break;
    }
    switches.preset = preset;
    return switches;
}

void applyPreset(GraphicsSettings& graphics, GraphicsPreset preset)
{
    const bool chosen = graphics.chosen;
    if (preset == GraphicsPreset::Custom)
        graphics.preset = preset;
    else
        graphics = presetSwitches(preset);
    graphics.chosen = chosen;
}

GraphicsPreset matchingPreset(const GraphicsSettings& graphics)
{
    for (GraphicsPreset preset : {GraphicsPreset::Low, GraphicsPreset::Medium, GraphicsPreset::High})
        if (presetSwitches(preset).sameSwitches(graphics))
            return preset;
    return GraphicsPreset::Custom;
}

std::string presetName(GraphicsPreset preset)
{
    static const std::array<const char*, 4> names = {"low", "medium", "high", "custom"};
    return names[static_cast<std::size_t>(preset)];
}

std::optional<GraphicsPreset> presetFromName(const std::string& name)
{
    for (GraphicsPreset preset :
         {GraphicsPreset::Low, GraphicsPreset::Medium, GraphicsPreset::High, GraphicsPreset::Custom})
        if (lowerCase(name) == presetName(preset))
            return preset;
    return std::nullopt;
}

std::string bloomName(Bloom bloom)
{
    static const std::array<const char*, 3> names = {"off", "half", "full"};
    return names[static_cast<std::size_t>(bloom)];
}

std::optional<Bloom> bloomFromName(const std::string& name)
{
    for (Bloom bloom : {Bloom::Off, Bloom::Half, Bloom::Full})
        if (lowerCase(name) == bloomName(bloom))
            return bloom;
    return std::nullopt;
}

bool usableShadowSize(long size)
{
    return size >= 512 && size <= 4096 && (size & (size - 1)) == 0;
}

bool usableSamples(long samples)
{
    return samples == 0 || samples == 2 || samples == 4 || samples == 8;
}

bool isSoftwareRenderer(const std::string& renderer)
{
    const std::string name = lowerCase(renderer);
    for (const char* software : {"llvmpipe", "softpipe", "swiftshader", "swrast", "software rasterizer",
                                 "basic render driver"})
        if (name.find(software) != std::string::npos)
            return true;
    return false;
}

GraphicsPreset presetForRenderer(const std::string& renderer)
{
    return isSoftwareRenderer(renderer) ? GraphicsPreset::Low : GraphicsPreset::High;
}

} // namespace fennik::core
