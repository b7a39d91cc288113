#include "platform/raw/RawTone.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

std::array<WORD, 65536> MakeToneTable()
{
    std::array<WORD, 65536> table{};
    for (int i = 0; i < 65536; ++i) {
        const double x = i / 65536.0;
        const double y = x <= 0.018 ? 4.5 * x : 1.099 * std::pow(x, 0.45) - 0.099;
        table[i] = static_cast<WORD>(std::clamp(static_cast<int>(256.0 * y), 0, 255));
    }
    return table;
}

// Sharpened value of one channel at (x, y); offset picks b, g or r.
inline int Sharpened(const C16BitBitmap& bitmap, int x, int y, int offset)
{
    auto at = [&](int dx, int dy) {
        return static_cast<int>(reinterpret_cast<const WORD*>(bitmap.GetBuffer(x + dx, y + dy))[offset]);
    };
    const int sum = 4 * (at(0, 0) + at(-1, 0) + at(1, 0) + at(0, -1) + at(0, 1)) +
                    2 * (at(-1, -1) + at(1, -1) + at(-1, 1) + at(1, 1)) + at(-2, 0) + at(2, 0) + at(0, -2) +
                    at(0, 2);
    return std::clamp(2 * at(0, 0) - (sum >> 5), 0, 65535);
}

} // namespace

const WORD* RawToneTable()
{
    static const std::array<WORD, 65536> table = MakeToneTable();
    return table.data();
}

int ConvertRawTo8Bit(const C16BitBitmap& bitmap, CQLImage& image, bool sharpen)
{
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (w <= 0 || h <= 0)
        return 0;
    CQLImage result;
    if (result.Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return 0;
    const WORD* tone = RawToneTable();
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 8, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const C16BitPixel* in = bitmap.GetBuffer(0, y);
            BYTE* out = result.GetBuffer(0, y);
            const bool inner = sharpen && y >= 2 && y < h - 2;
            for (int x = 0; x < w; ++x, out += 4) {
                if (inner && x >= 2 && x < w - 2) {
                    out[0] = static_cast<BYTE>(tone[Sharpened(bitmap, x, y, 0)]);
                    out[1] = static_cast<BYTE>(tone[Sharpened(bitmap, x, y, 1)]);
                    out[2] = static_cast<BYTE>(tone[Sharpened(bitmap, x, y, 2)]);
                } else {
                    out[0] = static_cast<BYTE>(tone[in[x].b]);
                    out[1] = static_cast<BYTE>(tone[in[x].g]);
                    out[2] = static_cast<BYTE>(tone[in[x].r]);
                }
                out[3] = 255;
            }
        }
    });
    image = std::move(result);
    return 1;
}
