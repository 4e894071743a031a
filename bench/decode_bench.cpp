// Decoding a clean recording, in samples per second (items/s): the WAV
// reader and the swipe reader together, as the decoder runs them.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "decode/card_reader.h"
#include "decode/wav_reader.h"
#include "library/card_library.h"
#include "run/work_buffers.h"

namespace tunestrip {
namespace {

std::vector<std::uint8_t> encodedCard(const RunSettings& settings)
{
    WorkBuffersPointer buffers = allocateWorkBuffers();
    std::string ignored;
    Console console{&ignored};
    CardEntry card = cardEntry(261);
    ConversionJob job{Text{"bench.bin"}, false, card.payload};
    std::uint32_t imageLength = buildStripImage(job, settings, buffers->image, console);
    std::uint32_t bitCount = serializeBits(buffers->image, imageLength, buffers->stream);
    std::uint32_t total = synthesizeStrip(buffers->stream, bitCount, settings, buffers->samples);
    std::size_t length = encodeWav(buffers->samples, total, settings, buffers->file);
    return {buffers->file.bytes.begin(), buffers->file.bytes.begin() + static_cast<long>(length)};
}

void decodeFile(benchmark::State& state, const RunSettings& settings)
{
    std::vector<std::uint8_t> file = encodedCard(settings);
    std::size_t frames = 0;
    for (auto _ : state) {
        WavReadResult read = parseWav(file);
        std::vector<ReadSwipe> swipes = readSwipes(read.audio, std::nullopt);
        benchmark::DoNotOptimize(swipes.data());
        frames += read.audio.frames;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(frames));
}

void decodeDefaultCard(benchmark::State& state)
{
    decodeFile(state, RunSettings{});
}

void decodeSlowestAt96k(benchmark::State& state)
{
    RunSettings settings;
    settings.sampleRate = 96000;
    settings.cellSamples = 24;
    decodeFile(state, settings);
}

BENCHMARK(decodeDefaultCard);
BENCHMARK(decodeSlowestAt96k);

}  // namespace
}  // namespace tunestrip
