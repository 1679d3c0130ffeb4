// Real playback: OpenAL Soft mixes into a WAV file through its "wave" output, and
// the tests read back what a listener would have heard. The engine is one per
// process, so this file is its own test program and configures OpenAL before the
// engine first opens the device.
#include "core/SoundEngine.hpp"

#include "support/LogCapture.hpp"

#include <AL/al.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using fennik::core::Sound;
using fennik::core::SoundEngine;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int outputRate = 44100;
// Loudest sample still counted as silence: rounding in the mixer may leave a bit or two.
constexpr int silence = 8;

struct Files {
    fs::path directory;
    fs::path output;
    std::string shortTone;  // 0.15 s mono
    std::string mediumTone; // 0.5 s mono: still playing when checked right after it starts
    std::string longTone;   // 1.5 s mono
    std::string leftOnly;   // 0.15 s stereo, tone on the left channel only
    std::string notASound;  // text with a .wav name
};

Files files;

void writeTone(const std::string& path, double seconds, int channels, bool rightSilent)
{
    SF_INFO info{};
    info.samplerate = outputRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(seconds * outputRate);
    std::vector<float> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const float value = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * frame / outputRate));
        for (int channel = 0; channel < channels; ++channel)
            samples[frame * channels + channel] = (rightSilent && channel == 1) ? 0.0f : value;
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

// Entities keep their last sound until the process ends, after the engine is gone:
// made before main, this handle is released after the engine.
struct OutlivesEngine {
    Sound sound;
    ~OutlivesEngine()
    {
        sound.stop();
        if (!sound.isFinished())
            std::abort();
    }
} lingering;

// Sets OpenAL Soft up before anything in the process opens a device.
class WaveOutput : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/fennik-sound-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        files.directory = pattern;
        files.output = files.directory / "heard.wav";
        const fs::path config = files.directory / "alsoft.conf";
        std::ofstream(config) << "[general]\nchannels = stereo\nsample-type = int16\nfrequency = " << outputRate
                              << "\nhrtf = false\ndither = false\n\n[wave]\nfile = " << files.output.string() << "\n";
        setenv("ALSOFT_CONF", config.c_str(), 1);
        setenv("ALSOFT_DRIVERS", "wave", 1);

        files.shortTone = (files.directory / "short.wav").string();
        files.mediumTone = (files.directory / "medium.wav").string();
        files.longTone = (files.directory / "long.wav").string();
        files.leftOnly = (files.directory / "left.wav").string();
        files.notASound = (files.directory / "notes.wav").string();
        writeTone(files.shortTone, 0.15, 1, false);
        writeTone(files.mediumTone, 0.5, 1, false);
        writeTone(files.longTone, 1.5, 1, false);
        writeTone(files.leftOnly, 0.15, 2, true);
        std::ofstream(files.notASound) << "these are not samples\n";
    }

    void TearDown() override
    {
        // Leaves a tracked sound playing into the end of the process, the way a
        // level's entities do when the window closes.
        lingering.sound = SoundEngine::instance().play3D(files.longTone, {0, 0, -1});
        EXPECT_FALSE(lingering.sound.isFinished());
        // The engine keeps writing until the process ends; Linux lets it write on
        // into the unlinked file.
        std::error_code ignored;
        fs::remove_all(files.directory, ignored);
    }
};

const auto* const waveOutput = ::testing::AddGlobalTestEnvironment(new WaveOutput);


// Loudness of each output channel over a stretch of the mixed file.
struct Heard {
    int peakLeft = 0;
    int peakRight = 0;
    double energyLeft = 0.0;
    double energyRight = 0.0;
    int peak() const { return std::max(peakLeft, peakRight); }
};

// Where the "data" chunk of the output starts; OpenAL only fills in its size on close.
std::streamoff dataStart(std::ifstream& in)
{
    char riff[12];
    in.read(riff, 12);
    while (in) {
        char id[4];
        std::uint32_t size = 0;
        in.read(id, 4);
        in.read(reinterpret_cast<char*>(&size), 4);
        if (!in)
            break;
        if (std::memcmp(id, "data", 4) == 0)
            return in.tellg();
        in.seekg(size + (size & 1u), std::ios::cur);
    }
    return -1;
}

std::uintmax_t outputMark()
{
    return fs::exists(files.output) ? fs::file_size(files.output) : 0;
}

