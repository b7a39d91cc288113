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
#include "imagecore/PixelMemory.h"

#include <algorithm>
#include <vector>

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

namespace {

// Rows are handed over bottom-up as the runs finish them; rows the runs
// skip (a delta, an early end of bitmap) are filled with entry 0 only when
// they are reached, so a short file costs only the rows it really covers.
bool ReadBmpRle(const BYTE* data, std::size_t size, RowSink& sink)
{
    imagecore::BmpLayout bmp;
    if (!imagecore::ParseBmpHeaders(data, size, bmp) || !IsRle(bmp) || bmp.dataStart > size
        || !DecodeSizeOk(ULONGLONG(bmp.width), ULONGLONG(bmp.height)))
        return false;
    const UINT w = static_cast<UINT>(bmp.width), h = static_cast<UINT>(bmp.height);
    if (!sink.Begin(w, h, true))
        return false;
    const CPixel* pal = bmp.palette;
    const bool four = bmp.compression == imagecore::kBmpRle4;
    const BYTE* p = data + bmp.dataStart;
    const BYTE* const end = data + size;
    UINT x = 0; // never past w: what lies beyond the row is dropped
    UINT y = 0; // file row, 0 = bottom
    CPixel* row = sink.RowAt(h - 1);
    std::fill(row, row + w, pal[0]);
    // Finishes file row y and starts the next one.
    auto nextRow = [&] {
        sink.RowDone(h - 1 - y);
        if (++y < h) {
            row = sink.RowAt(h - 1 - y);
            std::fill(row, row + w, pal[0]);
        }
    };
    while (y < h) {
        if (end - p < 2)
            return false;
        const UINT count = p[0];
        const BYTE value = p[1];
        p += 2;
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
            nextRow();
            break;
        case 1: // end of bitmap: the rest keeps entry 0
            while (y < h)
                nextRow();
            return true;
        case 2: { // delta: right and up
            if (end - p < 2)
                return false;
            x = std::min(w, x + p[0]);
            for (UINT up = p[1]; up > 0 && y < h; --up)
                nextRow();
            p += 2;
            break;
        }
        default: { // literal indices, padded to a 16-bit boundary
            const UINT n = value;
            const std::size_t bytes = ((four ? (n + 1) / 2 : n) + 1) & ~std::size_t{1};
            if (static_cast<std::size_t>(end - p) < bytes)
                return false;
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

} // namespace

bool DecodeBmpRle(const BYTE* data, std::size_t size, CQLImage& image)
{
    image.Free();
    const imagecore::LazyPixelScope lazy; // rows are filled only as runs reach them
    ImageSink sink(image);
    if (ReadBmpRle(data, size, sink))
        return true;
    image.Free();
    return false;
}

bool StreamBmpRle(const BYTE* data, std::size_t size, RowSink& sink)
{
    return ReadBmpRle(data, size, sink);
}

bool LoadBmp(const char* path, CQLImage& image)
{
    MappedFile f;
    imagecore::BmpLayout bmp;
    if (!f.Open(path) || !imagecore::ParseBmpHeaders(f.Data(), f.Size(), bmp))
        return false;
    if (!IsRle(bmp))
        return image.LoadFromFile(path) == 0;
    return DecodeBmpRle(f.Data(), f.Size(), image);
}

bool StreamBmp(const char* path, RowSink& sink)
{
    MappedFile f;
    imagecore::BmpLayout bmp;
    if (!f.Open(path) || !imagecore::ParseBmpHeaders(f.Data(), f.Size(), bmp))
        return false;
    if (IsRle(bmp))
        return StreamBmpRle(f.Data(), f.Size(), sink);
    // Uncompressed rows in blocks, top-down, each block handed on row by
    // row; blocks start at multiples of their row count.
    std::vector<CPixel> block;
    UINT width = 0;
    std::size_t blockRows = 1;
    const LONG err = imagecore::ReadBmpRows(
        path,
        [&](const imagecore::BmpLayout& layout) -> LONG {
            width = static_cast<UINT>(layout.width);
            blockRows = imagecore::BmpBlockRows(layout);
            if (!DecodeSizeOk(ULONGLONG(layout.width), ULONGLONG(layout.height))
                || !sink.Begin(width, static_cast<UINT>(layout.height), false))
                return E_FAIL;
            try {
                block.resize(blockRows * width);
            } catch (...) {
                return 8;
            }
            return 0;
        },
        [&](int y) { return block.data() + static_cast<std::size_t>(y) % blockRows * width; },
        [&](int y0, int n) {
            for (int i = 0; i < n; ++i) {
                const UINT y = static_cast<UINT>(y0 + i);
                std::memcpy(sink.RowAt(y), block.data() + static_cast<std::size_t>(i) * width, std::size_t{width} * 4);
                sink.RowDone(y);
            }
        });
    return err == 0;
}

} // namespace qlcodec
