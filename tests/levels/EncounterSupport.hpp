#pragma once

#include "LevelTestSupport.hpp"

namespace fennik::test {

// Drops the player from a little above `enemy`'s back, straight over the middle of
// its body, and runs ticks until the level has been told of a landing on it (or a
// second and a half has passed). Returns how many stomps that landing counted.
int dropOnto(GameHarness& harness, physics::Entity& player, physics::Entity& enemy, const ContactLog& contacts);

} // namespace fennik::test
