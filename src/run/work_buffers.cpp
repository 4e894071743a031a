#include "run/work_buffers.h"

#include <cstdlib>
#include <type_traits>

namespace tunestrip {

// calloc rather than new: the buffers are plain bytes and samples, and
// calloc's fresh zero pages cost nothing until they are written.
static_assert(std::is_trivially_default_constructible_v<WorkBuffers>);

void FreeBuffers::operator()(WorkBuffers* buffers) const
{
    std::free(buffers);
}

WorkBuffersPointer allocateWorkBuffers()
{
    return WorkBuffersPointer{static_cast<WorkBuffers*>(std::calloc(1, sizeof(WorkBuffers)))};
}

}  // namespace tunestrip
