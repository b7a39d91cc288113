// The PCX reader of the codec library, straight from memory.
#include "platform/codec/CodecInternal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CQLImage image;
    if (qlcodec::DecodePcx(data, size, image)) {
        UINT width = 0, height = 0;
        image.GetSize(&width, &height);
        volatile DWORD sink = 0;
        for (UINT y = 0; y < height; ++y)
            sink = sink + image.GetPixel(static_cast<int>(width) - 1, static_cast<int>(y));
    }
    UINT w = 0, h = 0;
    qlcodec::ShapePcx(data, size, w, h);
    return 0;
}
