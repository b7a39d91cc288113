#include "glance/GlanceView.h"

#include "editor/ui/SkinDrawing.h"
#include "glance/GlanceButton.h"
#include "glance/GlanceTexts.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

namespace glance {

BEGIN_MESSAGE_MAP(GlanceView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEWHEEL()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL GlanceView::Create(const RECT& rect, CWnd* parent)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, kViewId);
}

bool GlanceView::HasPixels() const { return m_photo && WidthOf(*m_photo) > 0 && HeightOf(*m_photo) > 0; }

void GlanceView::SetPhoto(const CQLImage* photo)
{
    m_mode = 2;
    m_photo = photo;
    BestFit();
}

void GlanceView::BestFit()
{
    if (!HasPixels()) {
        Invalidate();
        return;
    }
    CRect client;
    GetClientRect(&client);
    m_zoom = BestFitZoom(client.Width(), client.Height(), WidthOf(*m_photo), HeightOf(*m_photo));
    m_origin = {0, 0};
    Refresh();
}

void GlanceView::ActualSize()
{
    m_zoom = 1;
    m_origin = {0, 0};
    Refresh();
}

void GlanceView::ZoomIn(POINT centre) { SetZoomAt(NextZoomIn(m_zoom), centre); }

void GlanceView::ZoomOut(POINT centre) { SetZoomAt(NextZoomOut(m_zoom), centre); }

void GlanceView::SetZoomAt(double zoom, POINT centre)
{
    m_zoom = zoom;
    if (centre.x != 0 && HasPixels()) {
        CRect client;
        GetClientRect(&client);
        const RECT r = glance::ImageRect(client.Width(), client.Height(), WidthOf(*m_photo), HeightOf(*m_photo), zoom);
        m_origin.x = static_cast<int>(centre.x - ((r.right - r.left) / 2) / zoom);
        m_origin.y = static_cast<int>(centre.y - ((r.bottom - r.top) / 2) / zoom);
    }
    Refresh();
}

void GlanceView::UpdateImageRect()
{
    CRect client;
    GetClientRect(&client);
    if (!HasPixels()) {
        m_imageRect = client;
        return;
    }
    const int w = WidthOf(*m_photo), h = HeightOf(*m_photo);
    m_origin.x = ClampOrigin(m_origin.x, client.Width(), m_zoom, w);
    m_origin.y = ClampOrigin(m_origin.y, client.Height(), m_zoom, h);
    m_imageRect = glance::ImageRect(client.Width(), client.Height(), w, h, m_zoom);
}

void GlanceView::Refresh()
{
    UpdateImageRect();
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_GLANCE_NOTIFY, (5u << 16) + kViewId, 0);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool GlanceView::CanDrag() const
{
    if (!HasPixels())
        return false;
    CRect client;
    GetClientRect(&client);
    const int w = WidthOf(*m_photo), h = HeightOf(*m_photo);
    const RECT v = VisiblePart(m_origin.x, m_origin.y, client.Width(), client.Height(), w, h, m_zoom);
    return static_cast<long long>(v.right - v.left) * (v.bottom - v.top) < static_cast<long long>(w) * h;
}

void GlanceView::DragBy(int dx, int dy)
{
    const POINT old = m_origin;
    m_origin.x -= static_cast<int>(dx / m_zoom);
    m_origin.y -= static_cast<int>(dy / m_zoom);
    UpdateImageRect();
    if (m_origin.x != old.x || m_origin.y != old.y)
        Refresh();
}

void GlanceView::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    UpdateImageRect();
}

BOOL GlanceView::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (!HasPixels()) {
        pDC->FillSolidRect(&client, RGB(64, 64, 64));
        return TRUE;
    }
    const RECT& r = m_imageRect;
    pDC->FillSolidRect(0, 0, client.Width(), r.top, RGB(64, 64, 64));
    pDC->FillSolidRect(0, r.bottom, client.Width(), client.Height() - r.bottom, RGB(64, 64, 64));
    pDC->FillSolidRect(0, r.top, r.left, r.bottom - r.top, RGB(64, 64, 64));
    pDC->FillSolidRect(r.right, r.top, client.Width() - r.right, r.bottom - r.top, RGB(64, 64, 64));
    return TRUE;
}

void GlanceView::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (!HasPixels()) {
        dc.FillSolidRect(&client, RGB(64, 64, 64));
    } else {
        const int w = WidthOf(*m_photo), h = HeightOf(*m_photo);
        const RECT v = VisiblePart(m_origin.x, m_origin.y, client.Width(), client.Height(), w, h, m_zoom);
        const int rows = v.bottom - v.top;
        const BITMAPINFO info = DibHeaderOf(*m_photo, rows);
        const int oldMode = dc.SetStretchBltMode(HALFTONE);
        ::StretchDIBits(dc.GetSafeHdc(), m_imageRect.left, m_imageRect.top, m_imageRect.right - m_imageRect.left,
                        m_imageRect.bottom - m_imageRect.top, v.left, 0, v.right - v.left, rows,
                        m_photo->GetBuffer(0, v.top), &info, DIB_RGB_COLORS, SRCCOPY);
        dc.SetStretchBltMode(oldMode);
    }
    CBrush black;
    black.CreateSolidBrush(RGB(0, 0, 0));
    dc.FrameRect(&client, &black);
}

void GlanceView::OnLButtonDown(UINT, CPoint point)
{
    if (::PtInRect(&m_imageRect, point) && CanDrag()) {
        SetCapture();
        m_dragging = true;
        m_lastMouse = point;
    }
}

void GlanceView::OnLButtonUp(UINT, CPoint)
{
    if (m_dragging)
        ReleaseCapture();
    m_dragging = false;
}

void GlanceView::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging) {
        if (GetFocus() != this)
            SetFocus();
        return;
    }
    const int dx = point.x - m_lastMouse.x, dy = point.y - m_lastMouse.y;
    m_lastMouse = point;
    DragBy(dx, dy);
}

BOOL GlanceView::OnMouseWheel(UINT, short zDelta, CPoint pt)
{
    if (!HasPixels())
        return TRUE;
    ScreenToClient(&pt);
    if (!::PtInRect(&m_imageRect, pt))
        return TRUE;
    const POINT pixel = PhotoPixelAt(pt, m_imageRect, m_origin, m_zoom, WidthOf(*m_photo), HeightOf(*m_photo));
    if (zDelta > 0)
        ZoomIn(pixel);
    else
        ZoomOut(pixel);
    return TRUE;
}

BOOL GlanceView::OnSetCursor(CWnd*, UINT, UINT)
{
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    const bool hand = ::PtInRect(&m_imageRect, p) && CanDrag();
    ::SetCursor(hand ? AfxGetApp()->LoadCursor(129) : ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

} // namespace glance
