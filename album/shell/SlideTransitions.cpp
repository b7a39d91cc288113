#include "album/shell/SlideTransitions.h"

#include "imagecore/ParallelFor.h"
#include "imagecore/Simd.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace shelf {

const char* const SlideTransitions::kEffectNames[kEffectCount] = {
    "None", "Random", "Blend", "Fade In/Out", "Scan Down", "Scan Up", "Center Out", "Center In", "Blocks",
    "Slide In/ Horizontally", "Slide In/ Vertically"};

namespace {

struct Size {
    int w = 0, h = 0;
};

Size SizeOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return {static_cast<int>(w), static_cast<int>(h)};
}

template <class Fn>
void Rows(int height, int width, Fn fn)
{
    imagecore::ParallelFor(0, height, static_cast<std::size_t>(width), fn);
}

void CopySpan(CQLImage* d, int dy, int dx, const CQLImage& t, int ty, int tx, int count)
{
    if (count > 0)
        std::memcpy(d->GetBuffer(dx, dy), t.GetBuffer(tx, ty), static_cast<std::size_t>(count) * 4);
}

// Per-byte weights of T and D for the four bytes of a pixel.
struct Lanes {
    int v[4];
};

using LaneRowFn = void (*)(BYTE*, const BYTE*, int, const Lanes&, const Lanes&);

// D = (wt x T + wd x D) >> shift, lane by lane, over a row of w pixels.
template <int Shift>
__attribute__((always_inline)) inline void LaneRowBody(BYTE* __restrict d, const BYTE* __restrict t, int w,
                                                       const Lanes& wt, const Lanes& wd)
{
    const int t0 = wt.v[0], t1 = wt.v[1], t2 = wt.v[2], t3 = wt.v[3];
    const int d0 = wd.v[0], d1 = wd.v[1], d2 = wd.v[2], d3 = wd.v[3];
    for (int x = 0; x < w; ++x) {
        BYTE* p = d + 4 * x;
        const BYTE* q = t + 4 * x;
        p[0] = static_cast<BYTE>((t0 * q[0] + d0 * p[0]) >> Shift);
        p[1] = static_cast<BYTE>((t1 * q[1] + d1 * p[1]) >> Shift);
        p[2] = static_cast<BYTE>((t2 * q[2] + d2 * p[2]) >> Shift);
        p[3] = static_cast<BYTE>((t3 * q[3] + d3 * p[3]) >> Shift);
    }
}

__attribute__((optimize("tree-vectorize"))) void BlendRowSse2(BYTE* d, const BYTE* t, int w, const Lanes& wt,
                                                              const Lanes& wd)
{
    LaneRowBody<8>(d, t, w, wt, wd);
}
__attribute__((optimize("tree-vectorize"))) void FadeRowSse2(BYTE* d, const BYTE* t, int w, const Lanes& wt,
                                                             const Lanes& wd)
{
    LaneRowBody<16>(d, t, w, wt, wd);
}

#if defined(__x86_64__)
__attribute__((target("avx2"), optimize("tree-vectorize"))) void BlendRowAvx2(BYTE* d, const BYTE* t, int w,
                                                                              const Lanes& wt, const Lanes& wd)
{
    LaneRowBody<8>(d, t, w, wt, wd);
}
__attribute__((target("avx2"), optimize("tree-vectorize"))) void FadeRowAvx2(BYTE* d, const BYTE* t, int w,
                                                                             const Lanes& wt, const Lanes& wd)
{
    LaneRowBody<16>(d, t, w, wt, wd);
}
#endif

LaneRowFn PickBlendRow()
{
#if defined(__x86_64__)
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        return BlendRowAvx2;
#endif
    return BlendRowSse2;
}

LaneRowFn PickFadeRow()
{
#if defined(__x86_64__)
    if (imagecore::ActiveSimdLevel() == imagecore::SimdLevel::Avx2)
        return FadeRowAvx2;
#endif
    return FadeRowSse2;
}

} // namespace

RECT SlideTransitions::FittedRect(int w, int h, int sw, int sh)
{
    if (w <= 0 || h <= 0)
        return {0, 0, sw, sh};
    if (static_cast<long long>(sw) * h < static_cast<long long>(sh) * w) {
        const int e = static_cast<int>((sh - static_cast<long long>(sw) * h / w) / 2);
        return {0, e, sw, sh - e};
    }
    const int d = static_cast<int>((sw - static_cast<long long>(sh) * w / h) / 2);
    return {d, 0, sw - d, sh};
}

void SlideTransitions::Compose(const CQLImage& image, CQLImage* buffer)
{
    const Size s = SizeOf(*buffer);
    const Size im = SizeOf(image);
    if (s.w <= 0 || s.h <= 0)
        return;
    if (im.w <= 0 || im.h <= 0) {
        std::memset(buffer->GetBuffer(0, 0), 0, buffer->GetAreaByteSize());
        return;
    }
    const RECT r = FittedRect(im.w, im.h, s.w, s.h);
    const int rw = std::max<int>(1, r.right - r.left), rh = std::max<int>(1, r.bottom - r.top);
    // The source column of every screen column, once.
    std::vector<int> columns(static_cast<std::size_t>(s.w), -1);
    for (int x = std::max<int>(0, r.left); x < std::min<int>(s.w, r.right); ++x)
        columns[static_cast<std::size_t>(x)] =
            std::min(im.w - 1, static_cast<int>(static_cast<long long>(x - r.left) * im.w / rw));
    Rows(s.h, s.w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            DWORD* out = reinterpret_cast<DWORD*>(buffer->GetBuffer(0, y));
            if (y < r.top || y >= r.bottom) {
                std::memset(out, 0, static_cast<std::size_t>(s.w) * 4);
                continue;
            }
            const int sy = std::min(im.h - 1, static_cast<int>(static_cast<long long>(y - r.top) * im.h / rh));
            const DWORD* in = reinterpret_cast<const DWORD*>(image.GetBuffer(0, sy));
            for (int x = 0; x < s.w; ++x) {
                const int sx = columns[static_cast<std::size_t>(x)];
                out[x] = sx < 0 ? 0 : in[sx];
            }
        }
    });
}

