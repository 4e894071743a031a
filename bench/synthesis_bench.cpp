// Synthesis plus WAV serialisation, in samples per second (items/s).
#include <benchmark/benchmark.h>

#include <memory>

#include "run/work_buffers.h"

namespace tunestrip {
namespace {

void renderJob(benchmark::State& state, std::uint32_t payloadBytes, const RunSettings& settings)
{
    WorkBuffersPointer buffers = allocateWorkBuffers();
    std::unique_ptr<std::uint8_t[]> payload(new std::uint8_t[payloadBytes]);
    // Card data looks random to the processor: xorshift bytes, not a pattern
    // that a branch predictor learns.
    std::uint32_t seed = 0x2545F491;
    for (std::uint32_t i = 0; i < payloadBytes; ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        payload[i] = static_cast<std::uint8_t>(seed >> 24);
    }
    ConversionJob job{Text{"bench.bin"}, false, {payload.get(), payloadBytes}};
    Console console;
    std::uint32_t imageLength = buildStripImage(job, settings, buffers->image, console);
    std::uint64_t samples = 0;
    for (auto _ : state) {
        std::uint32_t bitCount = serializeBits(buffers->image, imageLength, buffers->stream);
        std::uint32_t total = synthesizeStrip(buffers->stream, bitCount, settings, buffers->samples);
        std::size_t length = encodeWav(buffers->samples, total, settings, buffers->file);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
        samples += total;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(samples));
}

void defaultCard(benchmark::State& state)
{
    renderJob(state, 355, RunSettings{});
}

void largestJob(benchmark::State& state)
{
    RunSettings settings;
    settings.sampleRate = 192000;
    settings.cellSamples = 24;
    settings.channels = 2;
    settings.ioSilence = true;
    settings.longerPilot = true;
    renderJob(state, 2048, settings);
}

void eightBitDualChannel(benchmark::State& state)
{
    RunSettings settings;
    settings.channels = 2;
    settings.bytesPerSample = 1;
    renderJob(state, 355, settings);
}

BENCHMARK(defaultCard);
BENCHMARK(largestJob);
BENCHMARK(eightBitDualChannel);

}  // namespace
}  // namespace tunestrip
