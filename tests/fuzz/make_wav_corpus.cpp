// Writes the fuzzer's starting corpus: every malformed file of the reader's
// tests, and a few sound files of each form.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "run/settings.h"
#include "support/malformed_wavs.h"
#include "support/signal_lab.h"

namespace {

void save(const std::string& directory, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(directory + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_wav_corpus DIRECTORY\n");
        return 2;
    }
    std::string directory = argv[1];
    for (const tunestrip::testing::MalformedWav& bad : tunestrip::testing::malformedWavs()) {
        save(directory, "malformed-" + bad.name + ".wav", bad.bytes);
    }
    tunestrip::RunSettings settings;
    settings.noEmptyTrail = true;
    std::vector<std::uint8_t> payload = tunestrip::testing::randomBytes(12, 7);
    save(directory, "encoder-16bit.wav", tunestrip::testing::encodeCard(payload, settings));
    settings.bytesPerSample = 1;
    settings.channels = 2;
    save(directory, "encoder-8bit-stereo.wav", tunestrip::testing::encodeCard(payload, settings));
    tunestrip::testing::Signal tone = {0, 0.5f, -0.5f, 0.25f, 1, -1};
    using tunestrip::testing::SampleForm;
    for (auto [name, form] : {std::pair{"float", SampleForm::float32}, std::pair{"24bit", SampleForm::signed24}}) {
        save(directory, std::string("form-") + name + ".wav", tunestrip::testing::makeWav({tone}, 8000, {form, true, true}));
    }
    return 0;
}
