#include "develop/DevelopSkin.h"

#include "develop/DevelopAdjustJob.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/AfxTypes.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/ProgramFolder.h"

#include <algorithm>
#include <cmath>

namespace develop {

std::string DevelopSkin::Path(const char* name) const { return qlwin::ProgramFolder() + "raw/" + (name ? name : ""); }

BOOL DevelopSkin::Load()
{
    CQLImageCodec codec;
    CQLImage b, c;
    if (!codec.LoadFile(Path("button.bmp").c_str(), &b) || !codec.LoadFile(Path("check.bmp").c_str(), &c))
        return FALSE;
    button = std::move(b);
    check = std::move(c);
    return TRUE;
}

DevelopSkin& Skin()
{
    // Never freed: controls may paint while the program winds down.
    static DevelopSkin* skin = new DevelopSkin;
    return *skin;
}

BOOL GradientImage(CQLImage& out, int width, int height, POINT p1, POINT p2, int mode, COLORREF colour1,
                   COLORREF colour2)
{
    if (width <= 0 || height <= 0 || out.Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0)
        return FALSE;
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length < 0.00001)
        length = 0.00001;
    // ramp[i][c]: colour2 at 0, colour1 at 256, kept within 2..253 so the
    // dither never wraps.
    BYTE ramp[257][3];
    const int c1[3] = {GetBValue(colour1), GetGValue(colour1), GetRValue(colour1)};
    const int c2[3] = {GetBValue(colour2), GetGValue(colour2), GetRValue(colour2)};
    for (int i = 0; i <= 256; ++i)
        for (int c = 0; c < 3; ++c)
            ramp[i][c] = static_cast<BYTE>(std::clamp((c2[c] * (256 - i) + c1[c] * i) / 256, 2, 253));
    GrainRandom random;
    random.Seed(1);
    const double l2 = length * length;
    for (int y = 0; y < height; ++y) {
        BYTE* px = out.GetBuffer(0, y);
        for (int x = 0; x < width; ++x, px += 4) {
            const double ax = x - p1.x, ay = y - p1.y;
            const double a2 = ax * ax + ay * ay;
            int index;
            if (mode == 1) {
                const double bx = x - p2.x, by = y - p2.y;
                const double d = (a2 + l2 - (bx * bx + by * by)) / (2 * length);
                index = d <= 0 ? 255 : std::max(0, static_cast<int>(256 - d * 256 / length));
            } else {
                index = std::max(0, static_cast<int>(256 - std::sqrt(a2) * 256 / length));
            }
            const int offset = random.Next() % 4 - 2;
            for (int c = 0; c < 3; ++c)
                px[c] = static_cast<BYTE>(ramp[index][c] + offset);
            px[3] = 255;
        }
    }
    return TRUE;
}

void FillGradientRect(CDC* dc, RECT rect, POINT p1, POINT p2, int mode, COLORREF colour1, COLORREF colour2)
{
    CRect r(rect);
    r.NormalizeRect();
    CQLImage work;
    const POINT a{p1.x - r.left, p1.y - r.top}, b{p2.x - r.left, p2.y - r.top};
    if (!dc || !GradientImage(work, r.Width(), r.Height(), a, b, mode, colour1, colour2))
        return;
    DrawImage(dc, work, r.left, r.top);
}

void DrawImage(CDC* dc, const CQLImage& image, int x, int y)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    if (!dc || w == 0 || h == 0)
        return;
    const BITMAPINFO info = DibHeaderOf(image, static_cast<int>(h));
    CopyDibRows(dc, x, y, static_cast<int>(w), static_cast<int>(h), 0, 0, image.GetBuffer(0, 0), info,
                static_cast<int>(h));
}

void StretchImage(CDC* dc, const CQLImage& image, RECT dest, RECT source)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    if (!dc || w == 0 || h == 0 || dest.right <= dest.left || dest.bottom <= dest.top)
        return;
    const int sh = source.bottom - source.top;
    if (sh <= 0 || source.top < 0 || source.bottom > static_cast<int>(h))
        return;
    // The bits start at the first row wanted, so source y is 0.
    const BITMAPINFO info = DibHeaderOf(image, sh);
    const int oldMode = dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.left,
                    0, source.right - source.left, sh, image.GetBuffer(0, source.top), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

} // namespace develop
