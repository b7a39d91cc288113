// CxImage transforms: each builds its result in a temporary image and hands
// it over with Transfer, so a failure or a stop leaves the image as it was.
#include "imagecore/ParallelFor.h"
#include "imagecore/XImage.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

BYTE Grey(RGBQUAD c) { return static_cast<BYTE>((59 * c.rgbGreen + 11 * c.rgbBlue + 30 * c.rgbRed) / 100); }

} // namespace

bool CxImage::GrayScale()
{
    if (!m_pDib)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), 8))
        return false;
    if (m_head.biBitCount > 8) {
        imagecore::ParallelFor(0, h, static_cast<std::size_t>(w), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const BYTE* s = RowPtr(y);
                BYTE* d = tmp.RowPtr(y);
                for (LONG x = 0; x < w; ++x, s += 3)
                    d[x] = static_cast<BYTE>((59 * s[1] + 11 * s[0] + 30 * s[2]) / 100);
            }
        });
    } else {
        BYTE lut[256] = {};
        for (DWORD i = 0; i < m_head.biClrUsed; ++i)
            lut[i] = Grey(GetPalette()[i]);
        for (LONG y = 0; y < h; ++y) {
            BYTE* d = tmp.RowPtr(y);
            if (m_head.biBitCount == 8) {
                const BYTE* s = RowPtr(y);
                for (LONG x = 0; x < w; ++x)
                    d[x] = lut[s[x]];
            } else {
                for (LONG x = 0; x < w; ++x)
                    d[x] = lut[GetPixelIndexUnchecked(x, y)];
            }
        }
        if (m_info.nBkgndIndex >= 0 && static_cast<DWORD>(m_info.nBkgndIndex) < m_head.biClrUsed)
            tmp.m_info.nBkgndIndex = lut[m_info.nBkgndIndex];
    }
    tmp.SetGrayPalette();
    CopyPlanesTo(tmp);
    Transfer(tmp);
    return true;
}

bool CxImage::Flip()
{
    if (!m_pDib)
        return false;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), GetBpp()))
        return false;
    const LONG h = m_head.biHeight;
    for (LONG y = 0; y < h; ++y)
        std::memcpy(tmp.RowPtr(y), RowPtr(h - 1 - y), m_info.dwEffWidth);
    CopyPlanesTo(tmp);
    tmp.AlphaFlip();
    if (tmp.m_pSelection) {
        const std::size_t w = GetWidth();
        for (LONG y = 0; y < h; ++y)
            std::memcpy(tmp.m_pSelection + y * w, m_pSelection + (h - 1 - y) * w, w);
        RECT& box = tmp.m_info.rSelectionBox;
        if (box.left < box.right)
            box = RECT{box.left, h - box.bottom, box.right, h - box.top};
    }
    Transfer(tmp);
    return true;
}

bool CxImage::Mirror()
{
    if (!m_pDib)
        return false;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), GetBpp()))
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    for (LONG y = 0; y < h; ++y) {
        const BYTE* s = RowPtr(y);
        BYTE* d = tmp.RowPtr(y);
        switch (m_head.biBitCount) {
        case 24:
            for (LONG x = 0; x < w; ++x)
                std::memcpy(d + 3 * x, s + 3 * (w - 1 - x), 3);
            break;
        case 8:
            for (LONG x = 0; x < w; ++x)
                d[x] = s[w - 1 - x];
            break;
        default:
            for (LONG x = 0; x < w; ++x)
                tmp.SetPixelIndexUnchecked(x, y, GetPixelIndexUnchecked(w - 1 - x, y));
            break;
        }
    }
    CopyPlanesTo(tmp);
    tmp.AlphaMirror();
    if (tmp.m_pSelection) {
        for (LONG y = 0; y < h; ++y)
            std::reverse(tmp.m_pSelection + static_cast<std::size_t>(y) * w,
                         tmp.m_pSelection + static_cast<std::size_t>(y + 1) * w);
        RECT& box = tmp.m_info.rSelectionBox;
        if (box.left < box.right)
            box = RECT{w - box.right, box.top, w - box.left, box.bottom};
    }
    Transfer(tmp);
    return true;
}

