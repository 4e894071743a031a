// A second opinion on a swipe: the same stretch of the recording read the
// other way. A biphase signal reads alike both ways, cell for cell, so where
// two readings of one stretch disagree (a cell that one holds and the other
// lacks, or a cell read as 1 one way and as 0 the other), the clock of one
// of them has slipped. A clock that loses or gains a whole cell reads on
// without a fault, every byte after the slip shifted: only the other
// reading shows it.
#pragma once

#include <cstddef>
#include <vector>

#include "decode/cell_decoder.h"

namespace tunestrip {

// The first of the swipe's cells that `witness` contradicts, or the number
// of its cells when none is. `witness` was read from the same channel played
// backwards, `length` samples long; only the stretch that both readings
// cover counts.
[[nodiscard]] std::size_t firstContradiction(const Swipe& swipe, const Swipe& witness, double length);

// Cuts every swipe back to the cells before the first one that a witness
// contradicts, and marks it damaged there. A swipe that no witness overlaps
// is left as it is.
void crossCheck(std::vector<Swipe>& swipes, const std::vector<Swipe>& witnesses, double length);

}  // namespace tunestrip
