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

// Sharpened value of the channel at w in a row of words; rows[k] is the row
// k - 2 away, and a pixel is 3 words wide.
inline int Sharpened(const WORD* const rows[5], std::size_t w, int amount)
{
    const WORD* r0 = rows[0];
    const WORD* r1 = rows[1];
    const WORD* r2 = rows[2];
    const WORD* r3 = rows[3];
    const WORD* r4 = rows[4];
    const int sum = 4 * (r2[w] + r2[w - 3] + r2[w + 3] + r1[w] + r3[w]) +
                    2 * (r1[w - 3] + r1[w + 3] + r3[w - 3] + r3[w + 3]) + r2[w - 6] + r2[w + 6] + r0[w] + r4[w];
    const int c = r2[w];
    return std::clamp(c + amount * (c - (sum >> 5)) / 50, 0, 65535);
}

} // namespace

const WORD* RawToneTable()
{
    static const std::array<WORD, 65536> table = MakeToneTable();
    return table.data();
}

int ConvertRawTo8Bit(const C16BitBitmap& bitmap, CQLImage& image, int amount)
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
            const WORD* in = reinterpret_cast<const WORD*>(bitmap.GetBuffer(0, y));
            BYTE* out = result.GetBuffer(0, y);
            const bool inner = amount != 0 && y >= 2 && y < h - 2;
            const WORD* rows[5] = {};
            if (inner)
                for (int k = 0; k < 5; ++k)
                    rows[k] = reinterpret_cast<const WORD*>(bitmap.GetBuffer(0, y + k - 2));
            for (int x = 0; x < w; ++x, out += 4) {
                const std::size_t i = static_cast<std::size_t>(x) * 3;
                if (inner && x >= 2 && x < w - 2) {
                    out[0] = static_cast<BYTE>(tone[Sharpened(rows, i, amount)]);
                    out[1] = static_cast<BYTE>(tone[Sharpened(rows, i + 1, amount)]);
                    out[2] = static_cast<BYTE>(tone[Sharpened(rows, i + 2, amount)]);
                } else {
                    out[0] = static_cast<BYTE>(tone[in[i]]);
                    out[1] = static_cast<BYTE>(tone[in[i + 1]]);
                    out[2] = static_cast<BYTE>(tone[in[i + 2]]);
                }
                out[3] = 255;
            }
        }
    });
    image = std::move(result);
    return 1;
}
