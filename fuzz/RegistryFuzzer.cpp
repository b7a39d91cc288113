// The registry stand-in's file reader; whatever it accepts must write back
// to the same bytes.
#include "platform/win/RegistryFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qlwin::RegistryData registry;
    if (!qlwin::ParseRegistry(data, size, registry))
        return 0;
    const std::string again = qlwin::SerializeRegistry(registry);
    if (again.size() != size || again.compare(0, size, reinterpret_cast<const char*>(data), size) != 0)
        std::abort();
    return 0;
}
