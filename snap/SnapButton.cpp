#include "snap/SnapButton.h"

#include <algorithm>

namespace snap {

namespace {

void Shift(CQLImage& img, int x, int y, int delta)
{
    UINT w = 0, h = 0;
    img.GetSize(&w, &h);
    if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h))
        return;
    CPixel p = img.GetPixel2(x, y);
    p.b = static_cast<BYTE>(std::clamp(p.b + delta, 0, 255));
    p.g = static_cast<BYTE>(std::clamp(p.g + delta, 0, 255));
    p.r = static_cast<BYTE>(std::clamp(p.r + delta, 0, 255));
    img.PutPixel(x, y, p);
}

} // namespace

int FaceEdgeStep(BYTE b, BYTE g, BYTE r)
{
    // Weights of 6, 3 and 1 tenths on the three bytes in memory order.
    const int grey = (b * 6 + g * 3 + r * 1) / 10;
    return grey < 128 ? 128 : 64;
}

void DrawFaceEdge(CQLImage& image, int x0, int y0, int w, int h, int step)
{
    if (w <= 0 || h <= 0)
        return;
    for (int x = x0; x < x0 + w; ++x) {
        Shift(image, x, y0, step);
        Shift(image, x, y0 + h - 1, -step);
    }
    for (int y = y0 + 1; y < y0 + h - 1; ++y) {
        Shift(image, x0, y, step);
        Shift(image, x0 + w - 1, y, -step);
    }
}

void CSnapButton::DrawFace(int greyPercent, CDC* dc, RECT rect, BOOL useHot, BOOL pressed)
{
    CImgButton::DrawFace(greyPercent, dc, rect, useHot, pressed);
    if (!useHot && !pressed)
        return;
    UINT fw = 0, fh2 = 0;
    m_face.GetSize(&fw, &fh2);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int faceW = static_cast<int>(fw), faceH = static_cast<int>(fh2 / 2);
    int x0 = m_layout == 1 ? (w < 20 ? 0 : 5) : (w - faceW) / 2;
    int y0 = m_layout == 1 ? h - faceH - (h - faceH) / 2 : 5;
    if (pressed)
        ++x0, ++y0;
    const int step = FaceEdgeStep(m_bkB, m_bkG, m_bkR);
    // Raised under the cursor, sunk while pressed.
    DrawFaceEdge(m_backBuffer, x0, y0, faceW, faceH, pressed ? -step : step);
}

} // namespace snap