Heard heardSince(std::uintmax_t mark)
{
    std::ifstream in(files.output, std::ios::binary);
    const std::streamoff start = dataStart(in);
    EXPECT_GE(start, 0) << "no data chunk in the output";
    Heard heard;
    if (start < 0)
        return heard;
    // Whole stereo 16-bit frames only.
    std::streamoff from = std::max<std::streamoff>(start, static_cast<std::streamoff>(mark));
    from = start + (from - start) / 4 * 4;
    in.clear();
    in.seekg(from);
    std::int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) {
        heard.peakLeft = std::max(heard.peakLeft, std::abs(static_cast<int>(frame[0])));
        heard.peakRight = std::max(heard.peakRight, std::abs(static_cast<int>(frame[1])));
        heard.energyLeft += static_cast<double>(frame[0]) * frame[0];
        heard.energyRight += static_cast<double>(frame[1]) * frame[1];
    }
    return heard;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// The file lags the mixer by a period and a stdio buffer. Once another 16 KiB
// (about 90 ms of output) has arrived, everything mixed before is in it. Waiting
// for the output rather than the clock keeps this right on a busy machine.
void letOutputSettle()
{
    const auto start = outputMark();
    ASSERT_TRUE(waitUntil([start] { return outputMark() >= start + 16384; })) << "the wave output stalled";
}

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.hasDevice()) << "OpenAL's wave output did not open";
        engine.setListenerPosition({0, 0, 0}, {0, 0, -1}, {0, 0, 0}, {0, 1, 0});
        ASSERT_TRUE(waitUntil([this] { return engine.activeVoices() == 0; }));
        letOutputSettle();
    }

    SoundEngine& engine = SoundEngine::instance();
};

} // namespace

TEST_F(SoundEngineTest, TwoDimensionalPlayIsHeardOnBothSidesAndSilenceBeforeIt)
{
    const auto quietMark = outputMark();
    letOutputSettle();
    const auto mark = outputMark();
    EXPECT_LE(heardSince(quietMark).peak(), silence);

    // Where the listener stands must not matter for a sound played at the listener.
    engine.setListenerPosition({40, 3, -500}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0});
    engine.play2D(files.mediumTone);
    EXPECT_EQ(engine.activeVoices(), 1u);
    ASSERT_TRUE(waitUntil([this] { return engine.activeVoices() == 0; }));
    letOutputSettle();

    const Heard heard = heardSince(mark);
    EXPECT_GT(heard.peakLeft, 4000);
    EXPECT_GT(heard.peakRight, 4000);
    EXPECT_NEAR(heard.energyLeft / heard.energyRight, 1.0, 0.1);
}

TEST_F(SoundEngineTest, StereoFilesKeepTheirChannelsIn2DAndArePlacedIn3D)
{
    auto mark = outputMark();
    engine.play2D(files.leftOnly);
    ASSERT_TRUE(waitUntil([this] { return engine.activeVoices() == 0; }));
    letOutputSettle();
    Heard heard = heardSince(mark);
    EXPECT_GT(heard.energyLeft, 10.0 * heard.energyRight);

    // The same file at a position is mixed down to mono, or OpenAL would not place it.
    mark = outputMark();
    const Sound sound = engine.play3D(files.leftOnly, {2, 0, 0});
    ASSERT_TRUE(waitUntil([&] { return sound.isFinished(); }));
    letOutputSettle();
    heard = heardSince(mark);
    EXPECT_GT(heard.peak(), 1000);
    EXPECT_GT(heard.energyRight, 2.0 * heard.energyLeft);
}

struct Placement {
    const char* name;
    glm::vec3 listener;
    glm::vec3 facing;
    glm::vec3 source;
    bool louderOnRight;
};

void PrintTo(const Placement& placement, std::ostream* out)
{
    *out << placement.name;
}

class PositionalSound : public SoundEngineTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PositionalSound, IsHeardOnTheSideItPlaysOn)
{
    const Placement& placement = GetParam();
    alGetError();
    engine.setListenerPosition(placement.listener, placement.facing, {0, 0, 0}, {0, 1, 0});
    EXPECT_EQ(alGetError(), AL_NO_ERROR);

    const auto mark = outputMark();
    const Sound sound = engine.play3D(files.shortTone, placement.source);
    ASSERT_TRUE(waitUntil([&] { return sound.isFinished(); })) << "the sound never finished";
    letOutputSettle();

