// CxImage drawing and GDI bitmap exchange, through the window layer's DCs.
// Kept out of imagecore so that headless code uses CxImage without Qt.
#include "imagecore/XImage.h"
#include "platform/afx/DC.h"
#include "platform/afx/WinGdi.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

const BITMAPINFO* Info(const CxImage& img) { return static_cast<const BITMAPINFO*>(img.GetDIB()); }

// The part of (x, y, cx, cy) that the DC can show, further limited by clip.
bool VisibleRect(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT* clip, RECT* out)
{
    RECT box{};
    if (GetClipBox(hdc, &box) == ERROR)
        return false;
    // Wide sums: a far-off origin must not overflow.
    RECT r{std::max(x, box.left), std::max(y, box.top),
           static_cast<LONG>(std::min<long long>(static_cast<long long>(x) + cx, box.right)),
           static_cast<LONG>(std::min<long long>(static_cast<long long>(y) + cy, box.bottom))};
    if (clip) {
        r.left = std::max(r.left, clip->left);
        r.top = std::max(r.top, clip->top);
        r.right = std::min(r.right, clip->right);
        r.bottom = std::min(r.bottom, clip->bottom);
    }
    *out = r;
    return r.left < r.right && r.top < r.bottom;
}

} // namespace

HBITMAP CxImage::MakeBitmap(HDC hdc) const
{
    if (!m_pDib)
        return nullptr;
    // Our bitmaps keep their rows top-down and 16-bit aligned, so the DIB's
    // bits are always read through CreateDIBitmap, with or without a DC.
    return CreateDIBitmap(hdc, &m_head, CBM_INIT, GetBits(), Info(*this), DIB_RGB_COLORS);
}

