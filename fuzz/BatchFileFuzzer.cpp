// The batch file parser straight from memory; an accepted file must write
// back into a file that parses to the same selection.
#include "album/tools/BatchFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static shelf::BatchResources* resources = new shelf::BatchResources;
    shelf::ActionTable table;
    shelf::BuildActionTable("/nonexistent-quillo-program/", table, *resources);
    if (!shelf::ParseBatchFile(table, data, size))
        return 0;
    const std::vector<BYTE> again = shelf::SerializeBatch(table);
    shelf::ActionTable other;
    shelf::BuildActionTable("/nonexistent-quillo-program/", other, *resources);
    if (!again.empty() && !shelf::ParseBatchFile(other, again.data(), again.size()))
        std::abort();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!again.empty() && table[i].selected != other[i].selected)
            std::abort();
    return 0;
}