    const Heard heard = heardSince(mark);
    EXPECT_GT(heard.peak(), 1000);
    if (placement.louderOnRight)
        EXPECT_GT(heard.energyRight, 2.0 * heard.energyLeft);
    else
        EXPECT_GT(heard.energyLeft, 2.0 * heard.energyRight);
}

INSTANTIATE_TEST_SUITE_P(
    SoundEngine, PositionalSound,
    ::testing::Values(Placement{"FacingForwardSourceRight", {0, 0, 0}, {0, 0, -1}, {3, 0, 0}, true},
                      Placement{"FacingBackSourceRight", {0, 0, 0}, {0, 0, 1}, {3, 0, 0}, false},
                      Placement{"ZeroFacingMeansForward", {0, 0, 0}, {0, 0, 0}, {3, 0, 0}, true},
                      Placement{"ListenerAwayFromOrigin", {10, 0, -20}, {0, 0, -1}, {7, 0, -20}, false},
                      Placement{"LookingStraightUp", {0, 0, 0}, {0, 1, 0}, {3, 0, 0}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundEngineTest, StopSilencesATrackedSoundAtOnce)
{
    Sound sound = engine.play3D(files.longTone, {0, 0, -1});
    ASSERT_FALSE(sound.isFinished());
    std::this_thread::sleep_for(100ms);
    sound.stop();
    EXPECT_TRUE(sound.isFinished());
    EXPECT_EQ(engine.activeVoices(), 0u);
    // Still finished once the engine has reclaimed the voice behind it.
    EXPECT_TRUE(sound.isFinished());

    letOutputSettle();
    const auto mark = outputMark();
    letOutputSettle();
    letOutputSettle();
    EXPECT_LE(heardSince(mark).peak(), silence) << "the stopped sound is still playing";
    sound.stop();
}

TEST_F(SoundEngineTest, DropLetsTheSoundPlayOutWhileCopiesStillTrackIt)
{
    const auto mark = outputMark();
    Sound sound = engine.play3D(files.mediumTone, {0, 0, -1});
    const Sound copy = sound;
    sound.drop();
    EXPECT_TRUE(sound.empty());
    EXPECT_TRUE(sound.isFinished());
    sound.stop();
    sound.drop();

    EXPECT_FALSE(copy.isFinished()) << "dropping one handle stopped the sound";
    ASSERT_TRUE(waitUntil([&] { return copy.isFinished(); }));
    letOutputSettle();
    EXPECT_GT(heardSince(mark).peak(), 1000);
    EXPECT_EQ(engine.activeVoices(), 0u);
}

TEST_F(SoundEngineTest, FinishedSoundsAreReclaimedWhetherTrackedOrNot)
{
    std::vector<Sound> kept;
    for (int i = 0; i < 40; ++i) {
        engine.play2D(files.mediumTone);
        kept.push_back(engine.play3D(files.mediumTone, {0, 0, -2}));
    }
    EXPECT_EQ(engine.activeVoices(), 80u);
    // Listener updates come every frame and are enough to reclaim voices.
    ASSERT_TRUE(waitUntil([&] {
        for (const Sound& sound : kept)
            if (!sound.isFinished())
                return false;
        return true;
    }));
    engine.setListenerPosition({0, 0, 0}, {0, 0, -1}, {0, 0, 0}, {0, 1, 0});
    EXPECT_EQ(engine.activeVoices(), 0u);
    for (const Sound& sound : kept)
        EXPECT_TRUE(sound.isFinished());
}

TEST_F(SoundEngineTest, FileThatCannotBeDecodedIsReportedOnceAndNothingPlays)
{
    fennik::test::LogCapture log;
    const auto mark = outputMark();
    engine.play2D(files.notASound);
    engine.play2D(files.notASound);
    const Sound fromText = engine.play3D(files.notASound, {0, 0, -1});
    const Sound missing = engine.play3D("assets/music/no-such-sound.wav", {0, 0, -1});
    EXPECT_EQ(engine.activeVoices(), 0u);
    EXPECT_TRUE(fromText.empty());
    EXPECT_TRUE(missing.isFinished());

    // Once per file, whether it was asked for in 2D or at a position.
    EXPECT_EQ(log.count("[ERROR]: "), 2u) << log.text();
    EXPECT_EQ(log.count(files.notASound), 1u);
    EXPECT_EQ(log.count("assets/music/no-such-sound.wav"), 1u);

    letOutputSettle();
    EXPECT_LE(heardSince(mark).peak(), silence);
}
