// Real playback: OpenAL Soft mixes into a WAV file through its "wave" output, read
// back here as a listener would hear it. OpenAL reads its set-up once per process.
#include "core/SoundEngine.hpp"

#include "core/DecodedSound.hpp"
#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <thread>
#include <vector>

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

namespace {

// The output's frames after byte `mark`, each channel's sample.
std::vector<std::array<int, 2>> framesSince(std::size_t mark)
{
    std::ifstream in(output, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::size_t start = bytes.find("data") + 8;
    std::vector<std::array<int, 2>> frames;
    for (std::size_t at = start + (std::max(mark, start) - start) / 4 * 4; at + 4 <= bytes.size(); at += 4) {
        std::int16_t frame[2];
        std::memcpy(frame, bytes.data() + at, 4);
        frames.push_back({frame[0], frame[1]});
    }
    return frames;
}

// The music plays on by itself, whatever the frames do.
void playFor(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// How much of each pitch class (C = 0) sounds from G3 to E6, as fractions of the whole.
std::array<double, 12> pitchClasses(const std::vector<std::array<int, 2>>& frames)
{
    std::array<double, 12> energy{};
    for (int note = 55; note <= 88; ++note) {
        const double coefficient = 2.0 * std::cos(2.0 * M_PI * 440.0 * std::pow(2.0, (note - 69) / 12.0) / 44100.0);
        for (std::size_t block = 0; block + 8192 <= frames.size(); block += 8192) {
            double s1 = 0.0, s2 = 0.0;
            for (std::size_t n = 0; n < 8192; ++n) {
                const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(n) / 8192.0);
                const double s0 = (frames[block + n][0] + frames[block + n][1]) * window + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            energy[static_cast<std::size_t>(note % 12)] += s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        }
    }
    const double total = std::accumulate(energy.begin(), energy.end(), 0.0);
    for (double& share : energy)
        share /= total;
    return energy;
}

double overlap(const std::array<double, 12>& a, const std::array<double, 12>& b)
{
    return std::inner_product(a.begin(), a.end(), b.begin(), 0.0) /
           std::sqrt(std::inner_product(a.begin(), a.end(), a.begin(), 0.0) *
                     std::inner_product(b.begin(), b.end(), b.begin(), 0.0));
}

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// A mono 16-bit WAV of a 450 Hz sine, a whole number of periods long: looped
// without a seam it is one unbroken tone.
std::string writeTone(const std::string& name, double seconds)
{
    const auto frames = static_cast<std::uint32_t>(seconds * 44100.0);
    std::string bytes = "RIFF....WAVEfmt ";
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i));
    };
    put(16, 4), put(1, 2), put(1, 2), put(44100, 4), put(88200, 4), put(2, 2), put(16, 2);
    bytes += "data";
    put(frames * 2, 4);
    for (std::uint32_t n = 0; n < frames; ++n)
        put(static_cast<std::uint16_t>(std::lround(12000.0 * std::sin(2.0 * M_PI * 450.0 * n / 44100.0))), 2);
    const std::uint32_t riff = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + static_cast<std::size_t>(i)] = static_cast<char>(riff >> (8 * i));
    return directory.write(name, bytes).string();
}

} // namespace