bool CxImage::CreateFromHBITMAP(HBITMAP hbmp)
{
    BITMAP bm{};
    if (!hbmp || !GetObject(hbmp, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    CxImage tmp(m_info.dwType);
    // The layer reads bitmaps back at 24 or 32 bits only.
    if (!tmp.Create(static_cast<DWORD>(bm.bmWidth), static_cast<DWORD>(bm.bmHeight), 24, m_info.dwType)) {
        SetError(tmp.GetLastError());
        return false;
    }
    HDC screen = qlafx::CreateDisplayDC();
    BITMAPINFO info{};
    info.bmiHeader = tmp.GetHeader();
    const int lines = GetDIBits(screen, hbmp, 0, static_cast<UINT>(bm.bmHeight), tmp.GetBits(), &info, DIB_RGB_COLORS);
    DeleteDC(screen);
    if (lines != bm.bmHeight) {
        SetError("GetDIBits failed");
        return false;
    }
    Transfer(tmp);
    return true;
}

LONG CxImage::Stretch(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const
{
    if (!m_pDib || !hdc || cx == 0 || cy == 0 || !m_info.bEnabled)
        return 0;
    const int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, x, y, cx, cy, 0, 0, m_head.biWidth, m_head.biHeight, GetBits(), Info(*this), DIB_RGB_COLORS,
                  SRCCOPY);
    SetStretchBltMode(hdc, oldMode);
    return 1;
}

LONG CxImage::Stretch(HDC hdc, const RECT& rect) const
{
    return Stretch(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

LONG CxImage::Draw2(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const
{
    if (!m_pDib || !hdc || cx == 0 || cy == 0 || !m_info.bEnabled)
        return 0;
    if (cx < 0)
        cx = m_head.biWidth;
    if (cy < 0)
        cy = m_head.biHeight;
    if (!IsTransparent())
        return Stretch(hdc, x, y, cx, cy);
    RECT vis{};
    if (!VisibleRect(hdc, x, y, cx, cy, nullptr, &vis))
        return 1;

    // The image at its drawn size, and a mask that is white where it has the
    // transparent colour. dest ^ img, & mask, ^ img leaves dest under white
    // and img under black.
    const LONG w = vis.right - vis.left, h = vis.bottom - vis.top;
    HDC imgDC = CreateCompatibleDC(hdc);
    HDC screen = qlafx::CreateDisplayDC();
    HBITMAP imgBmp = CreateCompatibleBitmap(screen, w, h);
    DeleteDC(screen);
    HGDIOBJ oldImg = SelectObject(imgDC, imgBmp);
    SetStretchBltMode(imgDC, COLORONCOLOR);
    auto offset = [](LONG from, LONG to) { return static_cast<int>(std::max<long long>(1LL * from - to, INT_MIN)); };
    StretchDIBits(imgDC, offset(x, vis.left), offset(y, vis.top), cx, cy, 0, 0, m_head.biWidth, m_head.biHeight,
                  GetBits(), Info(*this), DIB_RGB_COLORS, SRCCOPY);

    HDC maskDC = CreateCompatibleDC(hdc);
    HBITMAP maskBmp = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDC, maskBmp);
    SetBkColor(imgDC, RGBQUADtoRGB(GetTransColor()));
    BitBlt(maskDC, 0, 0, w, h, imgDC, 0, 0, SRCCOPY);

    const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
    BitBlt(hdc, vis.left, vis.top, w, h, imgDC, 0, 0, SRCINVERT);
    BitBlt(hdc, vis.left, vis.top, w, h, maskDC, 0, 0, SRCAND);
    BitBlt(hdc, vis.left, vis.top, w, h, imgDC, 0, 0, SRCINVERT);
    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBk);

    SelectObject(maskDC, oldMask);
    DeleteObject(maskBmp);
    DeleteDC(maskDC);
    SelectObject(imgDC, oldImg);
    DeleteObject(imgBmp);
    DeleteDC(imgDC);
    return 1;
}

LONG CxImage::Draw2(HDC hdc, const RECT& rect) const
{
    return Draw2(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

LONG CxImage::Draw(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT* pClipRect) const
{
    if (!m_pDib || !hdc || cx == 0 || cy == 0 || !m_info.bEnabled)
        return 0;
    if (cx < 0)
        cx = m_head.biWidth;
    if (cy < 0)
        cy = m_head.biHeight;
    RECT vis{};
    if (!VisibleRect(hdc, x, y, cx, cy, pClipRect, &vis))
        return 1;

    if (!m_pAlpha && !IsTransparent() && !m_pSelection) {
        const int saved = SaveDC(hdc);
        IntersectClipRect(hdc, vis.left, vis.top, vis.right, vis.bottom);
        const LONG drawn = Stretch(hdc, x, y, cx, cy);
        RestoreDC(hdc, saved);
        return drawn;
    }

    // Read the visible part back, blend each pixel over it, and put it back.
    const LONG w = vis.right - vis.left, h = vis.bottom - vis.top;
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bitsPtr = nullptr;
    HBITMAP section = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, &bitsPtr, nullptr, 0);
    if (!section)
        return 0;
    HDC memDC = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(memDC, section);
    BitBlt(memDC, 0, 0, w, h, hdc, vis.left, vis.top, SRCCOPY);

    auto* bits = static_cast<BYTE*>(bitsPtr);
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
    const LONG iw = m_head.biWidth, ih = m_head.biHeight;
    const bool indexed = m_head.biClrUsed != 0;
    const bool paletteAlpha = indexed && m_info.bAlphaPaletteEnabled;
    const RGBQUAD trans = GetTransColor();
    const int amax = m_info.nAlphaMax;
    std::vector<LONG> xs(static_cast<std::size_t>(w));
    for (LONG i = 0; i < w; ++i)
        xs[i] = static_cast<LONG>((static_cast<long long>(vis.left) + i - x) * iw / cx);
    for (LONG j = 0; j < h; ++j) {
        // Device rows go down, image rows go up.
        const LONG sy = ih - 1 - static_cast<LONG>((static_cast<long long>(vis.top) + j - y) * ih / cy);
        BYTE* d = bits + j * stride;
        for (LONG i = 0; i < w; ++i, d += 3) {
            const LONG sx = xs[i];
            if (m_pSelection && m_pSelection[static_cast<std::size_t>(sy) * iw + sx] != 255)
                continue;
            RGBQUAD c{};
            if (indexed) {
                const BYTE idx = GetPixelIndexUnchecked(sx, sy);
                if (m_info.nBkgndIndex >= 0 && idx == m_info.nBkgndIndex)
                    continue;
                c = GetPaletteColor(idx);
            } else {
                c = GetPixelColorUnchecked(sx, sy);
                if (IsTransparent() && c.rgbBlue == trans.rgbBlue && c.rgbGreen == trans.rgbGreen &&
                    c.rgbRed == trans.rgbRed)
                    continue;
            }
            int a = 255;
            if (m_pAlpha)
                a = m_pAlpha[static_cast<std::size_t>(sy) * iw + sx] * (amax + 1) >> 8;
            if (paletteAlpha)
                a = a * (c.rgbReserved + 1) >> 8;
            if (a == 0)
                continue; // fully transparent: the background stays exactly as it was
            if (a == 255) {
                d[0] = c.rgbBlue;
                d[1] = c.rgbGreen;
                d[2] = c.rgbRed;
                continue;
            }
            d[0] = static_cast<BYTE>((c.rgbBlue * a + d[0] * (255 - a)) >> 8);
            d[1] = static_cast<BYTE>((c.rgbGreen * a + d[1] * (255 - a)) >> 8);
            d[2] = static_cast<BYTE>((c.rgbRed * a + d[2] * (255 - a)) >> 8);
        }
    }
    SetDIBitsToDevice(hdc, vis.left, vis.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                      static_cast<UINT>(h), bits, &bi, DIB_RGB_COLORS);
    SelectObject(memDC, old);
    DeleteDC(memDC);
    DeleteObject(section);
    return 1;
}

LONG CxImage::Draw(HDC hdc, const RECT& rect, const RECT* pClipRect) const
{
    return Draw(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, pClipRect);
}

LONG CxImage::Tile(HDC hdc, const RECT* rc) const
{
    if (!m_pDib || !hdc || !rc || !m_info.bEnabled)
        return 0;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    if (rc->right <= rc->left || rc->bottom <= rc->top)
        return 0;
    // Tiles start at the rectangle's corner and stop at its edges.
    for (long long y = rc->top; y < rc->bottom; y += h)
        for (long long x = rc->left; x < rc->right; x += w)
            Draw(hdc, static_cast<LONG>(x), static_cast<LONG>(y), w, h, rc);
    return 1;
}
