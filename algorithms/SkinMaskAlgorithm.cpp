#include "algorithms/SkinMaskAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "imagecore/ParallelFor.h"
#include "platform/codec/ColorForms.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// Only the colour bytes are read: other rows' alpha is being written meanwhile.
void GreyRow(const BYTE* p, int width, int* out)
{
    for (int x = 0; x < width; ++x, p += 4)
        out[x] = GrayOf(p);
}

int ToneWeight(int y)
{
    if (y < 32 || y > 250)
        return 0;
    if (y < 128)
        return (y - 32) * 255 / 96;
    if (y <= 200)
        return 255;
    return (250 - y) * 255 / 50;
}

int HueWeight(int h, int tone)
{
    if (h < 32)
        return 255;
    if (h < 50)
        return (50 - h) * 255 / 18;
    if (h <= 240)
        return (tone > 240 || tone < 64) ? 128 : 0;
    return (h - 235) * 255 / 20;
}

int TextureWeight(int g)
{
    if (g <= 7)
        return 255;
    if (g <= 32)
        return (32 - g) * 255 / 24;
    return 0;
}

// rows[0..2]: grey of the rows above, at and below; x is an inner column.
BYTE MaskAt(const int* const rows[3], const BYTE* pixel, int x)
{
    const int tone = ToneWeight(rows[1][x]);
    if (tone == 0)
        return 0;
    const int* up = rows[0];
    const int* mid = rows[1];
    const int* down = rows[2];
    const int across = std::abs(up[x - 1] + mid[x - 1] + down[x - 1] - up[x + 1] - mid[x + 1] - down[x + 1]);
    const int along = std::abs(up[x - 1] + up[x] + up[x + 1] - down[x - 1] - down[x] - down[x + 1]);
    const int texture = TextureWeight(std::max(across, along) / 3);
    if (texture == 0)
        return 0;
    BYTE hsb[4] = {pixel[0], pixel[1], pixel[2], 0};
    qlcodec::RgbToHsbPixel(hsb);
    const int hue = HueWeight(hsb[2], tone);
    if (hue == 0)
        return 0;
    return static_cast<BYTE>(std::min({tone, hue, texture}));
}

} // namespace

SkinMaskAlgorithm::~SkinMaskAlgorithm() = default;

HRESULT SkinMaskAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0)
        return E_FAIL;
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    RowProgress progress(*this, h, 0, 100);
    std::atomic<bool> failed{false};
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        std::vector<int> ring;
        try {
            ring.resize(static_cast<std::size_t>(w) * 3);
        } catch (const std::bad_alloc&) {
            failed.store(true);
            return;
        }
        auto greyOf = [&](int row) { return ring.data() + static_cast<std::size_t>(row % 3) * w; };
        int nextGrey = std::max(0, y0 - 1);
        for (int y = y0; y < y1; ++y) {
            BYTE* p = source->GetBuffer(0, y);
            if (y < 2 || y >= h - 2 || w < 5) {
                for (int x = 0; x < w; ++x)
                    p[x * 4 + 3] = 0;
            } else {
                for (; nextGrey <= y + 1; ++nextGrey)
                    GreyRow(source->GetBuffer(0, nextGrey), w, greyOf(nextGrey));
                const int* rows[3] = {greyOf(y - 1), greyOf(y), greyOf(y + 1)};
                p[3] = p[7] = p[(w - 2) * 4 + 3] = p[(w - 1) * 4 + 3] = 0;
                for (int x = 2; x < w - 2; ++x)
                    p[x * 4 + 3] = MaskAt(rows, p + x * 4, x);
            }
            if (!progress.Advance(1))
                return;
        }
    });
    if (failed.load() || progress.Cancelled())
        return E_FAIL;
    Progress(100);
    return 0;
}
