#include "collage/BoxDrawing.h"

#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstdio>

namespace collage {

RECT FitPicture(const RECT& client, int width, int height)
{
    RECT area{client.left + 10, client.top + 10, client.right - 10, client.bottom - 10};
    const int aw = std::max(0, static_cast<int>(area.right - area.left));
    const int ah = std::max(0, static_cast<int>(area.bottom - area.top));
    if (width <= 0 || height <= 0 || aw == 0 || ah == 0)
        return RECT{area.left, area.top, area.left + aw, area.top + ah};
    int w = aw, h = static_cast<int>(static_cast<long long>(aw) * height / width);
    if (h > ah) {
        h = ah;
        w = static_cast<int>(static_cast<long long>(ah) * width / height);
    }
    const int left = area.left + (aw - w) / 2, top = area.top + (ah - h) / 2;
    return RECT{left, top, left + w, top + h};
}

BoxPoint WindowToPicture(POINT p, const RECT& fit, int width, int height)
{
    const long long fw = std::max<long long>(1, fit.right - fit.left), fh = std::max<long long>(1, fit.bottom - fit.top);
    const long long x = width * static_cast<long long>(p.x - fit.left) / fw;
    const long long y = height * static_cast<long long>(p.y - fit.top) / fh;
    return BoxPoint{static_cast<int32_t>(std::clamp<long long>(x, 0, width)),
                    static_cast<int32_t>(std::clamp<long long>(y, 0, height))};
}

POINT PictureToWindow(BoxPoint p, const RECT& fit, int width, int height)
{
    if (width <= 0 || height <= 0)
        return POINT{fit.left, fit.top};
    return POINT{static_cast<LONG>(static_cast<long long>(p.x) * (fit.right - fit.left) / width + fit.left),
                 static_cast<LONG>(static_cast<long long>(p.y) * (fit.bottom - fit.top) / height + fit.top)};
}

void PaintFitted(CDC& dc, const RECT& client, const CQLImage* picture, RECT* fit)
{
    UINT w = 0, h = 0;
    if (picture)
        picture->GetSize(&w, &h);
    CBrush black, dark;
    black.CreateSolidBrush(RGB(0, 0, 0));
    dark.CreateSolidBrush(RGB(64, 64, 64));
    if (w == 0 || h == 0) {
        dc.FillSolidRect(&client, RGB(128, 128, 128));
        dc.FrameRect(&client, &dark);
        *fit = FitPicture(client, 0, 0);
        return;
    }
    *fit = FitPicture(client, static_cast<int>(w), static_cast<int>(h));
    const RECT& r = *fit;
    const int cw = client.right - client.left;
    dc.FillSolidRect(client.left, client.top, cw, r.top - client.top, RGB(64, 64, 64));
    dc.FillSolidRect(client.left, r.bottom, cw, client.bottom - r.bottom, RGB(64, 64, 64));
    dc.FillSolidRect(client.left, r.top, r.left - client.left, r.bottom - r.top, RGB(64, 64, 64));
    dc.FillSolidRect(r.right, r.top, client.right - r.right, r.bottom - r.top, RGB(64, 64, 64));
    const BITMAPINFO info = DibHeaderOf(*picture, static_cast<int>(h));
    const int oldMode = dc.SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc.GetSafeHdc(), r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, static_cast<int>(w),
                    static_cast<int>(h), picture->GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc.SetStretchBltMode(oldMode);
    RECT around{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    dc.FrameRect(&around, &black);
    dc.FrameRect(&client, &black);
}

void DrawBoxMarks(CDC& dc, const FrameBox& box, int index, const RECT& fit, int width, int height, bool handles)
{
    POINT corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = PictureToWindow(box.p[i], fit, width, height);
    const int oldRop = dc.SetROP2(R2_XORPEN);
    HGDIOBJ previous = ::SelectObject(dc.GetSafeHdc(), ::GetStockObject(WHITE_PEN));
    dc.MoveTo(corners[3]);
    for (const POINT& c : corners)
        dc.LineTo(c);
    ::SelectObject(dc.GetSafeHdc(), previous);
    dc.SetROP2(oldRop);

    const BoxPoint centre{(box.p[0].x + box.p[1].x + box.p[2].x + box.p[3].x) / 4,
                          (box.p[0].y + box.p[1].y + box.p[2].y + box.p[3].y) / 4};
    const POINT c = PictureToWindow(centre, fit, width, height);
    if (HICON icon = AfxGetApp()->LoadIcon(kCentreIcon))
        dc.DrawIcon(c.x - 7, c.y - 7, icon);
    CFont font;
    font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    CFont* oldFont = dc.SelectObject(&font);
    const int oldBk = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
    char number[16];
    std::snprintf(number, sizeof number, "%d", index + 1);
    RECT text{c.x - 20, c.y - 10, c.x + 20, c.y + 10};
    dc.DrawText(number, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetTextColor(oldText);
    dc.SetBkMode(oldBk);
    dc.SelectObject(oldFont);
    if (!handles)
        return;
    for (int i = 0; i < 4; ++i)
        if (HICON icon = AfxGetApp()->LoadIcon(i == 0 ? kFirstCornerIcon : kHandleIcon))
            dc.DrawIcon(corners[i].x - 3, corners[i].y - 3, icon);
}

} // namespace collage
