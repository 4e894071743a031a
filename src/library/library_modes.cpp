#include "library/library_modes.h"

#include "run/output_file.h"
#include "run/program.h"

namespace tunestrip {
namespace {

Text withExtension(const Text& name, std::string_view extension)
{
    Text file = name;
    file.append(extension);
    return file;
}

}  // namespace

void listCards(const CardFileNames& fileNames, Console& console)
{
    printLine(console, {"List:"});
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        printLine(console, {"#", zeroPadDecimal(3, i + 1).view(), ": ", fileNames.names[i].view()});
    }
    printLine(console, {""});
}

bool extractCards(const CardFileNames& fileNames, Console& console)
{
    printLine(console, {"Magically pulling bins out of thin air:"});
    bool allWritten = true;
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        allWritten &= saveOutputFile(withExtension(fileNames.names[i], ".bin"), cardEntry(i).payload, console);
    }
    printLine(console, {""});
    return allWritten;
}

bool runLibraryModes(const RunSettings& settings, CardFileNames& fileNames, Console& console)
{
    buildCardFileNames(settings.noNumbers, fileNames);
    if (settings.gimmeList) {
        listCards(fileNames, console);
    }
    return settings.gimmeBins ? extractCards(fileNames, console) : true;
}

bool bulkRender(const RunSettings& settings, const CardFileNames& fileNames, WorkBuffers& buffers,
                Console& console)
{
    printLine(console, {"Magically pulling waves out of thin air:"});
    bool allWritten = true;
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        ConversionJob job{withExtension(fileNames.names[i], ".bin"), false, cardEntry(i).payload};
        allWritten &= runJob(job, settings, buffers, console) == JobOutcome::written;
    }
    return allWritten;
}

}  // namespace tunestrip