// Quarter turns. Turning right (clockwise as seen), target (x, y) takes
// source (w - 1 - y, x); turning left, source (y, h - 1 - x).
bool CxImage::RotateQuarter(bool right, CxImage* iDst)
{
    if (!m_pDib)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CxImage tmp;
    if (!MakeTarget(tmp, GetHeight(), GetWidth(), GetBpp()))
        return false;
    auto srcX = [&](LONG, LONG y) { return right ? w - 1 - y : y; };
    auto srcY = [&](LONG x, LONG) { return right ? x : h - 1 - x; };
    const LONG nw = h, nh = w;
    // Square tiles, so that the source columns being read stay in cache.
    constexpr LONG kTile = 64;
    const int bands = static_cast<int>((nh + kTile - 1) / kTile);
    imagecore::ParallelFor(0, bands, static_cast<std::size_t>(nw) * kTile, [&](int b0, int b1) {
        for (int band = b0; band < b1; ++band) {
            const LONG ya = band * kTile, yb = std::min(nh, ya + kTile);
            for (LONG xa = 0; xa < nw; xa += kTile) {
                const LONG xb = std::min(nw, xa + kTile);
                for (LONG y = ya; y < yb; ++y) {
                    BYTE* d = tmp.RowPtr(y);
                    for (LONG x = xa; x < xb; ++x) {
                        const LONG sx = srcX(x, y), sy = srcY(x, y);
                        if (m_head.biBitCount == 24)
                            std::memcpy(d + 3 * x, RowPtr(sy) + 3 * static_cast<std::size_t>(sx), 3);
                        else if (m_head.biBitCount == 8)
                            d[x] = RowPtr(sy)[sx];
                        else
                            tmp.SetPixelIndexUnchecked(x, y, GetPixelIndexUnchecked(sx, sy));
                    }
                }
            }
        }
    });
    if (m_pAlpha && tmp.AlphaCreate())
        for (LONG y = 0; y < nh; ++y)
            for (LONG x = 0; x < nw; ++x)
                tmp.m_pAlpha[static_cast<std::size_t>(y) * nw + x] =
                    m_pAlpha[static_cast<std::size_t>(srcY(x, y)) * w + srcX(x, y)];
    tmp.SetXDPI(m_info.yDPI);
    tmp.SetYDPI(m_info.xDPI);
    Deliver(tmp, iDst);
    return true;
}

bool CxImage::RotateLeft(CxImage* iDst) { return RotateQuarter(false, iDst); }

bool CxImage::RotateRight(CxImage* iDst) { return RotateQuarter(true, iDst); }

bool CxImage::Rotate180(CxImage* iDst)
{
    if (!m_pDib)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), GetBpp()))
        return false;
    for (LONG y = 0; y < h; ++y) {
        const BYTE* s = RowPtr(h - 1 - y);
        BYTE* d = tmp.RowPtr(y);
        for (LONG x = 0; x < w; ++x) {
            if (m_head.biBitCount == 24)
                std::memcpy(d + 3 * x, s + 3 * (w - 1 - x), 3);
            else
                tmp.SetPixelIndexUnchecked(x, y, GetPixelIndexUnchecked(w - 1 - x, h - 1 - y));
        }
    }
    if (m_pAlpha && tmp.AlphaCreate())
        std::reverse_copy(m_pAlpha, m_pAlpha + PlaneSize(), tmp.m_pAlpha);
    Deliver(tmp, iDst);
    return true;
}

