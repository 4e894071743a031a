// The library modes: the list, the extraction of ".bin" files and the bulk
// render of every card.
#pragma once

#include "library/card_names.h"
#include "run/console.h"
#include "run/settings.h"
#include "run/work_buffers.h"

namespace tunestrip {

// Writes "List:", one line "#NNN: NAME" per card and an empty line.
void listCards(const CardFileNames& fileNames, Console& console);

// Writes every card's payload as NAME.bin into the current directory, each
// with its saving line. Returns false when a file could not be written; the
// others are written all the same.
[[nodiscard]] bool extractCards(const CardFileNames& fileNames, Console& console);

// Builds the names, then lists and extracts as the settings ask. Returns
// false when an extracted file could not be written.
[[nodiscard]] bool runLibraryModes(const RunSettings& settings, CardFileNames& fileNames, Console& console);

// Renders every card into NAME.wav in the current directory, after a header
// line. Returns false when a WAV could not be written; the others are
// rendered all the same.
[[nodiscard]] bool bulkRender(const RunSettings& settings, const CardFileNames& fileNames, WorkBuffers& buffers,
                              Console& console);

}  // namespace tunestrip
