// The headers of a BMP file, read and checked in one place for both readers:
// CQLImage::LoadFromFile (uncompressed and bit-field files) and the codec
// library, which adds the RLE files.
#pragma once

#include "imagecore/Pixel.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <functional>

namespace imagecore {

enum : DWORD {
    kBmpRgb = 0,
    kBmpRle8 = 1,
    kBmpRle4 = 2,
    kBmpBitFields = 3,
};

// One component of a bit-field pixel: 8-bit value = lut[(word & mask) >> shift].
struct BmpMaskChannel {
    DWORD mask = 0;
    int shift = 0;
    BYTE lut[256] = {};
};

struct BmpLayout {
    int width = 0;
    int height = 0; // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = kBmpRgb;
    ULONGLONG rowBytes = 0;  // uncompressed rows only
    ULONGLONG dataStart = 0; // never before the end of the headers and palette
    bool plainBgra = false;  // 32-bit with byte-aligned B, G, R (and A) masks
    CPixel palette[256] = {}; // entries past the file's palette repeat entry 0
    BmpMaskChannel red, green, blue, alpha;
};

// Headers, masks and palette of a BMP file all lie within its first this many bytes.
inline constexpr std::size_t kBmpMaxHeaderBytes = 14 + 124 + 12 + 256 * 4;

// Reads and checks the headers, masks and palette from the file's first
// `size` bytes. Accepted: 1, 4, 8, 24 bits uncompressed; 16 and 32 bits
// uncompressed or with contiguous bit-field masks; RLE8 on 8 bits and RLE4
// on 4 bits, bottom-up only. Sides 1..65535. Whether the pixel data is all
// there is left to the reader. False when the file is not one of these.
bool ParseBmpHeaders(const BYTE* data, std::size_t size, BmpLayout& bmp);

// Reads an uncompressed or bit-field BMP file top-down, a block of rows at a
// time (bottom-up files from their end), without reading it whole. start
// runs once the headers are checked and the file is long enough, before
// anything the size of the picture is allocated; a non-zero return stops
// with that code. dest(y) is where picture row y goes; blockDone(y0, n)
// follows each block (rows y0 .. y0 + n - 1). Returns 0, or the error codes
// of CQLImage::LoadFromFile (2 cannot open, 8 no memory, 9 bad or short
// file; 9 also for run-length files, which are the codec's).
// Rows in each block of ReadBmpRows; blocks start at multiples of it.
std::size_t BmpBlockRows(const BmpLayout& layout);
LONG ReadBmpRows(const char* path, const std::function<LONG(const BmpLayout&)>& start,
                 const std::function<CPixel*(int y)>& dest, const std::function<void(int y0, int n)>& blockDone);

} // namespace imagecore
