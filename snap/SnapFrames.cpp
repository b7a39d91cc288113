#include "snap/SnapFrames.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace snap {

namespace {
constexpr DWORD kBiRgb = 0;
} // namespace

bool CropSnapshot(const CQLImage& snapshot, RECT sel, CQLImage* out)
{
    out->Free();
    UINT w = 0, h = 0;
    snapshot.GetSize(&w, &h);
    if (w == 0 || h == 0)
        return false;
    if (sel.right - sel.left <= 0 || sel.bottom - sel.top <= 0)
        sel = RECT{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
    sel.left = std::max<LONG>(sel.left, 0);
    sel.top = std::max<LONG>(sel.top, 0);
    sel.right = std::min<LONG>(sel.right, static_cast<LONG>(w));
    sel.bottom = std::min<LONG>(sel.bottom, static_cast<LONG>(h));
    const int cw = sel.right - sel.left, ch = sel.bottom - sel.top;
    if (cw <= 0 || ch <= 0 || out->Create(static_cast<UINT>(cw), static_cast<UINT>(ch)) != 0)
        return false;
    for (int i = 0; i < ch; ++i)
        std::memcpy(out->GetBuffer(0, i), snapshot.GetBuffer(sel.left, sel.top + i), static_cast<std::size_t>(cw) * 4);
    return true;
}

RECT FitFrame(RECT t, int sw, int sh)
{
    const int tw = t.right - t.left, th = t.bottom - t.top;
    if (sw <= 0 || sh <= 0)
        return t;
    if (static_cast<long long>(sw) * th < static_cast<long long>(sh) * tw) {
        const int d = static_cast<int>((tw - static_cast<long long>(sw) * th / sh) / 2);
        t.left += d;
        t.right -= d;
    } else {
        const int d = static_cast<int>((th - static_cast<long long>(sh) * tw / sw) / 2);
        t.top += d;
        t.bottom -= d;
    }
    return t;
}

bool FrameToImage(const BITMAPINFOHEADER& f, const BYTE* bits, std::size_t size, CQLImage* out)
{
    out->Free();
    if (!bits || f.biCompression != kBiRgb || (f.biBitCount != 8 && f.biBitCount != 24) || f.biWidth <= 0 ||
        f.biHeight == 0 || f.biWidth > 65535 || std::abs(static_cast<long long>(f.biHeight)) > 65535)
        return false;
    const int w = f.biWidth;
    const int h = static_cast<int>(std::abs(static_cast<long long>(f.biHeight)));
    const int bpp = f.biBitCount / 8;
    const std::size_t stride = (static_cast<std::size_t>(w) * bpp + 3) & ~static_cast<std::size_t>(3);
    if (size < stride * static_cast<std::size_t>(h) || out->Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return false;
    const bool topDown = f.biHeight < 0;
    for (int y = 0; y < h; ++y) {
        const BYTE* s = bits + stride * static_cast<std::size_t>(topDown ? y : h - 1 - y);
        for (int x = 0; x < w; ++x, s += bpp)
            out->PutPixel(x, y, bpp == 1 ? CPixel{s[0], s[0], s[0], 255} : CPixel{s[0], s[1], s[2], 255});
    }
    return true;
}

} // namespace snap
