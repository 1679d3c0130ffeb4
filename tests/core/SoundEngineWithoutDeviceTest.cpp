// A machine without an audio device. OpenAL reads its set-up once per process, so
// this file is its own test program.
#include "core/SoundEngine.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SoundEngineWithoutDevice, WarnsOnceAndSkipsEveryCall)
{
    setenv("ALSOFT_DRIVERS", "fennik-no-such-output", 1);
    setenv("ALSOFT_CONF", "/dev/null", 1);
    fennik::test::LogCapture log;
    fennik::core::SoundEngine& engine = fennik::core::SoundEngine::instance();
    EXPECT_FALSE(engine.hasDevice());

    // Nothing is decoded, so a file that is no sound is not reported either.
    engine.play2D("tests/core/SoundEngineTest.cpp");
    fennik::core::Sound sound = engine.play3D("assets/music/jump.wav", {1, 2, 3});
    EXPECT_TRUE(sound.empty() && sound.isFinished());
    sound.stop();
    engine.setListenerPosition({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(engine.activeVoices(), 0u);
    ASSERT_EQ(log.lines().size(), 1u) << log.text();
    EXPECT_EQ(log.lines()[0].rfind("[WARN]: ", 0), 0u);
    EXPECT_NE(log.text().find("audio device"), std::string::npos);
}
