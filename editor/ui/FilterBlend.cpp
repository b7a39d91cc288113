#include "editor/ui/FilterBlend.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kHistogramSamples = 320000;

// 65536 entries indexed s * 256 + r.
using PairTable = std::vector<uint8_t>;

PairTable MakeBlendTable(int mode)
{
    PairTable table(256 * 256);
    for (int s = 0; s < 256; ++s)
        for (int r = 0; r < 256; ++r)
            table[static_cast<size_t>(s * 256 + r)] = static_cast<uint8_t>(BlendPixel(mode, s, r));
    return table;
}

void GetSize(const CQLImage& image, int* w, int* h)
{
    UINT uw = 0, uh = 0;
    image.GetSize(&uw, &uh);
    *w = static_cast<int>(uw);
    *h = static_cast<int>(uh);
}

// Constant weight: source, blend and weight fold into one table lookup.
void BlendRowsConstant(const CQLImage& source, CQLImage* result, const PairTable& blend, int f, int w, int h)
{
    PairTable mixed(256 * 256);
    for (int s = 0; s < 256; ++s)
        for (int r = 0; r < 256; ++r)
            mixed[static_cast<size_t>(s * 256 + r)] =
                static_cast<uint8_t>((s * (255 - f) + f * blend[static_cast<size_t>(s * 256 + r)]) / 255);
    const uint8_t* t = mixed.data();
    imagecore::ParallelFor(0, h, static_cast<size_t>(w), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = source.GetBuffer(0, y);
            BYTE* r = result->GetBuffer(0, y);
            for (int x = 0; x < w; ++x, s += 4, r += 4) {
                r[0] = t[s[0] * 256 + r[0]];
                r[1] = t[s[1] * 256 + r[1]];
                r[2] = t[s[2] * 256 + r[2]];
            }
        }
    });
}

// Pixels the mask does not cover get no effect (weight 0).
void BlendRowsMasked(const CQLImage& source, CQLImage* result, const PairTable& blend, int opacity,
                     const CQLChannel& mask, int w, int h)
{
    UINT mw = 0, mh = 0;
    mask.GetSize(&mw, &mh);
    const int covered = std::min(w, static_cast<int>(mw));
    const uint8_t* t = blend.data();
    imagecore::ParallelFor(0, h, static_cast<size_t>(w), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = source.GetBuffer(0, y);
            BYTE* r = result->GetBuffer(0, y);
            const int inMask = y < static_cast<int>(mh) ? covered : 0;
            const BYTE* m = inMask ? mask.GetBuffer(0, y) : nullptr;
            int x = 0;
            for (; x < inMask; ++x, s += 4, r += 4) {
                const unsigned f = static_cast<unsigned>(opacity * m[x] / 255);
                const unsigned g = 255 - f;
                r[0] = static_cast<BYTE>((s[0] * g + f * t[s[0] * 256 + r[0]]) / 255u);
                r[1] = static_cast<BYTE>((s[1] * g + f * t[s[1] * 256 + r[1]]) / 255u);
                r[2] = static_cast<BYTE>((s[2] * g + f * t[s[2] * 256 + r[2]]) / 255u);
            }
            for (; x < w; ++x, s += 4, r += 4) {
                r[0] = s[0];
                r[1] = s[1];
                r[2] = s[2];
            }
        }
    });
}

