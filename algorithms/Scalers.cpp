// Scalers of image rectangles and 8-bit planes: bilinear enlarging with the
// ends aligned, area-weighted reduction.
#include "algorithms/NumericHelpers.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A region of a plane of 1 or 4 bytes per pixel.
struct Plane {
    BYTE* bits;
    int width;  // pixels in a full row
    int height;
    int bpp;
    BYTE* At(int x, int y) const
    {
        return bits + (static_cast<std::ptrdiff_t>(y) * width + x) * bpp;
    }
};

struct Region {
    int x, y, w, h;
};

// Resolves -1 extents and checks the region lies inside the plane.
bool ResolveRegion(const Plane& p, int x, int y, int w, int h, Region* r)
{
    if (!p.bits || x < 0 || y < 0 || x >= p.width || y >= p.height)
        return false;
    if (w == -1)
        w = p.width - x;
    if (h == -1)
        h = p.height - y;
    if (w <= 0 || h <= 0 || w > p.width - x || h > p.height - y)
        return false;
    *r = {x, y, w, h};
    return true;
}

// Source index and 8-bit fraction of every target position along one axis,
// end-aligned: i (n - 1) / (t - 1). One target position reads position 0.
void BilinearAxis(int n, int t, std::vector<int>& index, std::vector<int>& frac)
{
    index.resize(t);
    frac.resize(t);
    for (int i = 0; i < t; ++i) {
        if (t == 1) {
            index[i] = 0;
            frac[i] = 0;
            continue;
        }
        const long long num = static_cast<long long>(i) * (n - 1);
        index[i] = static_cast<int>(num / (t - 1));
        frac[i] = static_cast<int>((num * 256 / (t - 1)) % 256);
    }
}

// Horizontal step of the bilinear enlarger for one source row:
// a (255 - f) + b f per byte, which fits 16 bits.
void HorizontalLerp(const Plane& s, const Region& r, int sy, const std::vector<int>& xi, const std::vector<int>& xf,
                    WORD* out)
{
    const BYTE* row = s.At(r.x, r.y + sy);
    const int bpp = s.bpp;
    const int last = r.w - 1;
    for (std::size_t i = 0; i < xi.size(); ++i) {
        const int x0 = xi[i];
        const int x1 = std::min(x0 + 1, last);
        const int f = xf[i];
        const BYTE* a = row + x0 * bpp;
        const BYTE* b = row + x1 * bpp;
        for (int c = 0; c < bpp; ++c)
            out[i * bpp + c] = static_cast<WORD>(a[c] * (255 - f) + b[c] * f);
    }
}

// Each byte: (top * (255 - fy)) >> 16 + (bottom * fy) >> 16.
void VerticalLerp(const WORD* top, const WORD* bottom, int fy, BYTE* out, std::size_t n)
{
    std::size_t i = 0;
    const WORD wt = static_cast<WORD>(255 - fy), wb = static_cast<WORD>(fy);
#if defined(__SSE2__)
    const __m128i vt = _mm_set1_epi16(static_cast<short>(wt));
    const __m128i vb = _mm_set1_epi16(static_cast<short>(wb));
    for (; i + 16 <= n; i += 16) {
        const __m128i t0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i));
        const __m128i t1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i + 8));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i + 8));
        const __m128i r0 = _mm_add_epi16(_mm_mulhi_epu16(t0, vt), _mm_mulhi_epu16(b0, vb));
        const __m128i r1 = _mm_add_epi16(_mm_mulhi_epu16(t1, vt), _mm_mulhi_epu16(b1, vb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(r0, r1));
    }
#endif
    for (; i < n; ++i)
        out[i] = static_cast<BYTE>(((top[i] * static_cast<unsigned>(wt)) >> 16) + ((bottom[i] * static_cast<unsigned>(wb)) >> 16));
}

