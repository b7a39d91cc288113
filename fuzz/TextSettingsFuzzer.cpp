// Text settings files: a valid file changes the settings, anything else
// leaves every field as it was.
#include "editor/retouch/TextSettings.h"
#include "fuzz/FuzzFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TextSettings before;
    before.size = 77;  // out of a valid file's way: a refused file must keep it
    TextSettings settings = before;
    if (!LoadTextSettings(WriteFuzzFile(data, size).c_str(), &settings)) {
        if (std::memcmp(&settings, &before, sizeof settings) != 0)
            std::abort();
        return 0;
    }
    if (settings.size < 1 || settings.size > 200 || settings.layerMode < 0 || settings.layerMode > 8 ||
        !std::memchr(settings.faceName, 0, sizeof settings.faceName))
        std::abort();
    return 0;
}
