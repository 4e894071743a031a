#include "support/malformed_wavs.h"

#include <cstring>

#include "support/byte_writer.h"

namespace tunestrip::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes riff(const char* form = "WAVE")
{
    Bytes out;
    putTag(out, "RIFF");
    put32(out, 0);
    putTag(out, form);
    return out;
}

Bytes fmtChunk(unsigned format, unsigned channels, std::uint32_t rate, unsigned align, unsigned bits)
{
    Bytes out;
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, format);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * align);
    put16(out, align);
    put16(out, bits);
    return out;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes chunk(const char* tag, std::uint32_t declared, std::size_t actual)
{
    Bytes out;
    putTag(out, tag);
    put32(out, declared);
    out.resize(out.size() + actual, 0x11);
    return out;
}

}  // namespace

std::vector<MalformedWav> malformedWavs()
{
    Bytes good = fmtChunk(1, 1, 48000, 2, 16);
    std::vector<MalformedWav> cases = {
        {"empty", {}, "empty file"},
        {"one-byte", {'R'}, "too short for a RIFF header (1 bytes)"},
        {"riff-only", {'R', 'I', 'F', 'F'}, "too short for a RIFF header (4 bytes)"},
        {"not-riff", join({{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}}), "not a RIFF WAVE file"},
        {"riff-not-wave", riff("AVI "), "RIFF file but not WAVE"},
        {"header-only", riff(), "no data chunk"},
        {"cut-chunk-header", join({riff(), {'f', 'm', 't'}}), "file ends inside a chunk header"},
        {"no-fmt", join({riff(), chunk("data", 4, 4)}), "data chunk before the fmt chunk"},
        {"data-before-fmt", join({riff(), chunk("data", 2, 2), good}), "data chunk before the fmt chunk"},
        {"short-fmt", join({riff(), chunk("fmt ", 14, 14)}), "fmt chunk of 14 bytes, fewer than 16"},
        {"zero-channels", join({riff(), fmtChunk(1, 0, 48000, 0, 16), chunk("data", 0, 0)}), "no channels"},
        {"zero-rate", join({riff(), fmtChunk(1, 1, 0, 2, 16), chunk("data", 0, 0)}),
         "sample rate 0 Hz outside 8000 to 384000"},
        {"huge-rate", join({riff(), fmtChunk(1, 1, 768000, 2, 16), chunk("data", 0, 0)}),
         "sample rate 768000 Hz outside 8000 to 384000"},
        {"bad-format", join({riff(), fmtChunk(2, 1, 48000, 2, 16), chunk("data", 0, 0)}),
         "sample format 2 is neither integer PCM nor float"},
        {"bad-bits", join({riff(), fmtChunk(1, 1, 48000, 2, 12), chunk("data", 0, 0)}),
         "12-bit integer samples are not supported"},
        {"float-16", join({riff(), fmtChunk(3, 1, 48000, 2, 16), chunk("data", 0, 0)}),
         "16-bit float samples are not supported"},
        {"bad-align", join({riff(), fmtChunk(1, 2, 48000, 2, 16), chunk("data", 4, 4)}),
         "block align 2 does not fit 2 channels of 16 bits"},
        {"huge-chunk", join({riff(), good, chunk("LIST", 0xFFFFFFF0u, 8)}),
         "chunk \"LIST\" of 4294967280 bytes runs past the end of the file"},
        {"huge-data", join({riff(), good, chunk("data", 0xFFFFFFFEu, 8)}),
         "data chunk of 4294967294 bytes, larger than the 8 bytes left in the file"},
        {"data-past-end", join({riff(), good, chunk("data", 100, 10)}),
         "data chunk of 100 bytes, larger than the 10 bytes left in the file"},
        {"odd-without-pad", join({riff(), good, chunk("JUNK", 3, 3), chunk("data", 4, 4)}),
         "chunk \"ata?\" of 285212672 bytes runs past the end of the file"},
        {"cut-in-sample", join({riff(), good, chunk("data", 3, 3)}), "data ends inside a sample frame"},
        {"two-fmt", join({riff(), good, good, chunk("data", 0, 0)}), "second fmt chunk"},
        {"short-extensible", join({riff(), fmtChunk(0xFFFE, 1, 48000, 2, 16), chunk("data", 0, 0)}),
         "extensible fmt chunk of 16 bytes, fewer than 40"},
    };
    // A plain 44-byte header cut short.
    Bytes header = join({riff(), good, chunk("data", 0, 0)});
    const std::pair<std::size_t, const char*> cuts[] = {
        {13, "file ends inside a chunk header"},
        {19, "file ends inside a chunk header"},
        {25, "chunk \"fmt \" of 16 bytes runs past the end of the file"},
        {31, "chunk \"fmt \" of 16 bytes runs past the end of the file"},
        {37, "file ends inside a chunk header"},
        {43, "file ends inside a chunk header"},
    };
    for (const auto& [length, error] : cuts) {
        cases.push_back({"cut-at-" + std::to_string(length),
                         Bytes(header.begin(), header.begin() + static_cast<long>(length)), error});
    }
    return cases;
}

}  // namespace tunestrip::testing
