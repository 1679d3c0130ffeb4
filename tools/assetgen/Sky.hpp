#pragma once

#include "Pictures.hpp"

namespace fennik::assetgen {

// The six sky box faces: a clear desert sky with soft clouds over a hazy horizon, sand
// below. Every pixel is computed from its direction, so the faces meet without seams.
bool writeSkybox(const OutputPaths& paths);

} // namespace fennik::assetgen
