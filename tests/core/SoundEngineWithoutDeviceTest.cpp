// A machine without an audio device: OpenAL is told to use an output that does
// not exist, before the engine first opens one. The engine is one per process,
// so this file is its own test program.
#include "core/SoundEngine.hpp"

#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

using fennik::core::Sound;
using fennik::core::SoundEngine;

namespace {

class NoAudioDevice : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "fennik-no-such-output", 1);
        setenv("ALSOFT_CONF", "/dev/null", 1);
    }
};

const auto* const noAudioDevice = ::testing::AddGlobalTestEnvironment(new NoAudioDevice);

} // namespace

TEST(SoundEngineWithoutDevice, WarnsOnceAndSkipsEveryCall)
{
    fennik::test::LogCapture log;
    SoundEngine& engine = SoundEngine::instance();
    EXPECT_FALSE(engine.hasDevice());
    EXPECT_EQ(&SoundEngine::instance(), &engine);

    // A real sound file and a broken one alike: nothing is decoded, nothing reported.
    engine.play2D("tests/core/SoundEngineTest.cpp");
    engine.play2D("assets/music/no-such-sound.wav");
    Sound sound = engine.play3D("assets/music/no-such-sound.wav", {1, 2, 3});
    EXPECT_TRUE(sound.empty());
    EXPECT_TRUE(sound.isFinished());
    sound.stop();
    sound.drop();
    Sound copy = sound;
    copy.stop();
    engine.setListenerPosition({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    engine.setListenerPosition({1, 2, 3}, {0, 0, -1}, {0, 0, 0}, {0, 1, 0});
    EXPECT_EQ(engine.activeVoices(), 0u);

    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u) << log.text();
    EXPECT_EQ(lines[0].rfind("[WARN]: ", 0), 0u);
    EXPECT_NE(lines[0].find("audio device"), std::string::npos);
}