// Bilinear enlargement of region r of s into all of d (tw x th). alphaOnly
// writes byte 3 only (4-byte planes).
bool Enlarge(const Plane& s, const Region& r, const Plane& d, bool alphaOnly)
{
    const int tw = d.width, th = d.height, bpp = s.bpp;
    std::vector<int> xi, xf, yi, yf;
    try {
        BilinearAxis(r.w, tw, xi, xf);
        BilinearAxis(r.h, th, yi, yf);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::size_t rowValues = static_cast<std::size_t>(tw) * bpp;
    std::atomic<bool> ok{true};
    imagecore::ParallelFor(0, th, rowValues, [&](int y0, int y1) {
        std::vector<WORD> top, bottom;
        std::vector<BYTE> row;
        try {
            top.resize(rowValues);
            bottom.resize(rowValues);
            row.resize(alphaOnly ? rowValues : 0);
        } catch (const std::bad_alloc&) {
            ok.store(false);
            return;
        }
        int cachedTop = -1, cachedBottom = -1;
        for (int y = y0; y < y1; ++y) {
            const int sy0 = yi[y];
            const int sy1 = std::min(sy0 + 1, r.h - 1);
            if (cachedTop != sy0) {
                if (cachedBottom == sy0) {
                    top.swap(bottom);
                    cachedBottom = -1;
                } else {
                    HorizontalLerp(s, r, sy0, xi, xf, top.data());
                }
                cachedTop = sy0;
            }
            if (cachedBottom != sy1) {
                HorizontalLerp(s, r, sy1, xi, xf, bottom.data());
                cachedBottom = sy1;
            }
            BYTE* out = d.At(0, y);
            if (!alphaOnly) {
                VerticalLerp(top.data(), bottom.data(), yf[y], out, rowValues);
            } else {
                VerticalLerp(top.data(), bottom.data(), yf[y], row.data(), rowValues);
                for (int x = 0; x < tw; ++x)
                    out[x * 4 + 3] = row[x * 4 + 3];
            }
        }
    });
    return ok.load();
}

// Source span and weights (1/1024 of a pixel) of every target position along
// one axis, scale = source / target in single precision.
struct AreaAxis {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> start; // into weight
    std::vector<int> weight;
    std::vector<int> total;
};

void BuildAreaAxis(int n, int t, AreaAxis& a)
{
    const float scale = static_cast<float>(n) / static_cast<float>(t);
    a.first.resize(t);
    a.count.resize(t);
    a.start.resize(t);
    a.total.resize(t);
    a.weight.clear();
    for (int i = 0; i < t; ++i) {
        const float lo = static_cast<float>(i) * scale;
        const float hi = std::min(static_cast<float>(i + 1) * scale, static_cast<float>(n));
        const int j0 = std::min(static_cast<int>(lo), n - 1);
        a.first[i] = j0;
        a.start[i] = static_cast<int>(a.weight.size());
        int total = 0, count = 0;
        for (int j = j0; j < n && static_cast<float>(j) < hi; ++j) {
            const float cover = std::min(hi, static_cast<float>(j + 1)) - std::max(lo, static_cast<float>(j));
            const int w = static_cast<int>(cover * 1024.0f + 0.5f);
            a.weight.push_back(w);
            total += w;
            ++count;
        }
        if (total == 0) { // a sliver below 1/2048 of a pixel: take the pixel it lies in
            a.weight.resize(a.start[i]);
            a.weight.push_back(1024);
            total = 1024;
            count = 1;
        }
        a.count[i] = count;
        a.total[i] = total;
    }
}

bool ShrinkArea(const Plane& s, const Region& r, const Plane& d)
{
    const int tw = d.width, th = d.height, bpp = s.bpp;
    AreaAxis ax, ay;
    try {
        BuildAreaAxis(r.w, tw, ax);
        BuildAreaAxis(r.h, th, ay);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::size_t rowValues = static_cast<std::size_t>(tw) * bpp;
    std::atomic<bool> ok{true};
    imagecore::ParallelFor(0, th, static_cast<std::size_t>(r.w) * bpp * (r.h / th + 1), [&](int y0, int y1) {
        // Accumulators sized to the row, whatever its length.
        std::vector<ULONGLONG> acc;
        std::vector<UINT> horizontal;
        try {
            acc.resize(rowValues);
            horizontal.resize(rowValues);
        } catch (const std::bad_alloc&) {
            ok.store(false);
            return;
        }
        for (int y = y0; y < y1; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            for (int k = 0; k < ay.count[y]; ++k) {
                const int wy = ay.weight[ay.start[y] + k];
                const BYTE* row = s.At(r.x, r.y + ay.first[y] + k);
                for (int x = 0; x < tw; ++x) {
                    const int* wx = &ax.weight[ax.start[x]];
                    const BYTE* p = row + static_cast<std::ptrdiff_t>(ax.first[x]) * bpp;
                    for (int c = 0; c < bpp; ++c) {
                        UINT sum = 0;
                        for (int j = 0; j < ax.count[x]; ++j)
                            sum += static_cast<UINT>(wx[j]) * p[j * bpp + c];
                        horizontal[x * bpp + c] = sum;
                    }
                }
                for (std::size_t i = 0; i < rowValues; ++i)
                    acc[i] += static_cast<ULONGLONG>(wy) * horizontal[i];
            }
            BYTE* out = d.At(0, y);
            for (int x = 0; x < tw; ++x) {
                const ULONGLONG total = static_cast<ULONGLONG>(ax.total[x]) * ay.total[y];
                for (int c = 0; c < bpp; ++c)
                    out[x * bpp + c] = static_cast<BYTE>(std::min<ULONGLONG>(255, (acc[x * bpp + c] + total / 2) / total));
            }
        }
    });
    return ok.load();
}

Plane PlaneOf(const CQLImage* image)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    return {image->GetAreaByteSize() ? image->GetBuffer(0, 0) : nullptr, static_cast<int>(w), static_cast<int>(h), 4};
}

Plane PlaneOf(const CQLChannel* channel)
{
    UINT w = 0, h = 0;
    channel->GetSize(&w, &h);
    return {channel->GetAreaByteSize() ? channel->GetBuffer(0, 0) : nullptr, static_cast<int>(w), static_cast<int>(h), 1};
}

bool TargetFits(const Plane& d, int tw, int th)
{
    return d.bits && d.width == tw && d.height == th;
}

// Checks of the area reductions: both planes, a region inside the source, a
// target of the target size.
template <class T>
int ShrinkRegion(const T* source, T* target, int targetWidth, int targetHeight, int x, int y, int w, int h)
{
    if (!source || !target)
        return 0;
    const Plane s = PlaneOf(source), d = PlaneOf(target);
    Region r;
    if (!ResolveRegion(s, x, y, w, h, &r) || !TargetFits(d, targetWidth, targetHeight))
        return 0;
    return ShrinkArea(s, r, d) ? 1 : 0;
}

} // namespace

