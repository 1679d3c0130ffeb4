#pragma once

#include <string>

namespace fennik::assetgen {

// The game's sound effects: short mono 16-bit 44.1 kHz clips (mono so that the sound
// engine can place them in space).
bool writeSounds(const std::string& musicDirectory);

} // namespace fennik::assetgen
