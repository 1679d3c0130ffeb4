// The sound effects: mono (so the sound engine can place them), 16-bit PCM, short.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <sndfile.h>

namespace {

struct Clip {
    SF_INFO info{};
    std::vector<float> samples;
    bool opened = false;
};

Clip readClip(const std::string& path)
{
    Clip clip;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &clip.info);
    if (!file) {
        return clip;
    }
    clip.opened = true;
    clip.samples.resize(static_cast<size_t>(clip.info.frames * clip.info.channels));
    sf_read_float(file, clip.samples.data(), static_cast<sf_count_t>(clip.samples.size()));
    sf_close(file);
    return clip;
}

float peak(const Clip& clip)
{
    float loudest = 0.0f;
    for (float s : clip.samples) {
        loudest = std::max(loudest, std::fabs(s));
    }
    return loudest;
}

TEST(SoundFiles, AreShortMono16BitClips)
{
    for (const std::string name : {"jump", "hit", "empty"}) {
        Clip clip = readClip("assets/music/" + name + ".wav");
        ASSERT_TRUE(clip.opened) << name;
        EXPECT_EQ(clip.info.channels, 1) << name;
        EXPECT_EQ(clip.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
        EXPECT_EQ(clip.info.samplerate, 44100) << name;
        EXPECT_GT(clip.info.frames, 0) << name;
        EXPECT_LT(clip.info.frames, 44100) << name << " is longer than a second";
    }
}

TEST(SoundFiles, EffectsAreAudibleWithoutClippingAndTheEmptyOneIsSilent)
{
    for (const std::string name : {"jump", "hit"}) {
        Clip clip = readClip("assets/music/" + name + ".wav");
        ASSERT_TRUE(clip.opened);
        EXPECT_GT(peak(clip), 0.3f) << name;
        EXPECT_LT(peak(clip), 0.99f) << name;
        // Fades out instead of ending on a click.
        EXPECT_LT(std::fabs(clip.samples.back()), 0.01f) << name;
    }
    Clip empty = readClip("assets/music/empty.wav");
    ASSERT_TRUE(empty.opened);
    EXPECT_EQ(peak(empty), 0.0f);
}

} // namespace
