#pragma once

#include <functional>

#include "Geometry.hpp"
#include "LevelBuilder.hpp"

namespace fennik::assetgen::props {

// Scenery and obstacles shared by the levels. Functions that take a LevelBuilder add
// their pieces themselves (some parts collide, others do not); the others return shapes.

// A leaning date palm: bark trunk and drooping fronds. With `solidTrunk` the trunk
// collides (for palms inside the walkable area).
void palm(LevelBuilder& level, glm::vec3 base, float height, float leanDegrees, float turnDegrees, unsigned seed,
          bool solidTrunk = false);
void cactus(LevelBuilder& level, glm::vec3 base, float height, unsigned seed);
Geometry rock(glm::vec3 centre, glm::vec3 size, unsigned seed, int detail = 1);
void grassTuft(LevelBuilder& level, glm::vec3 base, float size, unsigned seed);
void crystals(LevelBuilder& level, glm::vec3 base, float size, unsigned seed);
// A sandstone column with base and capital; `solid` makes it an obstacle.
void column(LevelBuilder& level, glm::vec3 base, float height, float radius, bool solid);
// Wooden fence along a line parallel to the x or z axis (given as x, z points), in
// segments of at most 12 units that each collide as a box.
void fence(LevelBuilder& level, glm::vec2 from, glm::vec2 to, float height);
// A wall across the level at z from x0 to x1 with a gate between gateX0 and gateX1: pillars
// and lintel frame the opening; the wall is too high to jump.
void gateWall(LevelBuilder& level, float z, float x0, float x1, float gateX0, float gateX1, float wallHeight, float gateHeight);
// Small things lying about (pebbles, pots, tufts) in a rectangle, kept away from the given
// points (placements, paths).
void scatter(LevelBuilder& level, glm::vec2 minXZ, glm::vec2 maxXZ, int count, unsigned seed, const std::vector<glm::vec2>& keepClear);
// A low broken wall that collides (at most 1.0 high, so it can be jumped).
void ruinWall(LevelBuilder& level, glm::vec3 minCorner, glm::vec3 maxCorner, unsigned seed);
// A flat blob of another ground (grass, cobble) lying just above the floor.
void patch(LevelBuilder& level, glm::vec2 centre, float radius, Surface surface, unsigned seed, float floorY = 0.0f);
// A ridge tent of cloth (it collides) with its poles.
void tent(LevelBuilder& level, glm::vec3 centre, float width, float depth, float height);
// A brazier: metal bowl on legs holding glowing crystals.
void brazier(LevelBuilder& level, glm::vec3 base, bool solid);
void banner(LevelBuilder& level, glm::vec3 top, float width, float length);
// A crate that collides.
void crate(LevelBuilder& level, glm::vec3 minCorner, float size);
// A height field between two corners in x and z, `step` units per cell.
Geometry terrain(glm::vec2 minXZ, glm::vec2 maxXZ, float step, const std::function<float(float, float)>& height);

} // namespace fennik::assetgen::props