// The music through the mixer: its own gain and the effects' under the master, the
// piece of the level that is active, and a loop without a seam in flat memory.
TEST(SoundEngine, MusicIsHeardThroughItsOwnGainAndTheLevelsPieceLoopsWithoutASeam)
{
    SoundEngine& engine = SoundEngine::instance();
    ASSERT_TRUE(waveOutput && engine.hasDevice());
    engine.setVolume(100.0f);
    engine.setEffectsVolume(0.0f);
    engine.setMusicVolume(80.0f);
    engine.playMusic(SoundEngine::musicFor("StartMenu"));
    playFor(1.5); // its fade in
    engine.play2D(jump);
    std::size_t mark = settledMark();
    playFor(2.0);
    const auto menu = framesSince(mark);
    const Heard heardMenu = heardSince(mark);
    EXPECT_GT(heardMenu.peak, 1000) << "no music with the effects at 0";

    // With the music down too, the jump is not heard until the effects are up.
    engine.setMusicVolume(0.0f);
    playFor(0.2);
    mark = settledMark();
    engine.play2D(jump);
    playFor(1.0);
    EXPECT_LE(heardSince(mark).peak, 8) << "the music or the effects are heard at 0";
    engine.setEffectsVolume(100.0f);
    mark = settledMark();
    engine.play2D(jump);
    playFor(0.5);
    settledMark();
    EXPECT_GT(heardSince(mark).peak, 1000) << "the effects are not heard at 100";

    // The boss's piece after a switch, recognised by the pitches the recording holds.
    engine.setMusicVolume(80.0f);
    engine.playMusic(SoundEngine::musicFor("LevelBoss"));
    playFor(1.5);
    mark = settledMark();
    playFor(2.0);
    const auto boss = framesSince(mark);
    const auto decoded = [](const std::string& level) {
        auto sound = fennik::core::DecodedSound::read(SoundEngine::musicFor(level));
        std::vector<std::array<int, 2>> frames;
        for (std::size_t n = 0; sound && n < 44100 * 5; ++n)
            frames.push_back({sound->samples[2 * n], sound->samples[2 * n + 1]});
        return pitchClasses(frames);
    };
    const auto menuPiece = decoded("StartMenu"), bossPiece = decoded("LevelBoss");
    EXPECT_GT(overlap(pitchClasses(menu), menuPiece), overlap(pitchClasses(menu), bossPiece) + 0.2);
    EXPECT_GT(overlap(pitchClasses(boss), bossPiece), overlap(pitchClasses(boss), menuPiece) + 0.2)
        << "the switch did not change the piece";
    EXPECT_EQ(engine.musicPlaying(), SoundEngine::musicFor("LevelBoss"));

    // Paused: the same piece, well down.
    engine.duckMusic(true);
    playFor(0.5);
    mark = settledMark();
    playFor(2.0);
    const auto ducked = framesSince(mark);
    engine.duckMusic(false);
    const auto loudness = [](const std::vector<std::array<int, 2>>& frames) {
        double sum = 0.0;
        for (const auto& frame : frames)
            sum += double(frame[0]) * frame[0] + double(frame[1]) * frame[1];
        return sum / double(std::max<std::size_t>(frames.size(), 1));
    };
    EXPECT_GT(loudness(ducked), 0.01 * loudness(boss)) << "ducked to silence";
    EXPECT_LT(loudness(ducked), 0.3 * loudness(boss)) << "the paused music is not lowered";

    // A fifth of a second looped for seconds: one steady tone, in memory that stays put.
    engine.playMusic(writeTone("loop.wav", 0.2));
    playFor(2.0);
    const long before = residentKilobytes();
    mark = settledMark();
    playFor(4.0);
    settledMark();
    const auto tone = framesSince(mark);
    const long after = residentKilobytes();
    ASSERT_GT(tone.size(), 44100u * 3);
    int peak = 0, steepest = 0;
    for (std::size_t n = 1; n < tone.size(); ++n) {
        peak = std::max(peak, std::abs(tone[n][0]));
        steepest = std::max(steepest, std::abs(tone[n][0] - tone[n - 1][0]));
    }
    // A sine's steepest step is 2 pi f / rate of its peak; a gap or a lost sample is far more.
    EXPECT_GT(peak, 5000);
    EXPECT_LT(steepest, 1.15 * 2.0 * M_PI * 450.0 / 44100.0 * peak) << "the loop point has a seam";
    for (std::size_t n = 0; n + 441 <= tone.size(); n += 441) {
        int loudest = 0;
        for (std::size_t i = n; i < n + 441; ++i)
            loudest = std::max(loudest, std::abs(tone[i][0]));
        ASSERT_GT(loudest, peak * 9 / 10) << "a gap at " << n;
    }
    EXPECT_LT(after - before, 512) << "memory grows as the music loops";

    // A file that is not music: one line naming it, then silence, and the game goes on.
    const std::string garbage = directory.write("garbage.ogg", "OggS not really music").string();
    {
        fennik::test::LogCapture log;
        engine.playMusic(garbage);
        playFor(1.2);
        engine.playMusic("");
        engine.playMusic(garbage);
        EXPECT_EQ(log.count(garbage), 1u) << log.text();
    }
    mark = settledMark();
    playFor(1.0);
    EXPECT_LE(heardSince(mark).peak, 8) << "the broken piece, or the one before, is heard";
    engine.playMusic("");
}
