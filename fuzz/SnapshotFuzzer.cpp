// Undo snapshot blocks as read back from the history file.
#include "editor/shell/SnapshotCodec.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CQLImage image;
    image.Create(3, 2);
    std::memset(image.GetBuffer(0, 0), 0x5A, image.GetAreaByteSize());
    if (SnapshotCodec::Decode(&image, data, static_cast<DWORD>(size))) {
        // What decodes encodes again and decodes to the same pixels.
        BYTE* block = nullptr;
        DWORD length = 0;
        if (!SnapshotCodec::Encode(&image, &block, &length))
            return 0;
        CQLImage again;
        if (!SnapshotCodec::Decode(&again, block, length))
            std::abort();
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x)
                if (!(image.GetPixel2(int(x), int(y)) == again.GetPixel2(int(x), int(y))))
                    std::abort();
        delete[] block;
    } else {
        // A refused block leaves the image as it was.
        UINT w = 0, h = 0;
        image.GetSize(&w, &h);
        if (w != 3 || h != 2 || image.GetBuffer(0, 0)[23] != 0x5A)
            std::abort();
    }
    return 0;
}
