#include "EncounterSupport.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fennik::test {

int dropOnto(GameHarness& harness, physics::Entity& player, physics::Entity& enemy, const ContactLog& contacts)
{
    const int before = contacts.stompsOn(enemy);
    const glm::vec3 below = positionOf(enemy);
    // Straight above the body's origin the enemy has nowhere to walk, so it holds
    // still under the falling player.
    place(player, {below.x, below.y + 4.5f, below.z});
    for (int tick = 0; tick < 45 && contacts.stompsOn(enemy) == before; ++tick)
        simulate(harness);
    return contacts.stompsOn(enemy) - before;
}

namespace {

// The encounters listen for the hit sound, so this process gets a sound device:
// OpenAL Soft's wave output, writing into nothing. It is set up before the game
// (and with it the sound engine) is first made.
class WaveOutput : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", "tests/levels/fixtures/wave-output.conf", 1);
    }
};

const auto* const waveOutput = ::testing::AddGlobalTestEnvironment(new WaveOutput);

} // namespace

} // namespace fennik::test
