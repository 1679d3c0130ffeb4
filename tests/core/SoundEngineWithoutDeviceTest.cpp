// A machine without an audio device: its own program, as OpenAL reads its set-up once.
#include "core/SoundEngine.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SoundEngineWithoutDevice, WarnsOnceInTheLogAloneAndSkipsEveryCall)
{
    // ALSA told of no device at all, whatever cards this machine has.
    setenv("ALSOFT_DRIVERS", "alsa", 1);
    setenv("ALSA_CONFIG_PATH", "/dev/null", 1);
    setenv("ALSOFT_CONF", "/dev/null", 1);
    fennik::test::LogCapture log;
    testing::internal::CaptureStderr(); // where ALSA and OpenAL write their own complaints
    fennik::core::SoundEngine& engine = fennik::core::SoundEngine::instance();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(engine.hasDevice());

    // Nothing is decoded, so a file that is no sound is not reported either.
    engine.play2D("tests/core/SoundEngineTest.cpp");
    fennik::core::Sound sound = engine.play3D("assets/music/jump.wav", {1, 2, 3});
    EXPECT_TRUE(sound.empty() && sound.isFinished());
    sound.stop();
    engine.setListenerPosition({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(engine.activeVoices(), 0u);
    engine.playMusic("tests/core/SoundEngineTest.cpp");
    engine.setMusicVolume(50.0f);
    EXPECT_EQ(engine.musicPlaying(), "");
    EXPECT_TRUE(log.lines().size() == 1 && log.contains("[WARN]: No audio device")) << log.text();
}
