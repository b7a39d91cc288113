// CF_DIB blocks come from other programs through the clipboard.
#include "imagecore/XImage.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    HGLOBAL block = GlobalAlloc(GHND, size);
    if (!block)
        return 0;
    if (size)
        std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    CxImage image;
    if (image.CreateFromHANDLE(block)) {
        // An accepted block must give a fully addressable image that goes back out whole.
        volatile DWORD sink = 0;
        for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y)
            sink = sink + CxImage::RGBQUADtoRGB(image.GetPixelColor(static_cast<LONG>(image.GetWidth()) - 1, y));
        HGLOBAL copy = image.CopyToHandle();
        CxImage again;
        if (!copy || !again.CreateFromHANDLE(copy) || again.GetSize() != image.GetSize())
            __builtin_trap();
        GlobalFree(copy);
    }
    GlobalFree(block);
    return 0;
}
