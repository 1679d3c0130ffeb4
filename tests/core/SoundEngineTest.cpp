// Real playback: OpenAL Soft mixes into a WAV file through its "wave" output, and
// the tests read back what a listener would have heard. OpenAL reads its set-up
// once per process, so this file is its own test program.
#include "core/SoundEngine.hpp"

#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

using fennik::core::Sound;
using fennik::core::SoundEngine;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int rate = 44100;
const fennik::test::TempDirectory directory{"fennik_sound"};
const fs::path output = directory / "heard.wav";

// OpenAL Soft is pointed at its wave output before anything opens a device.
const bool waveOutput = [] {
    const fs::path config = directory.write("alsoft.conf", "[general]\nchannels = stereo\nsample-type = int16\n"
                                                           "frequency = 44100\nhrtf = false\n[wave]\nfile = " +
                                                               output.string() + "\n");
    return setenv("ALSOFT_CONF", config.c_str(), 1) == 0 && setenv("ALSOFT_DRIVERS", "wave", 1) == 0;
}();

// A 440 Hz tone on the first channel; a stereo file's right channel stays silent.
std::string writeTone(const char* name, double seconds, int channels)
{
    const std::string path = (directory / name).string();
    SF_INFO info{0, rate, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> samples(frames * channels, 0.0f);
    for (std::size_t frame = 0; frame < frames; ++frame)
        samples[frame * channels] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * frame / rate));
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
    return path;
}

const std::string shortTone = writeTone("short.wav", 0.15, 1);
const std::string longTone = writeTone("long.wav", 1.5, 1);
const std::string leftOnly = writeTone("left.wav", 0.15, 2);

// Entities keep their last sound until the process ends: made before main, this
// handle is released after the engine is gone, and must not touch it then.
struct OutlivesEngine {
    Sound sound;
    ~OutlivesEngine() { sound.stop(); }
} lingering;

std::uintmax_t outputMark() { return fs::exists(output) ? fs::file_size(output) : 0; }

struct Heard {
    int peak = 0;
    double left = 0.0, right = 0.0; // energy per channel
};

// What was mixed from `mark` on, in whole stereo 16-bit frames.
Heard heardSince(std::uintmax_t mark)
{
    std::ifstream in(output, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::size_t start = bytes.find("data") + 8; // the chunk's size is filled in only on close
    Heard heard;
    for (std::size_t at = start + (std::max<std::size_t>(mark, start) - start) / 4 * 4; at + 4 <= bytes.size(); at += 4) {
        std::int16_t frame[2];
        std::memcpy(frame, bytes.data() + at, 4);
        heard.peak = std::max({heard.peak, std::abs(int{frame[0]}), std::abs(int{frame[1]})});
        heard.left += static_cast<double>(frame[0]) * frame[0];
        heard.right += static_cast<double>(frame[1]) * frame[1];
    }
    return heard;
}

bool waitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return done();
}

// The file lags the mixer by a period and a stdio buffer: once another 16 KiB has
// arrived, everything mixed before is in it, however busy the machine.
void letOutputSettle()
{
    const auto start = outputMark();
    ASSERT_TRUE(waitUntil([start] { return outputMark() >= start + 16384; })) << "the wave output stalled";
}

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(waveOutput && engine.hasDevice()) << "OpenAL's wave output did not open";
        ASSERT_TRUE(waitUntil([this] { return engine.activeVoices() == 0; })) << "finished voices are kept";
        letOutputSettle();
    }
    SoundEngine& engine = SoundEngine::instance();
};

} // namespace

TEST_F(SoundEngineTest, SoundsAreHeardWhereTheyPlay)
{
    struct Case { const char* what; std::string file; glm::vec3 facing, source; double rightToLeft; };
    const Case cases[] = {
        {"2D, whatever the listener's facing", shortTone, {1, 0, 0}, {}, 1.0},
        {"2D stereo keeps its channels", leftOnly, {0, 0, -1}, {}, 0.1},
        {"at the right", shortTone, {0, 0, -1}, {3, 0, 0}, 2.0},
        {"at the right, facing back", shortTone, {0, 0, 1}, {3, 0, 0}, 0.5},
        {"at the right, zero facing means forward", shortTone, {0, 0, 0}, {3, 0, 0}, 2.0},
        // Placed stereo is mixed down to mono, or OpenAL would not place it.
        {"stereo at the right", leftOnly, {0, 0, -1}, {2, 0, 0}, 2.0},
    };
    for (const Case& c : cases) {
        engine.setListenerPosition({0, 0, 0}, c.facing, {0, 0, 0}, {0, 1, 0});
        const auto mark = outputMark();
        Sound sound;
        if (c.source == glm::vec3(0.0f))
            engine.play2D(c.file);
        else
            sound = engine.play3D(c.file, c.source);
        ASSERT_TRUE(waitUntil([this] { return engine.activeVoices() == 0; })) << c.what;
        letOutputSettle();
        const Heard heard = heardSince(mark);
        EXPECT_GT(heard.peak, 1000) << c.what;
        const double ratio = heard.right / heard.left;
        if (c.rightToLeft == 1.0)
            EXPECT_NEAR(ratio, 1.0, 0.1) << c.what;
        else
            EXPECT_TRUE(c.rightToLeft > 1.0 ? ratio > c.rightToLeft : ratio < c.rightToLeft) << c.what << ": " << ratio;
    }
}

TEST_F(SoundEngineTest, StopSilencesATrackedSoundAtOnceAndDroppingACopyDoesNot)
{
    Sound sound = engine.play3D(longTone, {0, 0, -1});
    Sound copy = sound;
    copy.drop();
    EXPECT_TRUE(copy.isFinished());
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(sound.isFinished()) << "a playing sound reports itself finished";
    sound.stop();
    EXPECT_TRUE(sound.isFinished());
    EXPECT_EQ(engine.activeVoices(), 0u);

    letOutputSettle();
    const auto mark = outputMark();
    letOutputSettle();
    letOutputSettle();
    EXPECT_LE(heardSince(mark).peak, 8) << "the stopped sound is still playing"; // the mixer may round to a bit or two

    // Left playing into the end of the process, the way a level's entities do when the window closes.
    lingering.sound = engine.play3D(longTone, {0, 0, -1});
}