// The mask at (ox, oy) in the result: result = (source * (255 - m) + result * m) / 255.
void MaskRows(const CQLImage& source, CQLImage* result, const CQLChannel& mask, POINT offset)
{
    int rw, rh, sw, sh;
    GetSize(*result, &rw, &rh);
    GetSize(source, &sw, &sh);
    UINT mw = 0, mh = 0;
    mask.GetSize(&mw, &mh);
    const int ox = offset.x, oy = offset.y;
    const int x0 = std::max(0, -ox), y0 = std::max(0, -oy);
    const int x1 = std::min({rw - ox, static_cast<int>(mw), sw});
    const int y1 = std::min({rh - oy, static_cast<int>(mh), sh});
    if (x1 <= x0 || y1 <= y0)
        return;
    imagecore::ParallelFor(y0, y1, static_cast<size_t>(x1 - x0), [&](int ya, int yb) {
        for (int y = ya; y < yb; ++y) {
            const BYTE* s = source.GetBuffer(x0, y);
            const BYTE* m = mask.GetBuffer(x0, y);
            BYTE* r = result->GetBuffer(ox + x0, oy + y);
            for (int x = x0; x < x1; ++x, s += 4, r += 4, ++m) {
                const unsigned k = *m, g = 255 - k;
                r[0] = static_cast<BYTE>((s[0] * g + r[0] * k) / 255u);
                r[1] = static_cast<BYTE>((s[1] * g + r[1] * k) / 255u);
                r[2] = static_cast<BYTE>((s[2] * g + r[2] * k) / 255u);
            }
        }
    });
}

}  // namespace

int BlendPixel(int mode, int s, int r)
{
    switch (mode) {
    case kBlendMultiply:
        return (s * r) >> 8;
    case kBlendScreen:
        return 255 - (((255 - s) * (255 - r)) >> 8);
    case kBlendLighten:
        return std::max(s, r);
    case kBlendDarken:
        return std::min(s, r);
    case kBlendOverlap:
        return s < 128 ? (s * r) >> 7 : 255 - (((255 - s) * (255 - r)) >> 7);
    case kBlendHardLight:
        return r < 128 ? (s * r) >> 7 : 255 - (((255 - s) * (255 - r)) >> 7);
    case kBlendSoftLight:
        if (s >= 128)
            return static_cast<int>(((2 * r - 255) * 16 * std::sqrt(static_cast<double>(s)) + 2.0 * s * (255 - r)) / 256);
        // Arithmetic shift: rounds towards minus infinity for r > 128.
        return s - (((16384 - (128 - s) * (128 - s)) * (128 - r)) >> 15);
    case kBlendDifference:
        return std::abs(s - r);
    default:
        return r;
    }
}

void BlendResult(const CQLImage& source, CQLImage* result, const LayerBlend& layer, const CQLChannel* mask,
                 POINT offset)
{
    int sw, sh, rw, rh;
    GetSize(source, &sw, &sh);
    GetSize(*result, &rw, &rh);
    if (mask) {
        UINT mw = 0, mh = 0;
        mask->GetSize(&mw, &mh);
        if (static_cast<int>(mw) > rw || static_cast<int>(mh) > rh || mask->GetAreaByteSize() == 0)
            mask = nullptr;
    }
    const bool sameSize = sw == rw && sh == rh && rw > 0 && rh > 0;
    if (sameSize && layer.active) {
        const PairTable blend = MakeBlendTable(layer.mode);
        if (mask)
            BlendRowsMasked(source, result, blend, std::clamp(layer.opacity, 0, 255), *mask, rw, rh);
        else
            BlendRowsConstant(source, result, blend, std::clamp(layer.opacity, 0, 255), rw, rh);
        return;
    }
    if (mask)
        MaskRows(source, result, *mask, offset);
}

void ComputeHistogram(const CQLImage* image, HistogramTable table)
{
    if (!image || image->GetAreaByteSize() == 0)
        return;
    std::memset(table, 0, sizeof(HistogramTable));
    const size_t pixels = image->GetAreaByteSize() / 4;
    const size_t step = std::max<size_t>(1, pixels / kHistogramSamples);
    const BYTE* p = image->GetBuffer(0, 0);
    for (size_t i = 0; i < pixels; i += step) {
        const BYTE* px = p + i * 4;
        const int b = px[0], g = px[1], r = px[2];
        ++table[r][kHistR];
        ++table[g][kHistG];
        ++table[b][kHistB];
        ++table[(6 * g + 3 * r + b) / 10][kHistLuminance];
    }
}
