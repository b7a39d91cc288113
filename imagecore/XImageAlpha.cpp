// CxImage: the alpha plane and the selection mask.
#include "imagecore/XImage.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

// --- Alpha -----------------------------------------------------------------------

bool CxImage::AlphaCreate()
{
    if (!m_pDib)
        return false;
    if (!m_pAlpha)
        m_pAlpha = static_cast<BYTE*>(std::calloc(PlaneSize(), 1));
    return m_pAlpha != nullptr;
}

void CxImage::AlphaDelete()
{
    if (!m_info.pGhost)
        std::free(m_pAlpha);
    m_pAlpha = nullptr;
}

void CxImage::AlphaClear() { AlphaSet(0); }

void CxImage::AlphaSet(BYTE level)
{
    if (m_pAlpha)
        std::memset(m_pAlpha, level, PlaneSize());
}

void CxImage::AlphaSet(LONG x, LONG y, BYTE level)
{
    if (m_pAlpha && IsInside(x, y))
        m_pAlpha[static_cast<std::size_t>(y) * GetWidth() + x] = level;
}

BYTE CxImage::AlphaGet(LONG x, LONG y) const
{
    if (m_pAlpha && IsInside(x, y))
        return m_pAlpha[static_cast<std::size_t>(y) * GetWidth() + x];
    return 0;
}

void CxImage::AlphaInvert()
{
    if (!m_pAlpha)
        return;
    const std::size_t n = PlaneSize();
    for (std::size_t i = 0; i < n; ++i)
        m_pAlpha[i] = static_cast<BYTE>(255 - m_pAlpha[i]);
}

bool CxImage::AlphaCopy(const CxImage& from)
{
    // The height must match too: a shorter source plane would be overrun.
    if (!from.m_pAlpha || &from == this || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (!AlphaCreate())
        return false;
    std::memcpy(m_pAlpha, from.m_pAlpha, PlaneSize());
    m_info.nAlphaMax = from.m_info.nAlphaMax;
    return true;
}

bool CxImage::AlphaFlip()
{
    if (!m_pAlpha)
        return false;
    const std::size_t w = GetWidth();
    std::vector<BYTE> row(w);
    for (DWORD y = 0, h = GetHeight(); y < h / 2; ++y) {
        BYTE* a = m_pAlpha + y * w;
        BYTE* b = m_pAlpha + (h - 1 - y) * w;
        std::memcpy(row.data(), a, w);
        std::memcpy(a, b, w);
        std::memcpy(b, row.data(), w);
    }
    return true;
}

bool CxImage::AlphaMirror()
{
    if (!m_pAlpha)
        return false;
    const std::size_t w = GetWidth();
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::reverse(m_pAlpha + y * w, m_pAlpha + (y + 1) * w);
    return true;
}

bool CxImage::AlphaSplit(CxImage* dest) const
{
    if (!m_pAlpha || !dest || dest == this)
        return false;
    CxImage tmp;
    if (!tmp.Create(GetWidth(), GetHeight(), 8, m_info.dwType))
        return false;
    tmp.SetGrayPalette();
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(tmp.RowPtr(static_cast<LONG>(y)), m_pAlpha + static_cast<std::size_t>(y) * GetWidth(), GetWidth());
    dest->Transfer(tmp);
    return true;
}

void CxImage::AlphaPaletteClear()
{
    RGBQUAD* pal = GetPalette();
    for (DWORD i = 0; pal && i < m_head.biClrUsed; ++i)
        pal[i].rgbReserved = 0;
}

bool CxImage::HasAlphaPalette() const
{
    const RGBQUAD* pal = GetPalette();
    for (DWORD i = 0; pal && i < m_head.biClrUsed; ++i)
        if (pal[i].rgbReserved)
            return true;
    return false;
}

bool CxImage::AlphaStrip()
{
    const bool paletteAlpha = GetPalette() && m_info.bAlphaPaletteEnabled && HasAlphaPalette();
    if (!m_pDib || (!m_pAlpha && !paletteAlpha))
        return false;
    const RGBQUAD bg = m_info.nStripColor;
    const LONG w = m_head.biWidth;
    const LONG h = m_head.biHeight;
    const int amax = m_info.nAlphaMax;
    auto blend = [](BYTE back, BYTE c, int a) { return static_cast<BYTE>((back * (255 - a) + c * a) / 255); };
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), 24))
        return false;
    for (LONG y = 0; y < h; ++y) {
        BYTE* out = tmp.RowPtr(y);
        const BYTE* alpha = m_pAlpha ? m_pAlpha + static_cast<std::size_t>(y) * w : nullptr;
        for (LONG x = 0; x < w; ++x) {
            const RGBQUAD c = GetPixelColorUnchecked(x, y);
            int a = (alpha ? alpha[x] : 255) * amax / 255;
            if (paletteAlpha)
                a = a * c.rgbReserved / 255;
            out[3 * x] = blend(bg.rgbBlue, c.rgbBlue, a);
            out[3 * x + 1] = blend(bg.rgbGreen, c.rgbGreen, a);
            out[3 * x + 2] = blend(bg.rgbRed, c.rgbRed, a);
        }
    }
    CopyPlanesTo(tmp);
    tmp.AlphaDelete();
    Transfer(tmp);
    return true;
}

