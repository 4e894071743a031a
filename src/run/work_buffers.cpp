#include "run/work_buffers.h"

#include <cstdlib>
#include <type_traits>

namespace tunestrip {

// calloc rather than new: the buffers are plain bytes, samples and texts
// whose all-zero state is their empty state (objects of such trivially
// copyable types begin their life in the allocated storage), and calloc's
// fresh zero pages cost nothing until a job writes them.
static_assert(std::is_trivially_copyable_v<WorkBuffers> && std::is_trivially_destructible_v<WorkBuffers>);

void FreeBuffers::operator()(WorkBuffers* buffers) const
{
    std::free(buffers);
}

WorkBuffersPointer allocateWorkBuffers()
{
    return WorkBuffersPointer{static_cast<WorkBuffers*>(std::calloc(1, sizeof(WorkBuffers)))};
}

}  // namespace tunestrip
