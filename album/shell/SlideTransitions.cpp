#include "album/shell/SlideTransitions.h"

#include "imagecore/ParallelFor.h"

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
        const int a = 25 * c, b = 255 - 25 * c;
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* d = D->GetBuffer(0, y);
                const BYTE* t = T.GetBuffer(0, y);
                for (int x = 0; x < SW; ++x, d += 4, t += 4)
                    for (int k = 0; k < 3; ++k)
                        d[k] = static_cast<BYTE>((a * t[k] + b * d[k]) >> 8);
            }
        });
        break;
    }
    case kFade: {
        // (c - 5) x 0.2 in fifths, truncated like the floating product.
        const int fifths = c - 5;
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* d = D->GetBuffer(0, y);
                const BYTE* t = T.GetBuffer(0, y);
                for (int x = 0; x < SW; ++x, d += 4, t += 4)
                    for (int k = 0; k < 3; ++k)
                        d[k] = c <= 4 ? static_cast<BYTE>(d[k] * 2 / 3) : static_cast<BYTE>(fifths * t[k] / 5);
            }
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
        Rows(SH, SW, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                DWORD* d = reinterpret_cast<DWORD*>(D->GetBuffer(0, y));
                const DWORD* t = reinterpret_cast<const DWORD*>(T.GetBuffer(0, y));
                const int ym = y % 40;
                for (int x = 0; x < SW; ++x) {
                    const int v = ym - x % 40 + 40;
                    if (8 * c - 9 < v && v < 8 * c)
                        d[x] = t[x];
                }
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