bool CxImage::Rotate(float angle, CxImage* iDst)
{
    if (!m_pDib)
        return false;
    const double ang = -angle * (std::numbers::pi / 2) / 90;
    const double c = std::cos(ang), s = std::sin(ang);
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    // The box of the turned image; a hair's tolerance keeps right angles exact.
    const double bw = std::fabs(w * c) + std::fabs(h * s);
    const double bh = std::fabs(w * s) + std::fabs(h * c);
    if (bw > 0x7FFFFFFF || bh > 0x7FFFFFFF)
        return false;
    const LONG nw = std::max<LONG>(1, static_cast<LONG>(std::ceil(bw - 1e-3)));
    const LONG nh = std::max<LONG>(1, static_cast<LONG>(std::ceil(bh - 1e-3)));
    CxImage tmp;
    if (!MakeTarget(tmp, static_cast<DWORD>(nw), static_cast<DWORD>(nh), GetBpp()))
        return false;
    const bool indexed = m_head.biClrUsed != 0;
    const RGBQUAD trans = GetTransColor();
    const BYTE transIndex = m_info.nBkgndIndex >= 0 ? static_cast<BYTE>(m_info.nBkgndIndex) : GetNearestIndex(trans);
    if (m_pAlpha && !tmp.AlphaCreate())
        return false;
    std::atomic<bool> stopped{false};
    imagecore::ParallelFor(0, nh, static_cast<std::size_t>(nw), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (Escaped()) {
                stopped = true;
                return;
            }
            BYTE* d = tmp.RowPtr(y);
            const double ry = y + 0.5 - nh / 2.0;
            for (LONG x = 0; x < nw; ++x) {
                const double rx = x + 0.5 - nw / 2.0;
                const double fx = std::floor(rx * c + ry * s + w / 2.0);
                const double fy = std::floor(-rx * s + ry * c + h / 2.0);
                const bool inside = fx >= 0 && fy >= 0 && fx < w && fy < h;
                const LONG sx = inside ? static_cast<LONG>(fx) : 0, sy = inside ? static_cast<LONG>(fy) : 0;
                if (indexed) {
                    tmp.SetPixelIndexUnchecked(x, y, inside ? GetPixelIndexUnchecked(sx, sy) : transIndex);
                } else if (inside) {
                    std::memcpy(d + 3 * x, RowPtr(sy) + 3 * static_cast<std::size_t>(sx), 3);
                } else {
                    d[3 * x] = trans.rgbBlue;
                    d[3 * x + 1] = trans.rgbGreen;
                    d[3 * x + 2] = trans.rgbRed;
                }
                if (m_pAlpha)
                    tmp.m_pAlpha[static_cast<std::size_t>(y) * nw + x] =
                        inside ? m_pAlpha[static_cast<std::size_t>(sy) * w + sx] : 0;
            }
        }
    });
    if (stopped)
        return false;
    Deliver(tmp, iDst);
    return true;
}

bool CxImage::Negative()
{
    if (!m_pDib)
        return false;
    CxImage tmp;
    if (!tmp.Copy(*this))
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    if (m_head.biBitCount == 24) {
        LONG x0 = 0, x1 = w, y0 = 0, y1 = h;
        if (m_pSelection) {
            const RECT& box = m_info.rSelectionBox;
            x0 = std::max<LONG>(box.left, 0);
            x1 = std::min<LONG>(box.right, w);
            y0 = std::max<LONG>(box.bottom, 0);
            y1 = std::min<LONG>(box.top, h);
        }
        for (LONG y = y0; y < y1; ++y) {
            BYTE* d = tmp.RowPtr(y);
            for (LONG x = x0; x < x1; ++x)
                if (!m_pSelection || m_pSelection[static_cast<std::size_t>(y) * w + x] == 255)
                    for (int k = 0; k < 3; ++k)
                        d[3 * x + k] = static_cast<BYTE>(255 - d[3 * x + k]);
        }
        RGBQUAD& t = tmp.m_info.nBkgndColor;
        t = RGBQUAD{static_cast<BYTE>(255 - t.rgbBlue), static_cast<BYTE>(255 - t.rgbGreen),
                    static_cast<BYTE>(255 - t.rgbRed), t.rgbReserved};
    } else if (IsGrayScale()) {
        const BYTE top = static_cast<BYTE>(m_head.biClrUsed - 1);
        for (LONG y = 0; y < h; ++y)
            for (LONG x = 0; x < w; ++x)
                tmp.SetPixelIndexUnchecked(x, y, static_cast<BYTE>(top - GetPixelIndexUnchecked(x, y)));
    } else {
        RGBQUAD* pal = tmp.GetPalette();
        for (DWORD i = 0; i < m_head.biClrUsed; ++i)
            pal[i] = RGBQUAD{static_cast<BYTE>(255 - pal[i].rgbBlue), static_cast<BYTE>(255 - pal[i].rgbGreen),
                             static_cast<BYTE>(255 - pal[i].rgbRed), pal[i].rgbReserved};
    }
    Transfer(tmp);
    return true;
}

