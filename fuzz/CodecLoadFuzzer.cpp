// CQLImageCodec as a whole on one file: type by content, LoadFile (every
// format), GetFileShape, a thumbnail, and a lossless turn of a copy when the
// input is a JPEG. Every input also goes to the RAW library, since a DNG
// without a RAW name is typed as a TIFF.
#include "fuzz/FuzzFile.h"
#include "platform/codec/CodecInternal.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawDevelop.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = WriteFuzzFile(data, size);
    CQLImageCodec codec;
    const DWORD type = CQLImageCodec::GetFileType(path.c_str());
    CQLImage image;
    if (codec.LoadFile(path.c_str(), &image)) {
        UINT width = 0, height = 0;
        image.GetSize(&width, &height);
        if (width == 0 || height == 0 || width > 65535 || height > 65535)
            std::abort();
        volatile DWORD sink = image.GetPixel(static_cast<int>(width) - 1, static_cast<int>(height) - 1);
        (void)sink;
    } else if (image.GetAreaByteSize() != 0) {
        std::abort(); // a failed load leaves the image empty
    }
    int w = 0, h = 0;
    CQLImageCodec::GetFileShape(path.c_str(), &w, &h);
    CQLImage thumb;
    int tw = 0, th = 0;
    if (codec.CreateThumbnail(path.c_str(), &thumb, 64, &tw, &th, static_cast<int>(size & 1))) {
        UINT x = 0, y = 0;
        thumb.GetSize(&x, &y);
        if (x > 64 || y > 64 || x == 0 || y == 0)
            std::abort();
    }
    if (type == QL_FILE_JPEG) {
        std::unique_ptr<BYTE[]> out;
        std::size_t outSize = 0;
        qlcodec::TransformJpeg(data, size, 1 + 2 * static_cast<int>(size & 1), out, outSize);
    }
    CQLImage raw;
    if (LoadRawAs8Bit(path.c_str(), true, raw) && raw.GetAreaByteSize() == 0)
        std::abort();
    if (RawFileShape(path.c_str(), w, h) && (w <= 0 || h <= 0))
        std::abort();
    LoadRawThumbnail(path.c_str(), raw);
    return 0;
}
