#include "editor/retouch/NavigatorWnd.h"

#include "editor/retouch/OverlayLayout.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"

#include <algorithm>
#include <cmath>
#include <cstring>

IMPLEMENT_DYNAMIC(CNavigatorWnd, CWnd)

BEGIN_MESSAGE_MAP(CNavigatorWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CNavigatorWnd::~CNavigatorWnd()
{
    if (m_view && m_view->m_navigator == this)
        m_view->m_navigator = nullptr;
}

void CNavigatorWnd::SetView(ZoomView* view)
{
    if (m_view && m_view->m_navigator == this)
        m_view->m_navigator = nullptr;
    m_view = view;
    if (m_view)
        m_view->m_navigator = this;
    if (m_hWnd)
        Invalidate(FALSE);
}

bool CNavigatorWnd::ViewHasPixels() const
{
    return m_view && m_view->GetBits() && m_view->GetImageWidth() > 0 && m_view->GetImageHeight() > 0;
}

void CNavigatorWnd::UpdateGeometry()
{
    m_box = RECT{};
    m_viewRect = RECT{};
    if (!ViewHasPixels() || !m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    const int w = m_view->GetImageWidth(), h = m_view->GetImageHeight();
    m_box = navigator::Box(client, w, h);
    const double scale = m_view->ViewScale();
    if (scale <= 0)
        return;
    const int shownW = static_cast<int>(std::ceil((m_view->m_imageArea.right - m_view->m_imageArea.left) / scale));
    const int shownH = static_cast<int>(std::ceil((m_view->m_imageArea.bottom - m_view->m_imageArea.top) / scale));
    // A photo smaller than the view is centred there: all of it shows.
    const int x0 = std::max(0, m_view->m_scrollX), y0 = std::max(0, m_view->m_scrollY);
    const int x1 = std::min(w, m_view->m_scrollX + shownW), y1 = std::min(h, m_view->m_scrollY + shownH);
    m_viewRect = navigator::ViewRect(m_box, w, h, x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

void CNavigatorWnd::DrawThumbnail(CDC* dc)
{
    const int bw = m_box.right - m_box.left, bh = m_box.bottom - m_box.top;
    const int tw = 2 * bw, th = 2 * bh;
    if (m_thumb.Create(static_cast<UINT>(tw), static_cast<UINT>(th)) != 0)
        return;
    // Nearest pixel into twice the box; halftone does the rest.
    const int w = m_view->GetImageWidth(), h = m_view->GetImageHeight();
    const BYTE* bits = m_view->GetBits();
    for (int y = 0; y < th; ++y) {
        const BYTE* row = bits + static_cast<size_t>(static_cast<long long>(y) * h / th) * w * 4;
        auto* out = reinterpret_cast<DWORD*>(m_thumb.GetBuffer(0, y));
        for (int x = 0; x < tw; ++x)
            std::memcpy(out + x, row + static_cast<size_t>(static_cast<long long>(x) * w / tw) * 4, 4);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = tw;
    info.bmiHeader.biHeight = -th;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const int oldMode = dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), m_box.left, m_box.top, bw, bh, 0, 0, tw, th, m_thumb.GetBuffer(0, 0), &info,
                    DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

void CNavigatorWnd::Draw(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    dc->FillRect(&client, &theAppSettings.m_skinBrush);
    UpdateGeometry();
    if (IsRectEmpty(&m_box))
        return;
    // A sunken frame one pixel outside the box.
    const RECT& b = m_box;
    dc->FillSolidRect(b.left - 1, b.top - 1, b.right - b.left + 2, 1, RGB(64, 64, 64));
    dc->FillSolidRect(b.left - 1, b.top - 1, 1, b.bottom - b.top + 2, RGB(64, 64, 64));
    dc->FillSolidRect(b.left - 1, b.bottom, b.right - b.left + 2, 1, RGB(255, 255, 255));
    dc->FillSolidRect(b.right, b.top - 1, 1, b.bottom - b.top + 2, RGB(255, 255, 255));
    DrawThumbnail(dc);
    if (!navigator::ViewRectShown(m_box, m_viewRect))
        return;
    CBrush yellow, blue;
    yellow.CreateSolidBrush(RGB(255, 255, 0));
    blue.CreateSolidBrush(RGB(0, 0, 255));
    dc->FrameRect(&m_viewRect, &yellow);
    RECT inner = m_viewRect;
    InflateRect(&inner, -1, -1);
    if (!IsRectEmpty(&inner))
        dc->FrameRect(&inner, &blue);
}

void CNavigatorWnd::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

BOOL CNavigatorWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint fills everything
}

BOOL CNavigatorWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    UpdateGeometry();
    if (!IsRectEmpty(&m_box) && PtInRect(&m_box, p)) {
        const bool overView = navigator::ViewRectShown(m_box, m_viewRect) && PtInRect(&m_viewRect, p);
        ::SetCursor(::LoadCursor(nullptr, overView ? IDC_SIZEALL : IDC_CROSS));
        return TRUE;
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CNavigatorWnd::CentreViewAt(CPoint point)
{
    const POINT scroll{m_view->m_scrollX, m_view->m_scrollY};
    const POINT to = navigator::ScrollForPoint(m_box, m_viewRect, point, m_view->GetImageWidth(),
                                               m_view->GetImageHeight(), scroll);
    m_view->SetScrollZoom(to.x, to.y, m_view->m_zoom);
}

void CNavigatorWnd::OnLButtonDown(UINT, CPoint point)
{
    UpdateGeometry();
    if (IsRectEmpty(&m_box) || !PtInRect(&m_box, point))
        return;
    if (navigator::ViewRectShown(m_box, m_viewRect) && PtInRect(&m_viewRect, point)) {
        m_dragging = TRUE;
        SetCapture();
        return;
    }
    CentreViewAt(point);
}

void CNavigatorWnd::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging || !ViewHasPixels())
        return;
    UpdateGeometry();
    if (IsRectEmpty(&m_box))
        return;
    CentreViewAt(point);
}

void CNavigatorWnd::OnLButtonUp(UINT, CPoint)
{
    if (!m_dragging)
        return;
    m_dragging = FALSE;
    if (GetCapture() == this)
        ReleaseCapture();
}

void CNavigatorWnd::OnCaptureChanged(CWnd*)
{
    m_dragging = FALSE;
}
