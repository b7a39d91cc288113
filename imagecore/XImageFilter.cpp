// CxImage's neighbourhood operations: convolution, erode, dilate, median and
// the curvature-driven repair.
#include "imagecore/XImage.h"
#include "imagecore/XImageOpsSupport.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace ximageops;

namespace {

// Neighbourhoods beyond this are refused: the padded copy grows with them.
constexpr LONG kMaxSize = 255;

// Runs pixel(out, s, x, y) over the selected pixels of the visiting box, s
// pointing at (x, y) in a copy padded by size / 2 below and the rest above;
// out receives B, G, R. The results go into a copy that then replaces img.
template <class PixelFn>
bool Neighbourhood(CxImage& img, LONG size, PixelFn pixel)
{
    if (!img.IsValid() || size < 1 || size > kMaxSize)
        return false;
    const Box box = VisitBox(img);
    if (box.Empty())
        return true;
    const Padded src = MakePadded(img, size / 2, size - size / 2 - 1);
    CxImage tmp(img, true, true, true);
    if (!tmp.IsValid())
        return false;
    const bool sel = img.HasSelection();
    const bool rgb = img.GetBpp() == 24;
    const bool ok = ForRows(img, box, rgb, [&](LONG y) {
        for (LONG x = box.left; x < box.right; ++x) {
            if (sel && !img.IsInsideSelection(x, y))
                continue;
            BYTE out[3];
            pixel(out, src.At(x, y), src.stride);
            Put(tmp, x, y, out[0], out[1], out[2]);
        }
    });
    if (!ok)
        return false;
    img.Transfer(tmp);
    return true;
}

template <bool kMax>
bool MinMax(CxImage& img, LONG size)
{
    const LONG lo = -(size / 2), hi = size - size / 2 - 1;
    return Neighbourhood(img, size, [=](BYTE* out, const BYTE* s, LONG stride) {
        BYTE best[3] = {s[0], s[1], s[2]};
        for (LONG dy = lo; dy <= hi; ++dy) {
            const BYTE* row = s + dy * stride;
            for (LONG dx = lo; dx <= hi; ++dx) {
                const BYTE* q = row + 3 * dx;
                for (int k = 0; k < 3; ++k)
                    best[k] = kMax ? std::max(best[k], q[k]) : std::min(best[k], q[k]);
            }
        }
        std::copy_n(best, 3, out);
    });
}

} // namespace

bool CxImage::Filter(const LONG* kernel, LONG size, LONG divisor, LONG offset)
{
    if (!kernel)
        return false;
    const LONG lo = -(size / 2), hi = size - size / 2 - 1;
    return Neighbourhood(*this, size, [=](BYTE* out, const BYTE* s, LONG stride) {
        long sum[3] = {0, 0, 0};
        const LONG* k = kernel;
        for (LONG dy = lo; dy <= hi; ++dy) {
            const BYTE* q = s + dy * stride + 3 * lo;
            for (LONG dx = lo; dx <= hi; ++dx, q += 3, ++k) {
                sum[0] += long{*k} * q[0];
                sum[1] += long{*k} * q[1];
                sum[2] += long{*k} * q[2];
            }
        }
        for (int c = 0; c < 3; ++c)
            out[c] = Clamp(offset + (divisor ? sum[c] / divisor : sum[c]));
    });
}

bool CxImage::Erode(LONG size) { return MinMax<false>(*this, size); }

bool CxImage::Dilate(LONG size) { return MinMax<true>(*this, size); }

