// The working storage of a run: every buffer a job needs, at the capacity of
// the largest job, allocated once and reused by every job.
#pragma once

#include <memory>

#include "library/card_names.h"
#include "strip/bit_stream.h"
#include "strip/strip_image.h"
#include "strip/synthesis.h"
#include "strip/wav_writer.h"

namespace tunestrip {

struct WorkBuffers {
    StripImage image;
    BitStream stream;
    SampleBuffer samples;
    WavFileBuffer file;
    CardFileNames cardFileNames;
};

struct FreeBuffers {
    void operator()(WorkBuffers* buffers) const;
};
using WorkBuffersPointer = std::unique_ptr<WorkBuffers, FreeBuffers>;

// Zero-filled buffers, or null when memory is short. The pages a job never
// touches are never made resident.
[[nodiscard]] WorkBuffersPointer allocateWorkBuffers();

}  // namespace tunestrip
