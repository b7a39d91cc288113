// Multi-photo frame templates: the list's short read and the full read.
#include "collage/CollageTemplate.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    collage::TemplateListEntry entry;
    collage::ReadTemplateHeaderBytes(data, size, &entry);
    collage::CollageTemplate tpl;
    collage::ReadTemplateBytes(data, size, &tpl);
    return 0;
}
