// The health gauge regenerates its 256 x 256 noise texture every frame, and every
// live particle samples Perlin noise every tick: both sit on the frame's CPU budget.
#include "core/Noise.hpp"
#include "render/GL.hpp"
#include "render/NoiseTexture.hpp"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

using fennik::core::Noise;
using fennik::core::NoiseType;
using fennik::render::NoiseTexture;

// What the gauge pays per frame: the CPU fill, the upload and the mipmaps. glFinish
// makes the driver's share count too instead of being deferred to the next frame.
void noiseTextureGenerate(benchmark::State& state)
{
    const auto size = static_cast<unsigned>(state.range(0));
    NoiseTexture texture(size);
    float offset = 0.0f;
    for (auto _ : state) {
        texture.generate(offset, offset * 0.5f);
        glFinish();
        offset += 1.0f;
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}
BENCHMARK(noiseTextureGenerate)->Arg(256)->Unit(benchmark::kMillisecond);

// The CPU share of the same: the cellular samples and their bytes, no OpenGL.
void cellularFill(benchmark::State& state)
{
    const auto size = static_cast<unsigned>(state.range(0));
    Noise noise(1337);
    noise.setNoiseType(NoiseType::Cellular);
    noise.setFrequency(0.01f);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size);
    float offset = 0.0f;
    for (auto _ : state) {
        for (unsigned y = 0; y < size; ++y)
            for (unsigned x = 0; x < size; ++x)
                pixels[static_cast<std::size_t>(size) * y + x] =
                    NoiseTexture::toByte(noise.getNoise(static_cast<float>(x) + offset, static_cast<float>(y)));
        benchmark::DoNotOptimize(pixels.data());
        offset += 1.0f;
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}
BENCHMARK(cellularFill)->Arg(256)->Unit(benchmark::kMillisecond);

// One particle update's worth of drift samples for a full pool.
void perlinSamples(benchmark::State& state)
{
    Noise noise(1337);
    noise.setNoiseType(NoiseType::Perlin);
    noise.setFrequency(0.1f);
    const auto count = static_cast<int>(state.range(0));
    float offset = 0.0f;
    for (auto _ : state) {
        float sum = 0.0f;
        for (int i = 0; i < count; ++i)
            sum += noise.getNoise(static_cast<float>(i % 317) * 0.37f + offset, static_cast<float>(i / 317) * 0.41f);
        benchmark::DoNotOptimize(sum);
        offset += 0.01f;
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(perlinSamples)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!glfwInit()) {
        std::fprintf(stderr, "noise_texture_bench needs a display: run it under xvfb-run -a\n");
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "noise_texture_bench", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "noise_texture_bench: no OpenGL 4.3 core context\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "noise_texture_bench: glewInit failed\n");
        glfwDestroyWindow(window);
        glfwTerminate();
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
