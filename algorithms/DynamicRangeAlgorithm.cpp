#include "algorithms/DynamicRangeAlgorithm.h"

#include "algorithms/RowProgress.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

int ShadowWeight(int a)
{
    if (a < 128)
        return 255 - (224 * a) / 128;
    if (a < 192)
        return (192 - a) / 2;
    return 0;
}

int HighlightWeight(int a)
{
    if (a < 64)
        return 0;
    if (a < 128)
        return (a - 63) / 2;
    return 255 - (224 * (255 - a)) / 128;
}

} // namespace

DynamicRangeAlgorithm::~DynamicRangeAlgorithm() = default;

// The levels where the darkest and the brightest 0.5 % begin go to 0 and 255;
// a photo spanning 32 levels or less (a flat one among them) is left alone.
void DynamicRangeAlgorithm::StretchTable(const UINT histogram[256], BYTE table[256]) const
{
    ULONGLONG pixels = 0;
    for (int i = 0; i < 256; ++i)
        pixels += histogram[i];
    const ULONGLONG n = pixels / 200;
    int lo = 0, hi = 255;
    if (n > 0) {
        ULONGLONG count = 0;
        for (lo = 0; lo < 255 && (count += histogram[lo]) < n; ++lo) {
        }
        count = 0;
        for (hi = 255; hi > 0 && (count += histogram[hi]) < n; --hi) {
        }
    }
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<BYTE>(lo >= hi - 32 ? v : std::clamp((v - lo) * 255 / (hi - lo), 0, 255));
}

HRESULT DynamicRangeAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    std::memcpy(&param, params, sizeof param);
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);

    // Grey level into the source's byte 3, counted for the stretch.
    std::array<UINT, 256> histogram{};
    std::mutex merge;
    imagecore::ParallelFor(0, h, uw, [&](int y0, int y1) {
        std::array<UINT, 256> local{};
        for (int y = y0; y < y1; ++y) {
            BYTE* p = source->GetBuffer(0, y);
            for (int x = 0; x < w; ++x, p += 4) {
                p[3] = static_cast<BYTE>(GrayOf(p));
                ++local[p[3]];
            }
        }
        std::lock_guard<std::mutex> lock(merge);
        for (int i = 0; i < 256; ++i)
            histogram[i] += local[i];
    });

    if (param.shadowAmount == 0 && param.highlightOn == 0) {
        // Nothing to lift or compress: the blur would be thrown away.
        if (!target->DuplicateFrom(source))
            return E_FAIL;
        Progress(100);
        return 0;
    }

    // The blur goes into the target, or beside it when the two are one image.
    CQLImage local;
    CQLImage* blurred = source == target ? &local : target;
    SmoothAlgorithm blur;
    blur.SetImages(source, blurred);
    blur.SetRange(rangeLow, RangeAt(50));
    blur.SetCallback(callback);
    const SmoothParams radius = {std::max(16, static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h) * 0.025))};
    if (blur.Apply(&radius) != 0 || TestCancel())
        return E_FAIL;
    if (blurred != target && target->Create(uw, uh) != 0)
        return E_FAIL;
    Progress(60);

    BYTE stretch[256];
    for (int v = 0; v < 256; ++v)
        stretch[v] = static_cast<BYTE>(v);
    if (param.autoLevels)
        StretchTable(histogram.data(), stretch);
    const int s = param.shadowAmount, c = param.highlightAmount;
    int shadow[256], highlight[256];
    for (int i = 0; i < 256; ++i) {
        shadow[i] = ShadowWeight(i);
        highlight[i] = HighlightWeight(i);
    }
    // By weight t and value v: ((255 - t) v + t T(v)) / 255 at most 255, and
    // ((255 - t) v + t U(v)) / 255 at least 0; the identity when a step is off.
    std::vector<BYTE> lifted(256 * 256), compressed(256 * 256);
    for (int v = 0; v < 256; ++v) {
        const int lift = ((255 - v) * static_cast<int>((1 + 0.03 * s) * v) + v * v) / 255;
        const int compress = (255 - static_cast<int>((1 + 0.02 * c) * (255 - v) - 255) - v) * v / 255;
        for (int t = 0; t < 256; ++t) {
            lifted[t * 256 + v] = static_cast<BYTE>(s != 0 ? std::min(255, ((255 - t) * v + t * lift) / 255) : v);
            compressed[t * 256 + v] =
                static_cast<BYTE>(param.highlightOn != 0 ? std::max(0, ((255 - t) * v + t * compress) / 255) : v);
        }
    }

    // Stretch, shadow lift and highlight compression in one pass; byte 3 of
    // the target is the blurred grey level.
    RowProgress progress(*this, h, 60, 100);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* p = source->GetBuffer(0, y);
            const BYTE* b = blurred->GetBuffer(0, y);
            BYTE* d = target->GetBuffer(0, y);
            for (int x = 0; x < w; ++x, p += 4, b += 4, d += 4) {
                const int sourceGrey = p[3], blurredGrey = GrayOf(b);
                const BYTE* lift = &lifted[shadow[sourceGrey] * shadow[blurredGrey] / 255 * 256];
                const BYTE* compress = &compressed[highlight[sourceGrey] * highlight[blurredGrey] / 255 * 256];
                d[0] = compress[lift[stretch[p[0]]]];
                d[1] = compress[lift[stretch[p[1]]]];
                d[2] = compress[lift[stretch[p[2]]]];
                d[3] = static_cast<BYTE>(blurredGrey);
            }
            if (!progress.Advance(1))
                return;
        }
    });
    if (progress.Cancelled())
        return E_FAIL;
    Progress(100);
    return 0;
}
