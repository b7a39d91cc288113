// Pieces shared by CxImage's pixel operations: the rows and columns they
// visit, per-pixel colour maps over the selection, and a padded copy of the
// pixels for the neighbourhood filters.
#pragma once

#include "imagecore/ParallelFor.h"
#include "imagecore/XImage.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace ximageops {

inline BYTE Clamp(long v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline BYTE ClampF(double v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline int GreyOf(RGBQUAD c) { return (30 * c.rgbRed + 59 * c.rgbGreen + 11 * c.rgbBlue) / 100; }

// Columns [left, right), rows [bottom, top): the selection's box clipped to
// the image, or the whole image.
struct Box {
    LONG left = 0, bottom = 0, right = 0, top = 0;
    bool Empty() const { return left >= right || bottom >= top; }
};

inline Box VisitBox(const CxImage& img)
{
    const LONG w = static_cast<LONG>(img.GetWidth()), h = static_cast<LONG>(img.GetHeight());
    if (!img.HasSelection())
        return Box{0, 0, w, h};
    RECT r;
    img.GetSelectionBox(r);
    return Box{std::max<LONG>(0, r.left), std::max<LONG>(0, r.bottom), std::min<LONG>(w, r.right),
               std::min<LONG>(h, r.top)};
}

inline BYTE* Row(const CxImage& img, LONG y) { return img.GetBits() + static_cast<std::size_t>(y) * img.GetEffWidth(); }

// Rows y0..y1 of box, each done by row(y) unless the escape is set; the
// progress follows. False when stopped.
template <class RowFn>
bool ForRows(CxImage& progress, const Box& box, bool parallel, RowFn row)
{
    std::atomic<bool> stopped{false};
    std::atomic<LONG> done{0};
    const LONG h = static_cast<LONG>(progress.GetHeight());
    auto chunk = [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (progress.GetEscape()) {
                stopped = true;
                return;
            }
            row(static_cast<LONG>(y));
            progress.SetProgress((box.bottom + ++done) * 100 / h);
        }
    };
    if (parallel)
        imagecore::ParallelFor(box.bottom, box.top, static_cast<std::size_t>(box.right - box.left), chunk);
    else
        chunk(box.bottom, box.top);
    return !stopped;
}

// Replaces every selected pixel's colour by fn(colour). An indexed image
// without a selection has its palette mapped instead. Works on a copy, so a
// stopped run changes nothing.
template <class Fn>
bool MapColours(CxImage& img, Fn fn, bool parallel = true)
{
    if (!img.IsValid())
        return false;
    if (img.IsIndexed() && !img.HasSelection()) {
        RGBQUAD* pal = img.GetPalette();
        for (DWORD i = 0; i < img.GetNumColors(); ++i) {
            const BYTE reserved = pal[i].rgbReserved;
            pal[i] = fn(pal[i]);
            pal[i].rgbReserved = reserved;
        }
        return true;
    }
    const Box box = VisitBox(img);
    if (box.Empty())
        return true;
    CxImage tmp(img, true, true, true);
    if (!tmp.IsValid())
        return false;
    const bool rgb = img.GetBpp() == 24;
    const bool sel = img.HasSelection();
    const bool ok = ForRows(img, box, parallel && rgb, [&](LONG y) {
        BYTE* p = Row(tmp, y);
        for (LONG x = box.left; x < box.right; ++x) {
            if (sel && !img.IsInsideSelection(x, y))
                continue;
            if (rgb) {
                BYTE* q = p + 3 * static_cast<std::size_t>(x);
                const RGBQUAD c = fn(RGBQUAD{q[0], q[1], q[2], 0});
                q[0] = c.rgbBlue;
                q[1] = c.rgbGreen;
                q[2] = c.rgbRed;
            } else {
                tmp.SetPixelColor(x, y, fn(img.GetPixelColor(x, y)));
            }
        }
    });
    if (!ok)
        return false;
    img.Transfer(tmp);
    return true;
}

// The pixels as B, G, R triples, DIB row order, with `before` columns and
// rows on the low side and `after` on the high side holding what
// GetPixelColor gives outside the image (the transparent colour).
struct Padded {
    std::vector<BYTE> bgr;
    LONG stride = 0; // bytes per padded row
    LONG before = 0;
    const BYTE* At(LONG x, LONG y) const
    {
        return bgr.data() + static_cast<std::size_t>(y + before) * stride + 3 * static_cast<std::size_t>(x + before);
    }
};

inline Padded MakePadded(const CxImage& img, LONG before, LONG after)
{
    Padded out;
    const LONG w = static_cast<LONG>(img.GetWidth()), h = static_cast<LONG>(img.GetHeight());
    const LONG pw = w + before + after, ph = h + before + after;
    out.stride = pw * 3;
    out.before = before;
    out.bgr.resize(static_cast<std::size_t>(out.stride) * ph);
    const RGBQUAD outside = img.GetPixelColor(-1, -1);
    for (std::size_t i = 0; i < out.bgr.size(); i += 3) {
        out.bgr[i] = outside.rgbBlue;
        out.bgr[i + 1] = outside.rgbGreen;
        out.bgr[i + 2] = outside.rgbRed;
    }
    for (LONG y = 0; y < h; ++y) {
        BYTE* d = out.bgr.data() + static_cast<std::size_t>(y + before) * out.stride + 3 * static_cast<std::size_t>(before);
        if (img.GetBpp() == 24) {
            std::copy_n(Row(img, y), 3 * static_cast<std::size_t>(w), d);
        } else {
            for (LONG x = 0; x < w; ++x, d += 3) {
                const RGBQUAD c = img.GetPixelColor(x, y);
                d[0] = c.rgbBlue;
                d[1] = c.rgbGreen;
                d[2] = c.rgbRed;
            }
        }
    }
    return out;
}

// Writes colour c at (x, y) of a 24-bit or palette image.
inline void Put(CxImage& img, LONG x, LONG y, BYTE b, BYTE g, BYTE r)
{
    if (img.GetBpp() == 24) {
        BYTE* q = Row(img, y) + 3 * static_cast<std::size_t>(x);
        q[0] = b;
        q[1] = g;
        q[2] = r;
    } else {
        img.SetPixelColor(x, y, RGBQUAD{b, g, r, 0});
    }
}

} // namespace ximageops
