#pragma once

#include <string>

namespace fennik::assetgen {

// The game's music: one looping piece per level, stereo 44.1 kHz Ogg Vorbis, played
// by plucked strings (Karplus-Strong), a drone, a ney and hand drums on maqam-like
// modes. Each piece is rendered a few seconds past its end and the overhang folded
// onto its start, so its last sample flows into its first.
bool writeMusic(const std::string& musicDirectory);

} // namespace fennik::assetgen
