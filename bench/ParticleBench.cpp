// The particles' share of a frame: the update that ages, moves and writes the live
// particles, and the far-to-near ordering the draw prepares for the next update.
// The ordering used to sort the whole pool of 100000 every frame, even with a few
// hundred alive; it now gathers the live ones and sorts only those. Both are
// measured here, side by side, at 0, 2000 and 100000 live particles.
#include "render/ParticlePool.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

using fennik::render::Particle;
using fennik::render::ParticlePool;

const glm::vec3 cameraPosition{40.0f, 30.0f, -20.0f};

// `live` particles spread over a level-sized area, in random slots of the pool, with
// lives long enough to outlast the measurement, and their distances measured once.
std::unique_ptr<ParticlePool> poolWith(std::size_t live)
{
    auto pool = std::make_unique<ParticlePool>();
    std::mt19937 generator(7);
    std::uniform_real_distribution<float> across(-60.0f, 60.0f);
    std::uniform_real_distribution<float> speed(-30.0f, 30.0f);
    std::vector<std::size_t> slots(ParticlePool::poolSize);
    for (std::size_t i = 0; i < slots.size(); ++i)
        slots[i] = i;
    std::shuffle(slots.begin(), slots.end(), generator);
    for (std::size_t i = 0; i < live; ++i) {
        Particle& p = pool->particles()[slots[i]];
        p.position = {across(generator), across(generator) * 0.1f, across(generator)};
        p.velocity = {speed(generator), speed(generator), speed(generator)};
        p.color = {200.0f, 120.0f, 40.0f, 80.0f};
        p.life = 1e9f;
    }
    pool->update(0.0f, cameraPosition);
    return pool;
}

// One tick of the update alone.
void particleUpdate(benchmark::State& state)
{
    auto pool = poolWith(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        pool->update(1.0f / 30.0f, cameraPosition);
        benchmark::DoNotOptimize(pool->instancePositions.data());
    }
    state.counters["live"] = pool->liveCount;
}

// The ordering alone, each time from the same unsorted pool (live particles
// scattered through it, as after a burst).
template <void (ParticlePool::*order)()>
void particleOrder(benchmark::State& state)
{
    const auto scattered = poolWith(static_cast<std::size_t>(state.range(0)));
    auto pool = std::make_unique<ParticlePool>(*scattered);
    for (auto _ : state) {
        state.PauseTiming();
        pool->particles() = scattered->particles();
        state.ResumeTiming();
        ((*pool).*order)();
        benchmark::DoNotOptimize(pool->particles().data());
    }
}

// A steady frame: update, then order for the next one. The pool stays nearly in
// order from frame to frame, as it does in the game.
template <void (ParticlePool::*order)()>
void particleFrame(benchmark::State& state)
{
    auto pool = poolWith(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        pool->update(1.0f / 30.0f, cameraPosition);
        ((*pool).*order)();
        benchmark::DoNotOptimize(pool->particles().data());
    }
}

void liveCounts(benchmark::internal::Benchmark* b)
{
    b->Arg(0)->Arg(2000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(particleUpdate)->Apply(liveCounts);
BENCHMARK(particleOrder<&ParticlePool::sortWholePool>)->Name("particleOrder/wholePool")->Apply(liveCounts);
BENCHMARK(particleOrder<&ParticlePool::sortForDrawing>)->Name("particleOrder/liveFirst")->Apply(liveCounts);
BENCHMARK(particleFrame<&ParticlePool::sortWholePool>)->Name("particleFrame/wholePool")->Apply(liveCounts);
BENCHMARK(particleFrame<&ParticlePool::sortForDrawing>)->Name("particleFrame/liveFirst")->Apply(liveCounts);

BENCHMARK_MAIN();
