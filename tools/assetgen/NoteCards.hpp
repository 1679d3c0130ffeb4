#pragma once

#include "Pictures.hpp"

namespace fennik::assetgen {

// The instruction cards shown when the player reads a note: beginning, tutorial 1 to 3,
// level one and the ending.
bool writeNoteCards(const OutputPaths& paths);

} // namespace fennik::assetgen
