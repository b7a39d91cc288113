#include "fuzz/FuzzFile.h"
#include "imagecore/QLImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CQLImage image;
    if (image.LoadFromFile(WriteFuzzFile(data, size).c_str()) == 0) {
        // A successful load must have produced a fully addressable image.
        UINT width = 0, height = 0;
        image.GetSize(&width, &height);
        volatile DWORD sink = 0;
        for (UINT y = 0; y < height; ++y)
            sink = sink + image.GetPixel(width - 1, y);
    }
    return 0;
}