bool CxImage::Crop(LONG left, LONG top, LONG right, LONG bottom, CxImage* iDst)
{
    if (!m_pDib)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const LONG l = std::clamp<LONG>(std::min(left, right), 0, w), r = std::clamp<LONG>(std::max(left, right), 0, w);
    const LONG t = std::clamp<LONG>(std::min(top, bottom), 0, h), b = std::clamp<LONG>(std::max(top, bottom), 0, h);
    if (l == r || t == b)
        return false;
    const LONG nw = r - l, nh = b - t;
    CxImage tmp;
    if (!MakeTarget(tmp, static_cast<DWORD>(nw), static_cast<DWORD>(nh), GetBpp()))
        return false;
    // Rows counted from the top: the first DIB row of the result is source row h - b.
    const LONG firstRow = h - b;
    for (LONG y = 0; y < nh; ++y) {
        const BYTE* s = RowPtr(firstRow + y);
        BYTE* d = tmp.RowPtr(y);
        if (m_head.biBitCount == 24)
            std::memcpy(d, s + 3 * static_cast<std::size_t>(l), 3 * static_cast<std::size_t>(nw));
        else if (m_head.biBitCount == 8)
            std::memcpy(d, s + l, static_cast<std::size_t>(nw));
        else
            for (LONG x = 0; x < nw; ++x)
                tmp.SetPixelIndexUnchecked(x, y, GetPixelIndexUnchecked(l + x, firstRow + y));
    }
    if (m_pAlpha && tmp.AlphaCreate())
        for (LONG y = 0; y < nh; ++y)
            std::memcpy(tmp.m_pAlpha + static_cast<std::size_t>(y) * nw,
                        m_pAlpha + static_cast<std::size_t>(firstRow + y) * w + l, static_cast<std::size_t>(nw));
    Deliver(tmp, iDst);
    return true;
}

bool CxImage::IncreaseBpp(DWORD nbit)
{
    if (!m_pDib)
        return false;
    if (nbit == m_head.biBitCount)
        return true;
    if (nbit < m_head.biBitCount || (nbit != 4 && nbit != 8 && nbit != 24))
        return false;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), nbit))
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    for (LONG y = 0; y < h; ++y) {
        BYTE* d = tmp.RowPtr(y);
        for (LONG x = 0; x < w; ++x) {
            if (nbit == 24) {
                const RGBQUAD c = GetPixelColorUnchecked(x, y);
                d[3 * x] = c.rgbBlue;
                d[3 * x + 1] = c.rgbGreen;
                d[3 * x + 2] = c.rgbRed;
            } else {
                tmp.SetPixelIndexUnchecked(x, y, GetPixelIndexUnchecked(x, y));
            }
        }
    }
    if (nbit == 24 && IsTransparent())
        tmp.m_info.nBkgndColor = GetTransColor();
    CopyPlanesTo(tmp);
    Transfer(tmp);
    return true;
}

namespace {

// Exact nearest-entry lookups, remembered per colour: photos repeat colours
// far more often than a 256-entry search can afford.
class NearestCache {
public:
    explicit NearestCache(const CxImage& img) : m_img(img) {}
    BYTE Find(RGBQUAD c)
    {
        const DWORD key = c.rgbBlue | (c.rgbGreen << 8) | (c.rgbRed << 16) | 0x1000000u;
        Slot& s = m_slots[(key * 2654435761u) >> 20];
        if (s.key != key) {
            s.key = key;
            s.index = m_img.GetNearestIndex(RGBQUAD{c.rgbBlue, c.rgbGreen, c.rgbRed, 0});
        }
        return s.index;
    }

private:
    struct Slot {
        DWORD key = 0;
        BYTE index = 0;
    };
    const CxImage& m_img;
    std::vector<Slot> m_slots = std::vector<Slot>(4096);
};

BYTE Clamp255(int v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); }

} // namespace

