// What the music costs: the part of a level switch that runs in the game's frame
// (opening the piece and decoding its first buffers), and the processor time that
// playing it takes on the music's own thread (decoding) and OpenAL's (mixing).
// OpenAL Soft mixes into its "null" output, as fast as a sound card would take it;
// run from the repository root.
#include "core/SoundEngine.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
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
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // frames pass
        state.ResumeTiming();
    }
    state.counters["device"] = nullOutput && engine.hasDevice();
    engine.playMusic("");
}
BENCHMARK(levelSwitch)->Unit(benchmark::kMillisecond)->Iterations(40);

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The share of one core that three seconds of music take, beside three of silence.
void playing(benchmark::State& state)
{
    SoundEngine& engine = SoundEngine::instance();
    const auto share = [] {
        const double start = processSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        return (processSeconds() - start) / 3.0 * 100.0;
    };
    for (auto _ : state) {
        engine.playMusic("");
        std::this_thread::sleep_for(std::chrono::milliseconds(1200)); // the last fade
        state.counters["silent_percent"] = share();
        engine.playMusic(SoundEngine::musicFor("LevelTwo"));
        state.counters["music_percent"] = share();
    }
    engine.playMusic("");
}
BENCHMARK(playing)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
