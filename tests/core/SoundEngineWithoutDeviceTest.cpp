// A machine without an audio device: OpenAL is told to use an output that does not
// exist before the engine first opens one, so this file is its own test program.
#include "core/SoundEngine.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

using fennik::core::Sound;
using fennik::core::SoundEngine;

TEST(SoundEngineWithoutDevice, WarnsOnceAndSkipsEveryCall)
{
    setenv("ALSOFT_DRIVERS", "fennik-no-such-output", 1);
    setenv("ALSOFT_CONF", "/dev/null", 1);
    fennik::test::LogCapture log;
    SoundEngine& engine = SoundEngine::instance();
    EXPECT_FALSE(engine.hasDevice());

    // A broken file and a missing one alike: nothing is decoded, nothing reported.
    engine.play2D("tests/core/SoundEngineTest.cpp");
    Sound sound = engine.play3D("assets/music/no-such-sound.wav", {1, 2, 3});
    EXPECT_TRUE(sound.empty());
    EXPECT_TRUE(sound.isFinished());
    sound.stop();
    // A zero facing and up must not reach OpenAL, which has no device to take them.
    engine.setListenerPosition({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(engine.activeVoices(), 0u);

    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u) << log.text();
    EXPECT_EQ(lines[0].rfind("[WARN]: ", 0), 0u);
    EXPECT_NE(lines[0].find("audio device"), std::string::npos);
}
