// Real playback: OpenAL Soft mixes into a WAV file through its "wave" output, read
// back here as a listener would hear it. OpenAL reads its set-up once per process.
#include "core/SoundEngine.hpp"

#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

using fennik::core::Sound;
using fennik::core::SoundEngine;
using namespace std::chrono_literals;

namespace {

const fennik::test::TempDirectory directory{"fennik_sound"};
const std::string output = (directory / "heard.wav").string();

// OpenAL Soft is pointed at its wave output before anything opens a device.
const bool waveOutput = [] {
    const auto config = directory.write("alsoft.conf", "[general]\nchannels = stereo\nsample-type = int16\n"
                                                       "frequency = 44100\nhrtf = false\n[wave]\nfile = " + output);
    return setenv("ALSOFT_CONF", config.c_str(), 1) == 0 && setenv("ALSOFT_DRIVERS", "wave", 1) == 0;
}();

const std::string jump = "assets/music/jump.wav"; // mono, a third of a second

// What was mixed into the output after its byte `mark`: the peak and the energy per channel.
struct Heard { int peak = 0; double left = 0.0, right = 0.0; };
Heard heardSince(std::size_t mark)
{
    std::ifstream in(output, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::size_t start = bytes.find("data") + 8; // the chunk's size is filled in only on close
    Heard heard;
    for (std::size_t at = start + (std::max(mark, start) - start) / 4 * 4; at + 4 <= bytes.size(); at += 4) {
        std::int16_t frame[2];
        std::memcpy(frame, bytes.data() + at, 4);
        heard.peak = std::max({heard.peak, std::abs(int{frame[0]}), std::abs(int{frame[1]})});
        heard.left += static_cast<double>(frame[0]) * frame[0];
        heard.right += static_cast<double>(frame[1]) * frame[1];
    }
    return heard;
}

template <typename Done>
bool waitUntil(Done done)
{
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return done();
}

// The file lags the mixer by a period and a stdio buffer: once another 16 KiB has
// arrived, everything mixed before is in it, however busy the machine. Returns the mark.
std::size_t settledMark()
{
    const auto start = std::filesystem::file_size(output);
    EXPECT_TRUE(waitUntil([start] { return std::filesystem::file_size(output) >= start + 16384; })) << "output stalled";
    return std::filesystem::file_size(output);
}

} // namespace

TEST(SoundEngine, SoundsAreHeardWhereTheyPlayAndATrackedOneStopsAtOnce)
{
    SoundEngine& engine = SoundEngine::instance();
    ASSERT_TRUE(waveOutput && engine.hasDevice()) << "OpenAL's wave output did not open";
    // Energy on the right over energy on the left lies between `least` and `most`; no source plays 2D.
    struct Case { const char* what; glm::vec3 facing, source; double least, most; };
    const Case cases[] = {
        {"2D, whatever the listener's facing", {1, 0, 0}, {}, 0.9, 1.1},
        {"at the right", {0, 0, -1}, {3, 0, 0}, 2.0, 1e9},
        {"at the right, facing back", {0, 0, 1}, {3, 0, 0}, 0.0, 0.5},
        {"at the right, zero facing means forward", {0, 0, 0}, {3, 0, 0}, 2.0, 1e9},
        {"at the left, looking straight up", {0, 1, 0}, {-3, 0, 0}, 0.0, 0.5},
    };
    for (const Case& c : cases) {
        engine.setListenerPosition({0, 0, 0}, c.facing, {0, 0, 0}, {0, 1, 0});
        const std::size_t mark = settledMark();
        c.source == glm::vec3(0.0f) ? engine.play2D(jump) : (void)engine.play3D(jump, c.source);
        ASSERT_TRUE(waitUntil([&engine] { return engine.activeVoices() == 0; })) << c.what;
        settledMark();
        const Heard heard = heardSince(mark);
        EXPECT_GT(heard.peak, 1000) << c.what;
        EXPECT_TRUE(heard.right >= c.least * heard.left && heard.right <= c.most * heard.left) << c.what;
    }

    Sound sound = engine.play3D(jump, {0, 0, -1});
    Sound copy = sound;
    copy.drop();
    EXPECT_TRUE(copy.isFinished());
    EXPECT_FALSE(sound.isFinished()) << "a playing sound reports itself finished";
    sound.stop();
    EXPECT_TRUE(sound.isFinished());
    EXPECT_EQ(engine.activeVoices(), 0u);
    const std::size_t mark = settledMark();
    settledMark();
    EXPECT_LE(heardSince(mark).peak, 8) << "the stopped sound plays on"; // the mixer may round to a bit or two
}
