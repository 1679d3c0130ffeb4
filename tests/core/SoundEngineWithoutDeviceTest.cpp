// A machine without an audio device: its own program, as OpenAL reads its set-up once.
#include "core/SoundEngine.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

TEST(SoundEngineWithoutDevice, WarnsOnceInTheLogAloneAndSkipsEveryCall)
{
    // ALSA told of no device at all, whatever cards this machine has.
    setenv("ALSOFT_DRIVERS", "alsa", 1);
    setenv("ALSA_CONFIG_PATH", "/dev/null", 1);
    setenv("ALSOFT_CONF", "/dev/null", 1);
    fennik::test::LogCapture log;
    // Where ALSA and OpenAL write their own complaints, kept while the engine starts.
    std::FILE* errors = std::tmpfile();
    const int standardError = dup(STDERR_FILENO);
    dup2(fileno(errors), STDERR_FILENO);
    fennik::core::SoundEngine& engine = fennik::core::SoundEngine::instance();
    dup2(standardError, STDERR_FILENO);
    EXPECT_FALSE(engine.hasDevice());
    char written[4096];
    std::rewind(errors);
    EXPECT_EQ(std::string(written, std::fread(written, 1, sizeof written, errors)), "");
    std::fclose(errors);

    // Nothing is decoded, so a file that is no sound is not reported either.
    engine.play2D("tests/core/SoundEngineTest.cpp");
    fennik::core::Sound sound = engine.play3D("assets/music/jump.wav", {1, 2, 3});
    EXPECT_TRUE(sound.empty() && sound.isFinished());
    sound.stop();
    engine.setListenerPosition({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(engine.activeVoices(), 0u);
    EXPECT_TRUE(log.lines().size() == 1 && log.contains("[WARN]: No audio device")) << log.text();
}
