#pragma once

#include "Pictures.hpp"

namespace fennik::assetgen {

// Fennik, the practice dummies, the enemies, the boss, the end figure and the health
// gauge's heart, with the shared colour palette they are painted from.
bool writeCharacters(const OutputPaths& paths);

} // namespace fennik::assetgen
