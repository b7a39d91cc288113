#include "algorithms/DefogAlgorithm.h"

#include "algorithms/NumericHelpers.h"
#include "algorithms/RowProgress.h"
#include "algorithms/SmoothAlgorithm.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <vector>

namespace {

// Top-left of the window around position p, kept inside 0 .. size - window - 1
// (the last row and column are never read), and the samples it covers.
struct Span {
    int first;
    int count;
};

Span WindowAt(int p, int window, int size)
{
    const int first = std::max(0, std::min(p - window / 2, size - window - 1));
    return {first, std::min(window, size - first)};
}

// 2^32 / d rounded up, d = 1 .. 255: for n < 2^16, (n * m) >> 32 is n / d
// exactly (the error stays below n / 2^32 < 1 / d).
struct Reciprocals {
    unsigned long long of[256] = {};
    Reciprocals()
    {
        for (unsigned long long d = 1; d < 256; ++d)
            of[d] = (1ULL << 32) / d + 1;
    }
};

// (v - lo) * 255 / (hi - lo) clamped to 0..255, for lo < hi.
inline BYTE Stretch(int v, long long lo, long long hi, const Reciprocals& r)
{
    if (v <= lo)
        return 0;
    if (v >= hi)
        return 255;
    // Here 0 < v - lo < hi - lo.
    const long long d = hi - lo;
    if (d < 256)
        return static_cast<BYTE>((static_cast<unsigned long long>((v - lo) * 255) * r.of[d]) >> 32);
    return static_cast<BYTE>((v - lo) * 255 / d);
}

} // namespace

DefogAlgorithm::~DefogAlgorithm() = default;

// Each pixel of the small copy gets byte 2 = the largest and byte 1 = the
// smallest grey level (byte 3) of its window, byte 0 = 255. False on a cancel.
bool DefogAlgorithm::MeasureExtremes(CQLImage& small)
{
    UINT uw = 0, uh = 0;
    small.GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    // A copy whose shorter side is under 8 would get a window of 0 and read
    // nothing; 2 keeps the measurement meaningful.
    window = std::max(2, (std::min(w, h) / 8) * 2);

    // Per row, the extremes over every horizontal window start; then over
    // the window's rows. Maximum and minimum are exact, so the split does
    // not change the result.
    std::vector<BYTE> rowMax(static_cast<std::size_t>(w) * h), rowMin(rowMax.size());
    for (int y = 0; y < h; ++y) {
        const BYTE* p = small.GetBuffer(0, y);
        for (int x = 0; x < w; ++x) {
            const Span s = WindowAt(x, window, w);
            BYTE hi = 0, lo = 255;
            for (int i = s.first; i < s.first + s.count; ++i) {
                hi = std::max(hi, p[i * 4 + 3]);
                lo = std::min(lo, p[i * 4 + 3]);
            }
            rowMax[static_cast<std::size_t>(y) * w + x] = hi;
            rowMin[static_cast<std::size_t>(y) * w + x] = lo;
        }
    }
    for (int y = 0; y < h; ++y) {
        if (y % 10 == 0) {
            Progress(40 + 30 * y / h);
            if (TestCancel())
                return false;
        }
        const Span rows = WindowAt(y, window, h);
        BYTE* out = small.GetBuffer(0, y);
        for (int x = 0; x < w; ++x) {
            BYTE hi = 0, lo = 255;
            for (int r = rows.first; r < rows.first + rows.count; ++r) {
                hi = std::max(hi, rowMax[static_cast<std::size_t>(r) * w + x]);
                lo = std::min(lo, rowMin[static_cast<std::size_t>(r) * w + x]);
            }
            out[x * 4] = 255;
            out[x * 4 + 1] = lo;
            out[x * 4 + 2] = hi;
            localMax = hi;
            localMin = lo;
        }
    }
    return true;
}

HRESULT DefogAlgorithm::Apply(const void* params)
{
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    strength = static_cast<const DefogParams*>(params)->strength;
    UINT uw = 0, uh = 0;
    source->GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);

    // The small copy: longer side kMeasureSide, the other in proportion but
    // at least 1.
    const int sw = w >= h ? kMeasureSide : std::max(1, static_cast<int>(static_cast<long long>(w) * kMeasureSide / h));
    const int sh = w >= h ? std::max(1, static_cast<int>(static_cast<long long>(h) * kMeasureSide / w)) : kMeasureSide;
    CQLImage small, blurred, map;
    if (small.Create(sw, sh) != 0 || !ResizeImage(source, &small, sw, sh, 0, 0, -1, -1, 0))
        return E_FAIL;
    small.BuildGrayChannel();
    Progress(40);
    if (!MeasureExtremes(small))
        return E_FAIL;

    SmoothAlgorithm blur;
    blur.SetImages(&small, &blurred);
    const SmoothParams radius = {24};
    if (blur.Apply(&radius) != 0 || map.Create(uw, uh) != 0
        || !ResizeImage(&blurred, &map, w, h, 0, 0, -1, -1, 0))
        return E_FAIL;
    Progress(90);
    if (TestCancel())
        return E_FAIL;

    // Where the map is covered (byte 0 at least 220), the local range
    // [lo, hi] is stretched to [0, 255]; strength 0 gives [0, 255].
    if (target != source && target->Create(uw, uh) != 0)
        return E_FAIL;
    const long long b = strength;
    long long lows[256], highs[256];
    for (int v = 0; v < 256; ++v) {
        lows[v] = v * b / 100;
        highs[v] = (b * (v - 255) + 25500) / 100;
    }
    static const Reciprocals reciprocals;
    RowProgress progress(*this, h, 90, 100);
    imagecore::ParallelFor(0, h, static_cast<std::size_t>(w) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const BYTE* s = source->GetBuffer(0, y);
            const BYTE* m = map.GetBuffer(0, y);
            BYTE* d = target->GetBuffer(0, y);
            for (int x = 0; x < w; ++x, s += 4, m += 4, d += 4) {
                const long long lo = lows[m[1]], hi = highs[m[2]];
                if (m[0] >= 220 && lo < hi) {
                    d[0] = Stretch(s[0], lo, hi, reciprocals);
                    d[1] = Stretch(s[1], lo, hi, reciprocals);
                    d[2] = Stretch(s[2], lo, hi, reciprocals);
                } else {
                    d[0] = s[0], d[1] = s[1], d[2] = s[2];
                }
                d[3] = s[3];
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
