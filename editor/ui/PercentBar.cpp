#include "editor/ui/PercentBar.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/FontCache.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstdio>

BEGIN_MESSAGE_MAP(CPercentBar, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CPercentLabel, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CBrush* DialogFaceBrush()
{
    static CBrush face(GetSysColor(COLOR_BTNFACE));
    return theAppSettings.m_skinBrush.GetSafeHandle() ? &theAppSettings.m_skinBrush : &face;
}

COLORREF DialogFaceColor()
{
    const COLORREF sys = GetSysColor(COLOR_BTNFACE);
    CPixel fallback{};
    fallback.r = GetRValue(sys);
    fallback.g = GetGValue(sys);
    fallback.b = GetBValue(sys);
    const CPixel p = SkinFacePixel(0, 0, fallback);
    return RGB(p.r, p.g, p.b);
}

CPercentBar::CPercentBar() { CreatePixelFont(&m_font, "Arial", 14, FALSE); }

void CPercentBar::SetStateAndRedraw(int value)
{
    m_value = value;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

BOOL CPercentBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CPercentBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const int value = std::clamp(m_value, 0, 100);
    const int filled = client.Width() * value / 100;
    CRect left(client.left, client.top, client.left + filled, client.bottom);
    CRect rest(left.right, client.top, client.right, client.bottom);
    dc.FillSolidRect(&left, RGB(128, 128, 128));
    dc.FillRect(&rest, DialogFaceBrush());
    if (m_value > 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%d%%", value);
        CFont* old = dc.SelectObject(&m_font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 255, 255));
        CRect r(client.left + 5, client.top, client.right, client.bottom);
        dc.DrawText(text, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
        dc.SelectObject(old);
    }
}

void CPercentLabel::SetStateAndRedraw(int value)
{
    m_value = value;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

BOOL CPercentLabel::OnEraseBkgnd(CDC*) { return TRUE; }

void CPercentLabel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const COLORREF face = DialogFaceColor();
    dc.FillSolidRect(&client, face);
    if (!IsWindowEnabled() || m_value == 0 || m_value == 100)
        return;
    if (m_value > 0) {
        CString caption;
        GetWindowText(caption);
        char text[300];
        std::snprintf(text, sizeof text, "%s%d%%", static_cast<const char*>(caption), m_value);
        CFontCache& fonts = CFontCache::Instance();
        fonts.SelectFont("Tahoma", 14);
        fonts.PaintText(&dc, client.left + 1, client.top + 1, RGB(128, 128, 128), text, FALSE);
    }
    // The track below the caption, 5 pixels high.
    CRect track(client.left + 1, client.top + 19, client.right - 1, client.bottom - 1);
    track.bottom = std::min<LONG>(track.bottom, track.top + 5);
    if (track.Width() <= 0 || track.Height() <= 0)
        return;
    PaintGradient(&dc, track, POINT{track.left, track.top}, POINT{track.right, track.top}, TRUE, face,
                  RGB(128, 128, 128));
    const int value = std::clamp(m_value, 0, 100);
    CRect part(track.left, track.top, track.left + track.Width() * value / 100, track.bottom);
    if (part.Width() > 0)
        PaintGradient(&dc, part, POINT{part.left, part.top}, POINT{part.right, part.top}, TRUE, RGB(128, 128, 128),
                      RGB(220, 220, 220));
    CBrush frame(RGB(32, 32, 32));
    dc.FrameRect(&track, &frame);
}