bool CxImage::Median(LONG size)
{
    const LONG lo = -(size / 2), hi = size - size / 2 - 1;
    const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    return Neighbourhood(*this, size, [=](BYTE* out, const BYTE* s, LONG stride) {
        // Grey key (CompareColors' weights) above the colour; thread-local
        // so rows run in parallel without allocating per pixel.
        thread_local std::vector<uint64_t> items;
        items.clear();
        for (LONG dy = lo; dy <= hi; ++dy) {
            const BYTE* q = s + dy * stride + 3 * lo;
            for (LONG dx = lo; dx <= hi; ++dx, q += 3) {
                const uint64_t grey = static_cast<uint64_t>((59 * q[1] + 30 * q[2] + 11 * q[0]) / 100);
                items.push_back(grey << 32 | static_cast<uint64_t>(q[0]) | static_cast<uint64_t>(q[1]) << 8 |
                                static_cast<uint64_t>(q[2]) << 16);
            }
        }
        auto byKey = [](uint64_t a, uint64_t b) { return (a >> 32) < (b >> 32); };
        std::nth_element(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(count / 2), items.end(), byKey);
        const uint64_t m = items[count / 2];
        out[0] = static_cast<BYTE>(m);
        out[1] = static_cast<BYTE>(m >> 8);
        out[2] = static_cast<BYTE>(m >> 16);
    });
}

bool CxImage::RepairChannel(CxImage* plane, float radius)
{
    if (!plane || !plane->IsValid() || plane->GetBpp() != 8)
        return false;
    const LONG w = static_cast<LONG>(plane->GetWidth()), h = static_cast<LONG>(plane->GetHeight());
    CxImage old(*plane, true, false, false);
    if (!old.IsValid())
        return false;
    auto v = [&](LONG x, LONG y) { return static_cast<double>(old.RowPtr(y)[x]); };
    for (LONG y = 1; y < h - 1; ++y) {
        if (Escaped())
            return false;
        BYTE* d = plane->RowPtr(y);
        for (LONG x = 1; x < w - 1; ++x) {
            const double c = v(x, y);
            const double ixx = v(x + 1, y) - 2 * c + v(x - 1, y);
            const double iyy = v(x, y + 1) - 2 * c + v(x, y - 1);
            const double ix = (v(x + 1, y) - v(x - 1, y)) / 2;
            const double iy = (v(x, y + 1) - v(x, y - 1)) / 2;
            const double ixy = (v(x + 1, y + 1) + v(x - 1, y - 1) - v(x - 1, y + 1) - v(x + 1, y - 1)) / 4;
            const double num = (1 + iy * iy) * ixx - ix * iy * ixy + (1 + ix * ix) * iyy;
            d[x] = ClampF(c + radius * num / (1 + ix * ix + iy * iy));
        }
    }
    return true;
}

bool CxImage::Repair(float radius, LONG iterations, LONG colorspace)
{
    if (!m_pDib)
        return false;
    CxImage c1, c2, c3;
    bool split;
    switch (colorspace) {
    case 1: split = SplitHSL(&c1, &c2, &c3); break;
    case 2: split = SplitYUV(&c1, &c2, &c3); break;
    case 3: split = SplitYIQ(&c1, &c2, &c3); break;
    case 4: split = SplitXYZ(&c1, &c2, &c3); break;
    default: split = SplitRGB(&c1, &c2, &c3); break;
    }
    if (!split)
        return false;
    for (LONG i = 0; i < iterations; ++i) {
        if (!RepairChannel(&c1, radius) || !RepairChannel(&c2, radius) || !RepairChannel(&c3, radius))
            return false;
        SetProgress((i + 1) * 100 / iterations);
    }
    CxImage alpha;
    CxImage repaired;
    if (HasAlpha() && !AlphaSplit(&alpha))
        return false;
    if (!repaired.Combine(&c1, &c2, &c3, HasAlpha() ? &alpha : nullptr, colorspace))
        return false;
    if (!HasSelection() && GetBpp() == 24) {
        repaired.SetTransIndex(GetTransIndex());
        repaired.SetTransColor(m_info.nBkgndColor);
        CopyPlanesTo(repaired);
        Transfer(repaired);
        return true;
    }
    // Only the selected pixels take the result.
    const Box box = VisitBox(*this);
    for (LONG y = box.bottom; y < box.top; ++y) {
        for (LONG x = box.left; x < box.right; ++x) {
            if (IsInsideSelection(x, y))
                SetPixelColor(x, y, repaired.GetPixelColor(x, y));
        }
    }
    return true;
}