int ShrinkImageArea(const CQLImage* source, CQLImage* target, int targetWidth, int targetHeight, int x, int y, int w,
                    int h)
{
    return ShrinkRegion(source, target, targetWidth, targetHeight, x, y, w, h);
}

int ShrinkChannelArea(const CQLChannel* source, CQLChannel* target, int targetWidth, int targetHeight, int x, int y,
                      int w, int h)
{
    return ShrinkRegion(source, target, targetWidth, targetHeight, x, y, w, h);
}

int ResizeImage(const CQLImage* source, CQLImage* target, int targetWidth, int targetHeight, int x, int y, int w,
                int h, int alphaOnly)
{
    if (!source || !target)
        return 0;
    const Plane s = PlaneOf(source), d = PlaneOf(target);
    Region r;
    if (!ResolveRegion(s, x, y, w, h, &r) || !TargetFits(d, targetWidth, targetHeight))
        return 0;
    if (targetWidth < r.w || targetHeight < r.h) {
        if (!alphaOnly)
            return ShrinkArea(s, r, d) ? 1 : 0;
        // Reduce into a scratch image and take its alpha.
        CQLImage scratch;
        if (scratch.Create(targetWidth, targetHeight) != 0 || !ShrinkArea(s, r, PlaneOf(&scratch)))
            return 0;
        const std::size_t pixels = static_cast<std::size_t>(targetWidth) * targetHeight;
        for (std::size_t i = 0; i < pixels; ++i)
            d.bits[i * 4 + 3] = scratch.GetBuffer(0, 0)[i * 4 + 3];
        return 1;
    }
    return Enlarge(s, r, d, alphaOnly != 0) ? 1 : 0;
}

int ResizeChannel(const CQLChannel* source, CQLChannel* target, int targetWidth, int targetHeight, int x, int y, int w,
                  int h)
{
    if (!source || !target || targetWidth <= 0 || targetHeight <= 0)
        return 0;
    const Plane s = PlaneOf(source);
    Region r;
    if (!ResolveRegion(s, x, y, w, h, &r))
        return 0;
    UINT cw = 0, ch = 0;
    target->GetSize(&cw, &ch);
    if (static_cast<int>(cw) != targetWidth || static_cast<int>(ch) != targetHeight || target->GetAreaByteSize() == 0) {
        if (target == source || target->Create(targetWidth, targetHeight) != 0)
            return 0;
    }
    const Plane d = PlaneOf(target);
    if (targetWidth < r.w || targetHeight < r.h)
        return ShrinkArea(s, r, d) ? 1 : 0;
    return Enlarge(s, r, d, false) ? 1 : 0;
}