// --- Selection ----------------------------------------------------------------------

void CxImage::ResetSelectionBox()
{
    m_info.rSelectionBox = RECT{m_head.biWidth, 0, 0, m_head.biHeight};
}

bool CxImage::SelectionCreate()
{
    if (!m_pDib)
        return false;
    if (m_pSelection)
        std::memset(m_pSelection, 0, PlaneSize());
    else
        m_pSelection = static_cast<BYTE*>(std::calloc(PlaneSize(), 1));
    ResetSelectionBox();
    return m_pSelection != nullptr;
}

void CxImage::SelectionDelete()
{
    if (!m_info.pGhost)
        std::free(m_pSelection);
    m_pSelection = nullptr;
    ResetSelectionBox();
}

void CxImage::SelectionClear()
{
    if (m_pSelection)
        std::memset(m_pSelection, 0, PlaneSize());
    ResetSelectionBox();
}

void CxImage::SelectionInvert()
{
    if (!m_pSelection)
        return;
    const std::size_t n = PlaneSize();
    for (std::size_t i = 0; i < n; ++i)
        m_pSelection[i] = static_cast<BYTE>(255 - m_pSelection[i]);
    // The inverted mask may reach anywhere.
    m_info.rSelectionBox = RECT{0, m_head.biHeight, m_head.biWidth, 0};
}

bool CxImage::SelectionCopy(const CxImage& from)
{
    if (!from.m_pSelection || &from == this || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (!m_pSelection && !SelectionCreate())
        return false;
    std::memcpy(m_pSelection, from.m_pSelection, PlaneSize());
    m_info.rSelectionBox = from.m_info.rSelectionBox;
    return true;
}

bool CxImage::IsInsideSelection(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return false;
    return !m_pSelection || m_pSelection[static_cast<std::size_t>(y) * GetWidth() + x] == 255;
}

namespace {

// Grows the box (left, bottom inclusive; right, top exclusive) to take in
// the pixels l <= x < r, b <= y < t.
void GrowBox(RECT& box, LONG l, LONG b, LONG r, LONG t)
{
    box.left = std::min(box.left, l);
    box.right = std::max(box.right, r);
    box.bottom = std::min(box.bottom, b);
    box.top = std::max(box.top, t);
}

} // namespace

bool CxImage::SelectionAddRect(RECT r)
{
    if (!m_pDib || (!m_pSelection && !SelectionCreate()))
        return false;
    const LONG l = std::min(r.left, r.right), rr = std::max(r.left, r.right);
    const LONG b = std::min(r.top, r.bottom), t = std::max(r.top, r.bottom);
    GrowBox(m_info.rSelectionBox, l, b, rr, t);
    const LONG x0 = std::max<LONG>(l, 0), x1 = std::min<LONG>(rr, m_head.biWidth);
    const LONG y0 = std::max<LONG>(b, 0), y1 = std::min<LONG>(t, m_head.biHeight);
    for (LONG y = y0; y < y1; ++y)
        if (x1 > x0)
            std::memset(m_pSelection + static_cast<std::size_t>(y) * GetWidth() + x0, 255, x1 - x0);
    return true;
}

bool CxImage::SelectionAddEllipse(RECT r)
{
    if (!m_pDib)
        return false;
    const LONG l = std::min(r.left, r.right), rr = std::max(r.left, r.right);
    const LONG b = std::min(r.top, r.bottom), t = std::max(r.top, r.bottom);
    // Wide arithmetic: corners anywhere in the LONG range must not overflow.
    const long long rx = (static_cast<long long>(rr) - l) / 2;
    const long long ry = (static_cast<long long>(t) - b) / 2;
    if (rx == 0 || ry == 0)
        return false;
    if (!m_pSelection && !SelectionCreate())
        return false;
    const long long xc = (static_cast<long long>(l) + rr) / 2;
    const long long yc = (static_cast<long long>(b) + t) / 2;
    // The box takes in every pixel the ellipse may set: x and y within the half-axes of the centre.
    auto fit = [](long long v) { return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); };
    GrowBox(m_info.rSelectionBox, fit(xc - rx), fit(yc - ry), fit(xc + rx + 1), fit(yc + ry + 1));
    const LONG x0 = static_cast<LONG>(std::max<long long>(xc - rx, 0));
    const LONG x1 = static_cast<LONG>(std::min<long long>(xc + rx, m_head.biWidth - 1));
    for (LONG x = x0; x <= x1; ++x) {
        const double d = (static_cast<double>(x) - xc) / rx;
        // A hair more, so that rounding cannot drop a row the formula reaches exactly.
        const double half = ry * std::sqrt(std::max(0.0, 1.0 - d * d)) + 1e-9;
        const LONG ylo = static_cast<LONG>(std::max<double>(std::ceil(yc - half), 0));
        const LONG yhi = static_cast<LONG>(std::min<double>(std::floor(yc + half), m_head.biHeight - 1));
        for (LONG y = ylo; y <= yhi; ++y)
            m_pSelection[static_cast<std::size_t>(y) * GetWidth() + x] = 255;
    }
    return true;
}