bool CxImage::DecreaseBpp(DWORD nbit, bool errordiffusion, const RGBQUAD* ppal)
{
    if (!m_pDib || nbit > m_head.biBitCount)
        return false;
    if (nbit == m_head.biBitCount)
        return true;
    if (nbit != 1 && nbit != 4 && nbit != 8)
        return false;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), nbit))
        return false;
    if (ppal) {
        tmp.SetPalette(ppal, nbit == 8 ? 256 : 16);
    } else if (nbit == 1) {
        tmp.SetPaletteIndex(0, 0, 0, 0);
        tmp.SetPaletteIndex(1, 255, 255, 255);
    } else {
        tmp.SetStdPalette();
    }
    tmp.m_info.nBkgndIndex = m_info.nBkgndIndex >= 0 ? tmp.GetNearestIndex(GetTransColor()) : -1;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const RGBQUAD* pal = tmp.GetPalette();
    NearestCache nearest(tmp);
    // Errors for this row and the next, per channel, with a guard pixel each side.
    std::vector<int> cur, next;
    if (errordiffusion) {
        cur.assign(3 * (static_cast<std::size_t>(w) + 2), 0);
        next.assign(cur.size(), 0);
    }
    for (LONG y = 0; y < h; ++y) {
        if (Escaped())
            return false;
        SetProgress(y * 100 / h);
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD c = GetPixelColorUnchecked(x, y);
            if (!errordiffusion) {
                tmp.SetPixelIndexUnchecked(x, y, nearest.Find(c));
                continue;
            }
            int* e = &cur[3 * (x + 1)];
            const int v[3] = {c.rgbBlue + e[0], c.rgbGreen + e[1], c.rgbRed + e[2]};
            c = RGBQUAD{Clamp255(v[0]), Clamp255(v[1]), Clamp255(v[2]), 0};
            const BYTE idx = nearest.Find(c);
            tmp.SetPixelIndexUnchecked(x, y, idx);
            const int q[3] = {pal[idx].rgbBlue, pal[idx].rgbGreen, pal[idx].rgbRed};
            for (int k = 0; k < 3; ++k) {
                const int err = (k == 0 ? c.rgbBlue : k == 1 ? c.rgbGreen : c.rgbRed) - q[k];
                cur[3 * (x + 2) + k] += err * 7 / 16;
                next[3 * x + k] += err * 3 / 16;
                next[3 * (x + 1) + k] += err * 5 / 16;
                next[3 * (x + 2) + k] += err / 16;
            }
        }
        if (errordiffusion) {
            cur.swap(next);
            std::fill(next.begin(), next.end(), 0);
        }
    }
    CopyPlanesTo(tmp);
    Transfer(tmp);
    return true;
}

bool CxImage::Dither(LONG method)
{
    if (!m_pDib)
        return false;
    if (m_head.biBitCount == 1)
        return true;
    CxImage grey(*this, true, false, false);
    if (!grey.IsValid() || !grey.GrayScale())
        return false;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), 1))
        return false;
    tmp.SetPaletteIndex(0, 0, 0, 0);
    tmp.SetPaletteIndex(1, 255, 255, 255);
    tmp.m_info.nBkgndIndex = -1;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    const RGBQUAD* gpal = grey.GetPalette();
    auto level = [&](LONG x, LONG y) { return static_cast<int>(gpal[grey.RowPtr(y)[x]].rgbRed); };
    if (method == 1) {
        static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
        for (LONG y = 0; y < h; ++y) {
            if (Escaped())
                return false;
            SetProgress(y * 100 / h);
            for (LONG x = 0; x < w; ++x) {
                const int l = level(x, y) * 16 / 255;
                tmp.SetPixelIndexUnchecked(x, y, l == 16 || kMatrix[y % 4][x % 4] < l ? 1 : 0);
            }
        }
    } else {
        // Grey values with a guard column each side; each change is clamped.
        std::vector<int> cur(static_cast<std::size_t>(w) + 2), next(cur.size());
        for (LONG x = 0; x < w; ++x)
            cur[x + 1] = level(x, 0);
        for (LONG y = 0; y < h; ++y) {
            if (Escaped())
                return false;
            SetProgress(y * 100 / h);
            if (y + 1 < h)
                for (LONG x = 0; x < w; ++x)
                    next[x + 1] = level(x, y + 1);
            for (LONG x = 0; x < w; ++x) {
                const int v = cur[x + 1];
                const bool white = v >= 129;
                const int err = white ? v - 255 : v;
                tmp.SetPixelIndexUnchecked(x, y, white ? 1 : 0);
                cur[x + 2] = Clamp255(cur[x + 2] + err * 7 / 16);
                next[x] = Clamp255(next[x] + err * 3 / 16);
                next[x + 1] = Clamp255(next[x + 1] + err * 5 / 16);
                next[x + 2] = Clamp255(next[x + 2] + err / 16);
            }
            cur.swap(next);
        }
    }
    CopyPlanesTo(tmp);
    Transfer(tmp);
    return true;
}
