#pragma once

#include "Pictures.hpp"

namespace fennik::assetgen {

// The six level models: beginning (start menu and test level), tutorial, firstLevel,
// secondLevel and bossRoom.
bool writeLevels(const OutputPaths& paths);

} // namespace fennik::assetgen