namespace {

enum : BYTE { kOpen = 0, kOutline = 1, kReached = 2 };

struct WorkMask {
    std::vector<BYTE> bits;
    LONG w, h;
    void Plot(LONG x, LONG y)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            bits[static_cast<std::size_t>(y) * w + x] = kOutline;
    }
    // Twice, stepping along x and along y, so that flat and steep edges
    // are both closed.
    void Segment(POINT a, POINT b)
    {
        const long long dx = static_cast<long long>(b.x) - a.x;
        const long long dy = static_cast<long long>(b.y) - a.y;
        Plot(a.x, a.y);
        Plot(b.x, b.y);
        if (dx != 0) {
            const LONG from = std::max<LONG>(std::min(a.x, b.x), -1), to = std::min<LONG>(std::max(a.x, b.x), w);
            for (LONG x = from; x <= to; ++x)
                Plot(x, static_cast<LONG>(std::lround(a.y + (static_cast<double>(x) - a.x) * dy / dx)));
        }
        if (dy != 0) {
            const LONG from = std::max<LONG>(std::min(a.y, b.y), -1), to = std::min<LONG>(std::max(a.y, b.y), h);
            for (LONG y = from; y <= to; ++y)
                Plot(static_cast<LONG>(std::lround(a.x + (static_cast<double>(y) - a.y) * dx / dy)), y);
        }
    }
};

} // namespace

bool CxImage::SelectionAddPolygon(const POINT* points, LONG npoints)
{
    if (!m_pDib || !points || npoints < 3)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    WorkMask mask{std::vector<BYTE>(PlaneSize(), kOpen), w, h};

    // Outline, ring by ring, and the box of all points.
    LONG bl = 0x7FFFFFFF, bb = 0x7FFFFFFF, br = -0x7FFFFFFF, bt = -0x7FFFFFFF;
    LONG start = 0;
    for (LONG i = 0; i <= npoints; ++i) {
        if (i == npoints || points[i].x == -1) {
            if (i - 1 > start)
                mask.Segment(points[i - 1], points[start]);
            start = i + 1;
            continue;
        }
        if (i > start)
            mask.Segment(points[i - 1], points[i]);
        bl = std::min(bl, points[i].x);
        br = std::max(br, points[i].x);
        bb = std::min(bb, points[i].y);
        bt = std::max(bt, points[i].y);
    }
    if (bl > br)
        return false;

    // The box grown by one pixel and clipped; everything the fill from its
    // border cannot reach is the outline or inside it.
    const LONG x0 = static_cast<LONG>(std::max<long long>(bl - 1LL, 0));
    const LONG x1 = static_cast<LONG>(std::min<long long>(br + 1LL, w - 1));
    const LONG y0 = static_cast<LONG>(std::max<long long>(bb - 1LL, 0));
    const LONG y1 = static_cast<LONG>(std::min<long long>(bt + 1LL, h - 1));
    if (x0 > x1 || y0 > y1)
        return false;
    if (!m_pSelection && !SelectionCreate())
        return false;

    auto at = [&](LONG x, LONG y) -> BYTE& { return mask.bits[static_cast<std::size_t>(y) * w + x]; };
    std::vector<POINT> seeds; // grows as needed: no seed is ever dropped
    for (LONG x = x0; x <= x1; ++x) {
        seeds.push_back(POINT{x, y0});
        seeds.push_back(POINT{x, y1});
    }
    for (LONG y = y0; y <= y1; ++y) {
        seeds.push_back(POINT{x0, y});
        seeds.push_back(POINT{x1, y});
    }
    while (!seeds.empty()) {
        const POINT p = seeds.back();
        seeds.pop_back();
        if (at(p.x, p.y) != kOpen)
            continue;
        LONG l = p.x, r = p.x;
        while (l > x0 && at(l - 1, p.y) == kOpen)
            --l;
        while (r < x1 && at(r + 1, p.y) == kOpen)
            ++r;
        for (LONG x = l; x <= r; ++x)
            at(x, p.y) = kReached;
        for (LONG ny : {p.y - 1, p.y + 1}) {
            if (ny < y0 || ny > y1)
                continue;
            for (LONG x = l; x <= r; ++x)
                if (at(x, ny) == kOpen && (x == l || at(x - 1, ny) != kOpen))
                    seeds.push_back(POINT{x, ny});
        }
    }
    for (LONG y = y0; y <= y1; ++y)
        for (LONG x = x0; x <= x1; ++x)
            if (at(x, y) != kReached)
                m_pSelection[static_cast<std::size_t>(y) * w + x] = 255;
    GrowBox(m_info.rSelectionBox, std::max<LONG>(bl, 0), std::max<LONG>(bb, 0),
            static_cast<LONG>(std::min<long long>(br + 1LL, w)), static_cast<LONG>(std::min<long long>(bt + 1LL, h)));
    return true;
}