void SlideTransitions::Step(int effect, int c, CQLImage* D, const CQLImage& T)
{
    const Size s = SizeOf(*D);
    const Size ts = SizeOf(T);
    if (s.w <= 0 || s.h <= 0 || ts.w != s.w || ts.h != s.h || c < 1 || c > kLastStep)
        return;
    const int SW = s.w, SH = s.h;
    switch (effect) {
    case kBlend: {
        // The fourth byte is a lane that keeps D: weights 0 and 256.
        const int a = 25 * c, b = 255 - 25 * c;
        const Lanes wt{a, a, a, 0}, wd{b, b, b, 256};
        const LaneRowFn row = PickBlendRow();
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                row(D->GetBuffer(0, y), T.GetBuffer(0, y), SW, wt, wd);
        });
        break;
    }
    case kFade: {
        // c <= 4: D x 2 / 3 is (171 D) >> 8; then (c - 5) x 0.2 x T, truncated,
        // is ((c - 5) x 13108 x T) >> 16: both exact over the bytes.
        const LaneRowFn row = c <= 4 ? PickBlendRow() : PickFadeRow();
        const Lanes wt = c <= 4 ? Lanes{0, 0, 0, 0} : Lanes{(c - 5) * 13108, (c - 5) * 13108, (c - 5) * 13108, 0};
        const Lanes wd = c <= 4 ? Lanes{171, 171, 171, 256} : Lanes{0, 0, 0, 65536};
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                row(D->GetBuffer(0, y), T.GetBuffer(0, y), SW, wt, wd);
        });
        break;
    }
    case kScanDown: {
        const int k = SH * c / 10;
        Rows(k, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                CopySpan(D, y, 0, T, SH - k + y, 0, SW);
        });
        break;
    }
    case kScanUp: {
        const int k = SH - SH * c / 10;
        Rows(SH - k, SW, [&](int y0, int y1) {
            for (int i = y0; i < y1; ++i)
                CopySpan(D, k + i, 0, T, i, 0, SW);
        });
        break;
    }
    case kCenterOut: {
        const int w = c * SW / 10, h = c * SH / 10;
        const int left = (SW - w) / 2, top = (SH - h) / 2;
        Rows(h, w, [&](int y0, int y1) {
            for (int y = top + y0; y < top + y1; ++y)
                CopySpan(D, y, left, T, y, left, w);
        });
        break;
    }
    case kCenterIn: {
        const int h = (10 - c) * SH / 10, w = (10 - c) * SW / 10;
        const int top = (SH - h) / 2, left = (SW - w) / 2;
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                if (y < top || y > top + h) {
                    CopySpan(D, y, 0, T, y, 0, SW);
                    continue;
                }
                const int l = std::clamp(left, 0, SW), r = std::clamp(left + w + 1, 0, SW);
                CopySpan(D, y, 0, T, y, 0, l);
                CopySpan(D, y, r, T, y, r, SW - r);
            }
        });
        break;
    }
    case kBlocks: {
        // 8c - 9 < (y mod 40) - (x mod 40) + 40 < 8c holds for the x mod 40 of
        // one span per block: copied a span at a time.
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const int ym = y % 40;
                const int lo = std::max(0, ym + 41 - 8 * c), hi = std::min(39, ym + 48 - 8 * c);
                if (lo > hi)
                    continue;
                for (int bx = 0; bx + lo < SW; bx += 40)
                    CopySpan(D, y, bx + lo, T, y, bx + lo, std::min(hi, SW - 1 - bx) - lo + 1);
            }
        });
        break;
    }
    case kSlideHorizontal: {
        const int w = c * SW / 10;
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                if ((y / 80) % 2 == 1)
                    CopySpan(D, y, 0, T, y, SW - w, w);
                else
                    CopySpan(D, y, SW - w, T, y, 0, w);
            }
        });
        break;
    }
    case kSlideVertical: {
        const int h = SH * c / 10;
        Rows(h, SW, [&](int i0, int i1) {
            for (int i = i0; i < i1; ++i) {
                for (int band = 0; band * 80 < SW; ++band) {
                    const int x = band * 80, n = std::min(80, SW - x);
                    if (band % 2 == 0)
                        CopySpan(D, SH - h + i, x, T, i, x, n);
                    else
                        CopySpan(D, i, x, T, SH - h + i, x, n);
                }
            }
        });
        break;
    }
    default: break;
    }
}

POINT SlideTransitions::BarOrigin(int screenWidth, int state, int step)
{
    const int x = (screenWidth - 400) / 2;
    return {x, state == 1 ? step * 4 - 40 : -(step * 4)};
}

} // namespace shelf
