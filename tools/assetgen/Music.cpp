#include "Music.hpp"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Noise.hpp"

namespace fennik::assetgen {

namespace {

constexpr int sampleRate = 44100;
constexpr double twoPi = 6.283185307179586;
constexpr double tailSeconds = 5.0; // the longest ring past the loop point: drone release, echoes

using Mode = std::array<int, 7>;
// Maqam-like modes without quarter tones, in semitones above the tonic.
constexpr Mode kurd = {0, 1, 3, 5, 7, 8, 10};
constexpr Mode hijaz = {0, 1, 4, 5, 7, 8, 10};
constexpr Mode nahawand = {0, 2, 3, 5, 7, 8, 11};
constexpr Mode doubleHijaz = {0, 1, 4, 5, 7, 8, 11};
constexpr Mode mixolydian = {0, 2, 4, 5, 7, 9, 10};

struct Piece {
    const char* file;
    int tonic; // MIDI note of the melody's first degree
    Mode mode;
    double beatsPerMinute;
    const char* rhythm;   // one bar in sixteenths: D dum, T tek, k ka, . rest
    const char* sections; // four bars each: Intro, A theme, B and C development, V variation, Outro
    int motion;           // 0 calm, 1 light, 2 travelling, 3 driving
    bool ney;             // a ney takes the melody in the development
    float brightness;     // of the plucked strings, 0 dark to 1 bright
    std::uint64_t seed;
};

// Calm for the menu and the test area, lighter for the tutorial, travelling for the
// levels, driving for the boss.
const Piece pieces[] = {
    {"start_menu.ogg", 62, kurd, 70.0, "D.......T.....k.", "IABVAO", 0, true, 0.35f, 11},
    {"test_level.ogg", 57, nahawand, 76.0, "D.....k.T.......", "IABAO", 0, true, 0.4f, 23},
    {"tutorial_level.ogg", 65, mixolydian, 100.0, "D...T.k.D.k.T...", "IABAVCO", 1, false, 0.75f, 37},
    {"level_one.ogg", 62, hijaz, 96.0, "D.T...T.D...T...", "IABAVCO", 2, true, 0.55f, 41},
    {"level_two.ogg", 64, doubleHijaz, 104.0, "D.D...T.D...T.k.", "IAVBACO", 2, false, 0.55f, 53},
    {"level_boss.ogg", 61, hijaz, 132.0, "D.T.k.D.D.k.T.k.", "IAABVCCAO", 3, false, 0.65f, 67},
};

double frequencyOf(double midi)
{
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// A stereo render of one piece, `tail` longer than the loop.
struct Track {
    std::vector<float> left, right;

    explicit Track(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    // Equal-power pan: -1 hard left, 1 hard right.
    void add(std::size_t at, float value, float pan)
    {
        if (at >= left.size())
            return;
        const float angle = (pan + 1.0f) * 0.25f * static_cast<float>(twoPi) * 0.5f;
        left[at] += value * std::cos(angle);
        right[at] += value * std::sin(angle);
    }
};

// One cycle of a harmonic mix, read with linear interpolation.
struct Wavetable {
    std::vector<float> cycle;

    explicit Wavetable(std::initializer_list<float> harmonics) : cycle(2048, 0.0f)
    {
        int number = 1;
        for (float amplitude : harmonics) {
            for (std::size_t i = 0; i < cycle.size(); ++i)
                cycle[i] += amplitude * static_cast<float>(std::sin(twoPi * number * static_cast<double>(i) / 2048.0));
            ++number;
        }
    }
    float at(double phase) const // phase in cycles
    {
        const double position = (phase - std::floor(phase)) * 2048.0;
        const auto index = static_cast<std::size_t>(position);
        const float blend = static_cast<float>(position - static_cast<double>(index));
        return cycle[index & 2047] * (1.0f - blend) + cycle[(index + 1) & 2047] * blend;
    }
};

const Wavetable droneTable({1.0f, 0.5f, 0.33f, 0.2f, 0.14f, 0.08f, 0.05f});
const Wavetable neyTable({1.0f, 0.28f, 0.1f, 0.04f});

// A raised-cosine rise over `samples`: 0 at 0, 1 at the end.
float rise(double sample, double samples)
{
    if (sample >= samples)
        return 1.0f;
    return static_cast<float>(0.5 - 0.5 * std::cos(std::max(0.0, sample) / samples * twoPi * 0.5));
}

// A plucked string (Karplus-Strong): a burst of filtered noise circulating in a delay
// line one period long, damped by a two-point average. An all-pass filter supplies the
// fraction of a sample that keeps high notes in tune. Held `length` samples, then muted.
void pluck(Track& track, std::size_t start, double midi, float velocity, float pan, float brightness,
           double ringSeconds, std::size_t length, Rng& rng)
{
    const double period = sampleRate / frequencyOf(midi);
    auto delay = static_cast<std::size_t>(std::floor(period - 0.5));
    double fraction = period - 0.5 - static_cast<double>(delay);
    if (fraction < 0.1) {
        --delay;
        fraction += 1.0;
    }
    const double allpass = (1.0 - fraction) / (1.0 + fraction);
    const double loss = std::pow(0.001, 1.0 / (frequencyOf(midi) * ringSeconds));

    std::vector<double> line(delay);
    double smooth = 0.0;
    const double cutoff = 0.15 + 0.8 * brightness * std::min(1.0, 0.6 + 0.4 * velocity);
    for (double& value : line) {
        smooth += (rng.range(-1.0f, 1.0f) - smooth) * cutoff;
        value = smooth;
    }
    double mean = 0.0;
    for (double value : line)
        mean += value;
    mean /= static_cast<double>(line.size());
    for (double& value : line)
        value -= mean;

    const double release = 0.08 * sampleRate;
    const std::size_t end = std::min<std::size_t>(length + static_cast<std::size_t>(release),
                                                  static_cast<std::size_t>(ringSeconds * sampleRate));
    double previous = 0.0, allpassIn = 0.0, allpassOut = 0.0;
    std::size_t index = 0;
    for (std::size_t n = 0; n < end; ++n) {
        const double out = line[index];
        const double averaged = loss * 0.5 * (out + previous);
        previous = out;
        allpassOut = allpass * averaged + allpassIn - allpass * allpassOut;
        allpassIn = averaged;
        line[index] = allpassOut;
        index = index + 1 == line.size() ? 0 : index + 1;

        float envelope = rise(static_cast<double>(n), 0.002 * sampleRate);
        if (n > length)
            envelope *= 1.0f - rise(static_cast<double>(n - length), release);
        track.add(start + n, static_cast<float>(out) * envelope * velocity, pan);
    }
}

// The drone: a held tone rich in harmonics, two voices a few cents apart that beat
// slowly, swelling in and out over `fade` samples.
void drone(Track& track, std::size_t start, std::size_t length, double midi, float gain, float pan)
{
    const double fade = 1.5 * sampleRate;
    const double low = frequencyOf(midi - 0.03) / sampleRate;
    const double high = frequencyOf(midi + 0.03) / sampleRate;
    const auto total = length + static_cast<std::size_t>(fade);
    for (std::size_t n = 0; n < total; ++n) {
        const auto time = static_cast<double>(n);
        float envelope = rise(time, fade);
        if (n > length)
            envelope *= 1.0f - rise(time - static_cast<double>(length), fade);
        const float breath = 0.85f + 0.15f * static_cast<float>(std::sin(twoPi * 0.11 * time / sampleRate));
        const float value = 0.5f * (droneTable.at(low * time) + droneTable.at(high * time + 0.37));
        track.add(start + n, value * envelope * breath * gain, pan);
    }
}

// A ney: a breathy flute whose vibrato grows as the note is held.
void ney(Track& track, std::size_t start, double midi, float velocity, float pan, std::size_t length, Rng& rng)
{
    const double attack = 0.07 * sampleRate;
    const double release = 0.15 * sampleRate;
    const double frequency = frequencyOf(midi);
    double phase = 0.0, breath = 0.0;
    for (std::size_t n = 0; n < length + static_cast<std::size_t>(release); ++n) {
        const auto time = static_cast<double>(n);
        const double vibrato = 0.005 * rise(time - 0.25 * sampleRate, 0.5 * sampleRate) *
                               std::sin(twoPi * 5.2 * time / sampleRate);
        phase += frequency * (1.0 + vibrato) / sampleRate;
        float envelope = rise(time, attack);
        if (n > length)
            envelope *= 1.0f - rise(time - static_cast<double>(length), release);
        breath += (rng.range(-1.0f, 1.0f) - breath) * 0.3;
        const float value = neyTable.at(phase) + static_cast<float>(breath) * 0.12f;
        track.add(start + n, value * envelope * velocity * 0.5f, pan);
    }
}

// Band-pass biquad (constant peak gain), for the drums' skins and jingles.
struct BandPass {
    double b0, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    BandPass(double frequency, double q)
    {
        const double w = twoPi * frequency / sampleRate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        b0 = alpha / a0;
        b2 = -alpha / a0;
        a1 = -2.0 * std::cos(w) / a0;
        a2 = (1.0 - alpha) / a0;
    }
    double operator()(double x)
    {
        const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// A darbuka: the deep "dum" in the middle of the skin, the sharp "tek" at its rim,
// the softer "ka" of the other hand; 'r' is a riq's jingle. The rim rings at `tuning`
// Hz, the ka a fifth lower, so the drums sit in the piece's mode.
void drum(Track& track, std::size_t start, char stroke, float velocity, float pan, double tuning, Rng& rng)
{
    if (stroke == 'D') {
        double phase = 0.0;
        BandPass thump(180.0, 0.8);
        for (std::size_t n = 0; n < static_cast<std::size_t>(0.6 * sampleRate); ++n) {
            const double time = static_cast<double>(n) / sampleRate;
            phase += (62.0 + 45.0 * std::exp(-time / 0.03)) / sampleRate;
            const double body = std::sin(twoPi * phase) * std::exp(-time / 0.16);
            const double slap = thump(rng.range(-1.0f, 1.0f)) * std::exp(-time / 0.012) * 2.0;
            const float onset = rise(static_cast<double>(n), 40.0);
            track.add(start + n, static_cast<float>((body + slap) * velocity) * onset, pan);
        }
        return;
    }
    const bool jingle = stroke == 'r';
    BandPass skin(jingle ? 7000.0 : stroke == 'T' ? 2600.0 : 1900.0, jingle ? 3.0 : 1.6);
    const double ring = jingle ? 0.035 : stroke == 'T' ? 0.045 : 0.03;
    const double tone = stroke == 'T' ? tuning : tuning / 1.5;
    for (std::size_t n = 0; n < static_cast<std::size_t>(8.0 * ring * sampleRate); ++n) {
        const double time = static_cast<double>(n) / sampleRate;
        const double decay = std::exp(-time / ring);
        double value = skin(rng.range(-1.0f, 1.0f)) * 3.0 * decay;
        if (!jingle)
            value += 0.35 * std::sin(twoPi * tone * time) * std::exp(-time / (ring * 1.5));
        track.add(start + n, static_cast<float>(value * velocity) * rise(static_cast<double>(n), 30.0), pan);
    }
}

struct Note {
    int step;     // sixteenths from the phrase's start
    int length;   // in sixteenths
    int degree;   // of the mode, 0 the tonic; 7 the octave above
};
using Phrase = std::vector<Note>;

// Rhythm cells of one beat (four sixteenths), by motion; 8 spans two beats.
const std::vector<std::vector<int>> cellsByMotion[] = {
    {{8}, {4}, {4}, {3, 1}, {2, 2}},
    {{4}, {2, 2}, {3, 1}, {2, 1, 1}, {1, 1, 2}},
    {{2, 2}, {3, 1}, {1, 1, 2}, {4}, {2, 1, 1}, {2, 2}},
    {{1, 1, 1, 1}, {2, 1, 1}, {2, 2}, {1, 1, 2}, {3, 1}},
};

int nextDegree(int degree, Rng& rng)
{
    const float roll = rng.unit();
    int move = roll < 0.62f ? 1 : roll < 0.72f ? 0 : roll < 0.92f ? 2 : 4;
    if (rng.unit() < 0.5f)
        move = -move;
    int next = degree + move;
    if (next > 9 || next < -2)
        next = degree - move;
    return next;
}

// `bars` bars of melody from `degree`, whose last note (at least a beat long) lands on `goal`.
Phrase compose(int bars, int degree, int goal, int motion, Rng& rng)
{
    const auto& cells = cellsByMotion[motion];
    Phrase phrase;
    int step = 0;
    const int end = bars * 16;
    while (step < end - 4) {
        const int pick = rng.integer(0, static_cast<int>(cells.size()) - 1);
        const std::vector<int>& cell = cells[static_cast<std::size_t>(pick)];
        for (int length : cell) {
            if (step + length > end - 4)
                break;
            phrase.push_back({step, length, degree});
            step += length;
            degree = nextDegree(degree, rng);
        }
        if (step % 4 != 0) // a cell cut short: fill to the beat
            step = (step / 4 + 1) * 4;
    }
    // Step by step towards the goal in the last notes, so the cadence is heard coming.
    for (std::size_t i = phrase.size() >= 2 ? phrase.size() - 2 : 0; i < phrase.size(); ++i)
        phrase[i].degree = goal + (goal < phrase[i].degree ? 1 : -1) * static_cast<int>(phrase.size() - i);
    phrase.push_back({end - 4, 4, goal});
    return phrase;
}

Phrase shifted(Phrase phrase, int degrees, int steps)
{
    for (Note& note : phrase) {
        note.degree += degrees;
        note.step += steps;
    }
    return phrase;
}

// Each note of a sixteenth or more split with its upper neighbour: the ornamented return.
Phrase ornamented(const Phrase& phrase)
{
    Phrase result;
    for (const Note& note : phrase) {
        if (note.length >= 2) {
            const int half = note.length / 2;
            result.push_back({note.step, half, note.degree});
            result.push_back({note.step + half, note.length - half, note.degree + 1});
        } else {
            result.push_back(note);
        }
    }
    // A turn back home on the last note.
    if (!result.empty())
        result.back().degree = phrase.back().degree;
    return result;
}

// The first `notes` notes of a phrase.
Phrase opening(const Phrase& phrase, std::size_t notes)
{
    return Phrase(phrase.begin(), phrase.begin() + static_cast<long>(std::min(notes, phrase.size())));
}

class Composer {
public:
    Composer(const Piece& piece, Track& track)
        : piece(piece), track(track), rng(piece.seed),
          stepSamples(static_cast<std::size_t>(std::lround(sampleRate * 60.0 / piece.beatsPerMinute / 4.0)))
    {
        motif = compose(2, rng.integer(0, 2) * 2, 4, piece.motion, rng);
        answer = compose(2, motif.back().degree, 0, piece.motion, rng);
        bridge = compose(2, 4, 4, piece.motion, rng);
        static const std::array<std::array<int, 4>, 4> progressions = {
            {{0, 0, 6, 0}, {0, 3, 6, 0}, {0, 5, 6, 4}, {0, 3, 4, 0}}};
        for (auto& progression : chords)
            progression = progressions[static_cast<std::size_t>(rng.integer(0, 3))];
    }

    std::size_t barSamples() const { return stepSamples * 16; }

    void play()
    {
        const std::string sections = piece.sections;
        for (std::size_t index = 0; index < sections.size(); ++index)
            section(sections[index], static_cast<int>(index) * 4);
    }

private:
    int midiOf(int degree, int octaveOffset = 0) const
    {
        const int octave = static_cast<int>(std::floor(degree / 7.0));
        const int inOctave = degree - octave * 7;
        return piece.tonic + 12 * (octave + octaveOffset) + piece.mode[static_cast<std::size_t>(inOctave)];
    }

    std::size_t at(int bar, int step)
    {
        const auto jitter = static_cast<long>(rng.integer(-120, 120)); // a player's hands, not a clock
        const auto exact = static_cast<long>(static_cast<std::size_t>(bar * 16 + step) * stepSamples);
        return static_cast<std::size_t>(std::max(0L, exact + (exact > 0 ? jitter : 0L)));
    }

    void melody(const Phrase& phrase, int bar, float gain, char voice, int octave = 0)
    {
        for (const Note& note : phrase) {
            const float accent = note.step % 4 == 0 ? 1.0f : 0.8f;
            const float velocity = gain * accent * rng.range(0.85f, 1.0f);
            const std::size_t start = at(bar, note.step);
            const std::size_t length = static_cast<std::size_t>(note.length) * stepSamples;
            const double midi = midiOf(note.degree, octave);
            if (voice == 'n') {
                ney(track, start, midi + 12, velocity * 0.9f, 0.15f, length, rng);
            } else if (voice == 't' && note.length >= 4) {
                // The oud's tremolo on long notes: the same string struck every sixteenth.
                for (int hit = 0; hit < note.length; ++hit)
                    pluck(track, at(bar, note.step + hit), midi, velocity * (hit == 0 ? 1.0f : 0.6f), -0.3f,
                          piece.brightness, 1.2, stepSamples, rng);
            } else {
                const float pan = voice == 'q' ? 0.45f : -0.3f;
                pluck(track, start, midi + (voice == 'q' ? 12 : 0), velocity, pan, piece.brightness,
                      voice == 'q' ? 1.4 : 2.2, length, rng);
            }
        }
    }

    // The qanun's broken chords under the melody and the low oud's root on each bar.
    void accompaniment(int bar, const std::array<int, 4>& progression, float gain, bool sparse)
    {
        static const std::array<int, 8> figure = {0, 2, 4, 7, 4, 2, 4, 2};
        for (int inBar = 0; inBar < 4; ++inBar) {
            const int root = progression[static_cast<std::size_t>(inBar)];
            pluck(track, at(bar + inBar, 0), midiOf(root, -2), gain * 0.9f, 0.0f, 0.25f, 3.0, barSamples(), rng);
            const int every = sparse || piece.motion == 0 ? 4 : 2;
            for (int step = 0; step < 16; step += every) {
                const int degree = root + figure[static_cast<std::size_t>((step / every) % 8)];
                const float velocity = gain * 0.42f * (step % 8 == 0 ? 1.0f : 0.8f);
                pluck(track, at(bar + inBar, step), midiOf(degree, -1), velocity, 0.5f,
                      std::min(1.0f, piece.brightness + 0.2f), 1.6, static_cast<std::size_t>(every) * stepSamples, rng);
            }
        }
    }

    void percussion(int bar, float gain, char kind)
    {
        const std::string rhythm = piece.rhythm;
        for (int inBar = 0; inBar < 4; ++inBar) {
            const bool fill = inBar == 3 && kind != 'I' && kind != 'O';
            for (int step = 0; step < 16; ++step) {
                char stroke = rhythm[static_cast<std::size_t>(step)];
                if (fill && step >= 12)
                    stroke = step % 2 == 0 ? 'T' : 'k';
                if ((kind == 'I' || kind == 'O') && stroke != 'D' && step != 8)
                    stroke = '.';
                if (kind == 'C' && stroke == '.' && step % 2 == 0)
                    stroke = 'k';
                const float accent = step == 0 ? 1.0f : step % 4 == 0 ? 0.85f : 0.7f;
                if (stroke != '.')
                    drum(track, at(bar + inBar, step), stroke, gain * accent * rng.range(0.85f, 1.0f),
                         stroke == 'D' ? 0.0f : 0.2f, frequencyOf(piece.tonic + 12), rng);
                if (piece.motion >= 2 && kind != 'I' && kind != 'O')
                    drum(track, at(bar + inBar, step), 'r', gain * (step % 4 == 0 ? 0.3f : 0.15f), -0.5f, 0.0, rng);
            }
        }
    }

    void section(char kind, int bar)
    {
        const float level = kind == 'I' ? 0.6f : kind == 'O' ? 0.65f : kind == 'C' ? 1.0f : kind == 'A' ? 0.8f : 0.88f;
        drone(track, at(bar, 0), 4 * barSamples(), piece.tonic - 24, 0.16f, -0.1f);
        drone(track, at(bar, 0), 4 * barSamples(), piece.tonic - 17, 0.1f, 0.1f);
        const auto& progression = chords[kind == 'A' ? 0 : kind == 'B' ? 1 : kind == 'C' ? 2 : 3];
        accompaniment(bar, progression, level * (kind == 'I' ? 0.8f : 0.65f), kind == 'I' || kind == 'O');
        percussion(bar, level, kind);

        switch (kind) {
        case 'I': // the mode's shape before the tune: a fragment of the bridge, far off
            melody(opening(bridge, 3), bar + 2, 0.45f, piece.ney ? 'n' : 'o');
            break;
        case 'A':
            melody(motif, bar, level, 'o');
            melody(answer, bar + 2, level, 'o');
            break;
        case 'B': // the motif climbs by step in the mode, then the bridge
            melody(shifted(motif, 2, 0), bar, level, piece.ney ? 'n' : 'q');
            melody(bridge, bar + 2, level, piece.ney ? 'n' : 'q');
            break;
        case 'C': // the climax: an octave up with a voice a third below, tremolo on long notes
            melody(motif, bar, level, 't', 1);
            melody(shifted(motif, -2, 0), bar, level * 0.6f, 'q');
            melody(answer, bar + 2, level, 't', 1);
            if (piece.ney)
                melody(answer, bar + 2, level * 0.5f, 'n');
            break;
        case 'V':
            melody(ornamented(motif), bar, level, 'o');
            melody(ornamented(answer), bar + 2, level, 'q');
            break;
        default: // 'O': the motif's opening twice, fading, handing over to the intro
            melody(opening(motif, 4), bar, 0.55f, 'o');
            melody(opening(motif, 4), bar + 2, 0.4f, piece.ney ? 'n' : 'o');
            break;
        }
    }

    const Piece& piece;
    Track& track;
    Rng rng;
    std::size_t stepSamples;
    Phrase motif, answer, bridge;
    std::array<std::array<int, 4>, 4> chords{};
};

// A delay a dotted eighth long on the plucks' own track, bouncing between the sides.
void addEcho(Track& track, std::size_t delay)
{
    std::vector<float> left = track.left, right = track.right;
    float lowLeft = 0.0f, lowRight = 0.0f;
    for (std::size_t n = delay; n < track.left.size(); ++n) {
        lowLeft += (right[n - delay] - lowLeft) * 0.35f;
        lowRight += (left[n - delay] - lowRight) * 0.35f;
        left[n] += lowLeft * 0.32f;
        right[n] += lowRight * 0.32f;
    }
    for (std::size_t n = 0; n < track.left.size(); ++n) {
        track.left[n] += 0.3f * (left[n] - track.left[n]);
        track.right[n] += 0.3f * (right[n] - track.right[n]);
    }
}

// Folds what rings past the loop point onto the start, takes out any offset and sets
// the loudest sample at `peak`.
void master(Track& track, std::size_t loop, float peak)
{
    for (std::vector<float>* channel : {&track.left, &track.right}) {
        for (std::size_t n = loop; n < channel->size(); ++n)
            (*channel)[n - loop] += (*channel)[n];
        channel->resize(loop);
        double sum = 0.0;
        for (float value : *channel)
            sum += value;
        const auto offset = static_cast<float>(sum / static_cast<double>(loop));
        for (float& value : *channel)
            value -= offset;
    }
    float loudest = 0.0f;
    for (std::size_t n = 0; n < loop; ++n)
        loudest = std::max({loudest, std::fabs(track.left[n]), std::fabs(track.right[n])});
    for (std::size_t n = 0; n < loop; ++n) {
        track.left[n] *= peak / loudest;
        track.right[n] *= peak / loudest;
    }
}

std::uint32_t oggChecksum(const unsigned char* bytes, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> result{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t value = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 0x80000000u) ? (value << 1) ^ 0x04c11db7u : value << 1;
            result[i] = value;
        }
        return result;
    }();
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ bytes[i]) & 0xff];
    return crc;
}

// libsndfile gives every Ogg stream a serial number from the clock; the same number on
// every page (and its checksum again) makes the file the same on every run.
bool fixSerialNumber(const std::string& path, std::uint32_t serial)
{
    std::vector<unsigned char> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t page = 0;
    while (page + 27 <= bytes.size()) {
        if (bytes[page] != 'O' || bytes[page + 1] != 'g' || bytes[page + 2] != 'g' || bytes[page + 3] != 'S')
            return false;
        const std::size_t segments = bytes[page + 26];
        if (page + 27 + segments > bytes.size())
            return false;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += bytes[page + 27 + i];
        const std::size_t size = 27 + segments + body;
        if (page + size > bytes.size())
            return false;
        for (int i = 0; i < 4; ++i) {
            bytes[page + 14 + static_cast<std::size_t>(i)] = static_cast<unsigned char>(serial >> (8 * i));
            bytes[page + 22 + static_cast<std::size_t>(i)] = 0;
        }
        const std::uint32_t crc = oggChecksum(bytes.data() + page, size);
        for (int i = 0; i < 4; ++i)
            bytes[page + 22 + static_cast<std::size_t>(i)] = static_cast<unsigned char>(crc >> (8 * i));
        page += size;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return page == bytes.size() && static_cast<bool>(out);
}

bool writeOgg(const std::string& path, const Track& track, std::uint32_t serial)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    double quality = 0.25; // libsndfile's scale, 0 smallest to 1 best
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    std::vector<float> interleaved(track.left.size() * 2);
    for (std::size_t n = 0; n < track.left.size(); ++n) {
        interleaved[2 * n] = track.left[n];
        interleaved[2 * n + 1] = track.right[n];
    }
    // In small blocks: libvorbis takes each block on the stack.
    bool written = true;
    for (std::size_t n = 0; n < track.left.size() && written; n += 4096) {
        const auto frames = static_cast<sf_count_t>(std::min<std::size_t>(4096, track.left.size() - n));
        written = sf_writef_float(file, interleaved.data() + 2 * n, frames) == frames;
    }
    return sf_close(file) == 0 && written && fixSerialNumber(path, serial);
}

} // namespace

bool writeMusic(const std::string& musicDirectory)
{
    bool ok = true;
    for (const Piece& piece : pieces) {
        const double barSeconds = 4.0 * 60.0 / piece.beatsPerMinute;
        const auto bars = static_cast<std::size_t>(std::string(piece.sections).size() * 4);
        Track plucks(static_cast<std::size_t>((static_cast<double>(bars) * barSeconds + tailSeconds) * sampleRate));
        Composer composer(piece, plucks);
        composer.play();
        addEcho(plucks, composer.barSamples() * 3 / 16);
        master(plucks, bars * composer.barSamples(), 0.8f);
        ok = writeOgg(musicDirectory + "/" + piece.file, plucks, static_cast<std::uint32_t>(piece.seed)) && ok;
    }
    return ok;
}

} // namespace fennik::assetgen
