#include "imagecore/ImageLimits.h"

#include <unistd.h>

namespace imagecore {

ULONGLONG PhysicalMemory()
{
    static const ULONGLONG bytes = [] {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGE_SIZE);
        return pages > 0 && pageSize > 0 ? ULONGLONG(pages) * ULONGLONG(pageSize) : ULONGLONG{0};
    }();
    return bytes;
}

bool DecodeSizeAllowed(ULONGLONG width, ULONGLONG height, ULONGLONG bytesPerPixel, ULONGLONG physicalBytes)
{
    if (width == 0 || height == 0 || width > kPixelCap || height > kPixelCap || width * height > kPixelCap)
        return false;
    return physicalBytes == 0 || width * height * bytesPerPixel <= physicalBytes / 2;
}

ULONGLONG DecodeByteLimit()
{
    const ULONGLONG physical = PhysicalMemory();
    const ULONGLONG cap = kPixelCap * 4;
    return physical != 0 && physical / 2 < cap ? physical / 2 : cap;
}

bool DecodeSizeAllowed(ULONGLONG width, ULONGLONG height, ULONGLONG bytesPerPixel)
{
    return DecodeSizeAllowed(width, height, bytesPerPixel, PhysicalMemory());
}

} // namespace imagecore
