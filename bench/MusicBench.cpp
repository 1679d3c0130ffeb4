// What the music costs the frame it runs in: starting a level's piece (opening the
// file and decoding the first buffers, in the frame that switches levels) and the
// once-a-frame refill while pieces play and crossfade. OpenAL Soft mixes into its
// "null" output, as fast as a sound card would take it; run from the repository root.
#include "core/SoundEngine.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using fennik::core::SoundEngine;

const bool nullOutput = setenv("ALSOFT_DRIVERS", "null", 1) == 0;

void levelSwitch(benchmark::State& state)
{
    SoundEngine& engine = SoundEngine::instance();
    const std::string pieces[] = {SoundEngine::musicFor("LevelOne"), SoundEngine::musicFor("LevelBoss")};
    std::size_t next = 0;
    for (auto _ : state) {
        engine.playMusic(pieces[next++ % 2]);
        engine.updateMusic();
    }
    state.counters["device"] = nullOutput && engine.hasDevice();
    engine.playMusic("");
}
BENCHMARK(levelSwitch)->Unit(benchmark::kMillisecond)->Iterations(40);

// A frame's refill at 60 frames a second, with the slowest frame beside the mean.
void frameUpdate(benchmark::State& state)
{
    SoundEngine& engine = SoundEngine::instance();
    engine.playMusic(SoundEngine::musicFor("LevelTwo"));
    double slowest = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::microseconds(16667));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        engine.updateMusic();
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        slowest = std::max(slowest, spent.count());
    }
    state.counters["slowest_us"] = slowest;
    engine.playMusic("");
}
BENCHMARK(frameUpdate)->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace

BENCHMARK_MAIN();
