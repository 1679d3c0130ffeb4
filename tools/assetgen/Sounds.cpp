#include "Sounds.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

#include "Noise.hpp"

namespace fennik::assetgen {

namespace {

constexpr int sampleRate = 44100;
constexpr float twoPi = 6.2831853f;

void putU32(std::ofstream& out, std::uint32_t v)
{
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    out.write(reinterpret_cast<const char*>(b), 4);
}

void putU16(std::ofstream& out, std::uint16_t v)
{
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    out.write(reinterpret_cast<const char*>(b), 2);
}

bool writeWav(const std::string& path, const std::vector<float>& samples)
{
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        return false;
    }
    auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    putU32(out, 36 + dataBytes);
    out.write("WAVE", 4);
    out.write("fmt ", 4);
    putU32(out, 16);
    putU16(out, 1); // PCM
    putU16(out, 1); // mono
    putU32(out, sampleRate);
    putU32(out, sampleRate * 2);
    putU16(out, 2);
    putU16(out, 16);
    out.write("data", 4);
    putU32(out, dataBytes);
    for (float s : samples) {
        auto v = static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
        putU16(out, static_cast<std::uint16_t>(v));
    }
    return static_cast<bool>(out);
}

// Scales the clip so its loudest sample sits at `peak`, and fades the last few
// milliseconds so the clip never ends on a click.
void finish(std::vector<float>& samples, float peak)
{
    float loudest = 0.0f;
    for (float s : samples) {
        loudest = std::max(loudest, std::fabs(s));
    }
    if (loudest > 0.0f) {
        for (float& s : samples) {
            s *= peak / loudest;
        }
    }
    size_t fade = std::min<size_t>(samples.size(), sampleRate / 100);
    for (size_t i = 0; i < fade; ++i) {
        samples[samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
    }
}

// A springy "boing": the pitch shoots up and wobbles while the tone rings out.
std::vector<float> jumpSound()
{
    const float duration = 0.34f;
    std::vector<float> samples(static_cast<size_t>(duration * sampleRate));
    float phase = 0.0f;
    for (size_t i = 0; i < samples.size(); ++i) {
        float t = static_cast<float>(i) / sampleRate;
        float wobble = 1.0f + 0.07f * std::sin(twoPi * 17.0f * t) * std::exp(-t / 0.15f);
        float frequency = (250.0f + 420.0f * (1.0f - std::exp(-t / 0.06f))) * wobble;
        phase += twoPi * frequency / sampleRate;
        float attack = std::min(1.0f, t / 0.004f);
        float envelope = attack * std::exp(-t / 0.11f);
        float tone = std::sin(phase) + 0.35f * std::sin(2.0f * phase + 0.3f) + 0.12f * std::sin(3.0f * phase);
        samples[i] = tone * envelope;
    }
    finish(samples, 0.7f);
    return samples;
}

// A soft body blow: a falling low tone under a short burst of muffled noise.
std::vector<float> hitSound()
{
    const float duration = 0.3f;
    std::vector<float> samples(static_cast<size_t>(duration * sampleRate));
    Rng rng(77);
    float phase = 0.0f;
    float lowPassed = 0.0f;
    for (size_t i = 0; i < samples.size(); ++i) {
        float t = static_cast<float>(i) / sampleRate;
        float frequency = 48.0f + 80.0f * std::exp(-t / 0.04f);
        phase += twoPi * frequency / sampleRate;
        float body = std::sin(phase) * std::exp(-t / 0.085f) * std::min(1.0f, t / 0.002f);
        float white = rng.unit() * 2.0f - 1.0f;
        lowPassed += (white - lowPassed) * 0.18f;
        float impact = lowPassed * std::exp(-t / 0.018f) * 2.2f;
        float knock = std::sin(twoPi * 180.0f * t) * std::exp(-t / 0.012f) * 0.5f;
        samples[i] = body + impact + knock;
    }
    finish(samples, 0.85f);
    return samples;
}

} // namespace

bool writeSounds(const std::string& musicDirectory)
{
    bool ok = writeWav(musicDirectory + "/jump.wav", jumpSound());
    ok = writeWav(musicDirectory + "/hit.wav", hitSound()) && ok;
    // A tenth of a second of silence: the start menu plays it once to wake the sound device.
    ok = writeWav(musicDirectory + "/empty.wav", std::vector<float>(sampleRate / 10, 0.0f)) && ok;
    return ok;
}

} // namespace fennik::assetgen
