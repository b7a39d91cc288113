// The ".tsp" scheme reader, straight from memory; an accepted record must
// write back to the same fields.
#include "algorithms/JpegSlimSettings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JpegSlimSettings settings;
    if (!ParseTsp(data, size, &settings))
        return 0;
    BYTE again[JpegSlimSettings::kFileSize];
    if (!FormatTsp(settings, again))
        std::abort();
    JpegSlimSettings twice;
    if (!ParseTsp(again, sizeof again, &twice) || twice.quality != settings.quality
        || twice.targetKB != settings.targetKB || std::strcmp(twice.path, settings.path) != 0)
        std::abort();
    return 0;
}
