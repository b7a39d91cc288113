// BMP: the headers are checked by imagecore (one parser for both readers);
// uncompressed and bit-field files are read by CQLImage::LoadFromFile, the
// run-length files (RLE8, RLE4) here.
//
// RLE rows run bottom-up. Pixels that the runs never reach (skipped by a
// delta or an end of line, or after an early end of bitmap) keep palette
// entry 0. Pixels of a run past the end of its row are dropped (no wrapping
// into the next row); a delta past the last row ends the picture. A stream
// that ends before its end-of-bitmap mark while rows are still to come is a
// failed load; once every row has been reached the rest is not read.

#include "platform/codec/CodecInternal.h"

#include "imagecore/BmpHeader.h"

#include <algorithm>

namespace qlcodec {
namespace {

bool IsRle(const imagecore::BmpLayout& bmp)
{
    return bmp.compression == imagecore::kBmpRle8 || bmp.compression == imagecore::kBmpRle4;
}

} // namespace

bool ShapeBmp(const BYTE* data, std::size_t size, UINT& width, UINT& height)
{
    width = height = 0;
    imagecore::BmpLayout bmp;
    if (!imagecore::ParseBmpHeaders(data, size, bmp) || !SizeOk(bmp.width, bmp.height))
        return false;
    width = static_cast<UINT>(bmp.width);
    height = static_cast<UINT>(bmp.height);
    return true;
}

bool DecodeBmpRle(const BYTE* data, std::size_t size, CQLImage& image)
{
    image.Free();
    imagecore::BmpLayout bmp;
    if (!imagecore::ParseBmpHeaders(data, size, bmp) || !IsRle(bmp) || bmp.dataStart > size)
        return false;
    const UINT w = static_cast<UINT>(bmp.width), h = static_cast<UINT>(bmp.height);
    if (!MakeImage(image, w, h))
        return false;
    const CPixel* pal = bmp.palette;
    CPixel* pixels = reinterpret_cast<CPixel*>(image.GetBuffer(0, 0));
    std::fill(pixels, pixels + std::size_t{w} * h, pal[0]);

    const bool four = bmp.compression == imagecore::kBmpRle4;
    const BYTE* p = data + bmp.dataStart;
    const BYTE* const end = data + size;
    UINT x = 0; // never past w: what lies beyond the row is dropped
    UINT y = 0; // file row, 0 = bottom
    auto fail = [&] {
        image.Free();
        return false;
    };
    while (y < h) {
        if (end - p < 2)
            return fail();
        const UINT count = p[0];
        const BYTE value = p[1];
        p += 2;
        CPixel* row = reinterpret_cast<CPixel*>(Row(image, h - 1 - y));
        if (count > 0) { // a run of one index (RLE4: two alternating)
            const UINT n = std::min(count, w - x);
            if (four) {
                const CPixel pair[2] = {pal[value >> 4], pal[value & 15]};
                for (UINT i = 0; i < n; ++i)
                    row[x + i] = pair[i & 1];
            } else {
                std::fill(row + x, row + x + n, pal[value]);
            }
            x += n;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta: right and up
            if (end - p < 2)
                return fail();
            x = std::min(w, x + p[0]);
            y += p[1];
            p += 2;
            break;
        default: { // literal indices, padded to a 16-bit boundary
            const UINT n = value;
            const std::size_t bytes = ((four ? (n + 1) / 2 : n) + 1) & ~std::size_t{1};
            if (static_cast<std::size_t>(end - p) < bytes)
                return fail();
            const UINT k = std::min(n, w - x);
            for (UINT i = 0; i < k; ++i)
                row[x + i] = pal[four ? (p[i >> 1] >> ((i & 1) ? 0 : 4)) & 15 : p[i]];
            x += k;
            p += bytes;
            break;
        }
        }
    }
    return true;
}

bool LoadBmp(const char* path, CQLImage& image)
{
    FileBytes head;
    imagecore::BmpLayout bmp;
    if (!ReadFileBytes(path, head, imagecore::kBmpMaxHeaderBytes)
        || !imagecore::ParseBmpHeaders(head.data.get(), head.size, bmp))
        return false;
    if (!IsRle(bmp))
        return image.LoadFromFile(path) == 0;
    FileBytes f;
    return ReadFileBytes(path, f) && DecodeBmpRle(f.data.get(), f.size, image);
}

} // namespace qlcodec
