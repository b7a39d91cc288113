#include "develop/DevelopPreviewView.h"

#include "develop/DevelopSkin.h"
#include "develop/ResampleRect.h"
#include "editor/ui/SkinDrawing.h"
#include "imagecore/ParallelFor.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawTone.h"

#include <algorithm>
#include <cmath>

namespace develop {

BEGIN_MESSAGE_MAP(DevelopPreviewView, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEWHEEL()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL DevelopPreviewView::Create(UINT id, const RECT& rect, CWnd* parent)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

double DevelopPreviewView::NextZoomUp(double zoom)
{
    for (double z : kLadder)
        if (z > zoom)
            return z;
    return kLadder[10];
}

double DevelopPreviewView::NextZoomDown(double zoom)
{
    double down = kLadder[0];
    for (double z : kLadder)
        if (z < zoom)
            down = z;
    return down;
}

CSize DevelopPreviewView::ClientSize() const
{
    CRect client(0, 0, 0, 0);
    if (m_hWnd)
        GetClientRect(&client);
    return {client.Width(), client.Height()};
}

int DevelopPreviewView::ImageWidth() const { return m_image16 ? static_cast<int>(m_image16->GetWidth()) : 0; }
int DevelopPreviewView::ImageHeight() const { return m_image16 ? static_cast<int>(m_image16->GetHeight()) : 0; }

BOOL DevelopPreviewView::LoadPicture(const char* path)
{
    CQLImageCodec codec;
    CQLImage picture;
    if (!path || !codec.LoadFile(path, &picture))
        return FALSE;
    m_picture = std::move(picture);
    m_mode = 0;
    m_image16 = nullptr;
    m_image8 = nullptr;
    Redraw();
    return TRUE;
}

void DevelopPreviewView::SetImage16(const C16BitBitmap* image)
{
    m_mode = 1;
    m_image16 = image;
    m_image8 = nullptr;
    m_frozen = false;
    ClampOffsets();
    Render();
    Redraw();
}

void DevelopPreviewView::SetImage8(const CQLImage* image)
{
    m_mode = 2;
    m_image8 = image;
    m_image16 = nullptr;
    Redraw();
}

void DevelopPreviewView::ClampOffsets()
{
    const CSize client = ClientSize();
    const auto clamp = [&](int& offset, int clientSide, int imageSide) {
        const int visible = static_cast<int>(clientSide / m_zoom);
        if (imageSide < visible)
            offset = 0;
        else if (offset + visible > imageSide)
            offset = imageSide - visible;
        if (offset < 0)
            offset = 0;
    };
    clamp(m_offsetX, client.cx, ImageWidth());
    clamp(m_offsetY, client.cy, ImageHeight());
}

CRect DevelopPreviewView::VisibleRegion() const
{
    const CSize client = ClientSize();
    const int iw = ImageWidth(), ih = ImageHeight();
    const auto span = [&](int offset, int clientSide, int imageSide, int& a, int& b) {
        const int visible = static_cast<int>(clientSide / m_zoom);
        a = offset;
        b = a + visible;
        if (b > imageSide) {
            a -= b - imageSide;
            b = imageSide;
        }
        a = std::max(a, 0);
    };
    CRect r;
    span(m_offsetX, client.cx, iw, r.left, r.right);
    span(m_offsetY, client.cy, ih, r.top, r.bottom);
    return r;
}

bool DevelopPreviewView::CanPan() const
{
    if (m_mode != 1 || !m_image16)
        return false;
    const CRect r = VisibleRegion();
    return r.Width() < ImageWidth() || r.Height() < ImageHeight();
}

void DevelopPreviewView::ComputeImageRect()
{
    const CSize client = ClientSize();
    const int w = static_cast<int>(ImageWidth() * m_zoom), h = static_cast<int>(ImageHeight() * m_zoom);
    m_imageRect = CRect(0, 0, client.cx, client.cy);
    if (w < client.cx)
        m_imageRect.DeflateRect((client.cx - w) / 2, 0, client.cx - w - (client.cx - w) / 2, 0);
    if (h < client.cy)
        m_imageRect.DeflateRect(0, (client.cy - h) / 2, 0, client.cy - h - (client.cy - h) / 2);
}

void DevelopPreviewView::Render()
{
    ComputeImageRect();
    if (m_frozen || m_mode != 1 || !m_image16 || !m_image16->GetBuffer(0, 0))
        return;
    const CRect region = VisibleRegion();
    const int w = region.Width(), h = region.Height();
    const int W = m_imageRect.Width(), H = m_imageRect.Height();
    if (w <= 0 || h <= 0)
        return;
    UINT dw = 0, dh = 0;
    m_display.GetSize(&dw, &dh);
    if ((static_cast<int>(dw) != w || static_cast<int>(dh) != h) &&
        m_display.Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return;
    // Reduced bilinearly, only the columns and rows the resampler reads are
    // converted; the result is the same.
    const bool sparse = W > 1 && H > 1 && w > 1 && h > 1 && (W < w || H < h);
    if (sparse) {
        MarkBilinearReads(W, w, m_columns);
        MarkBilinearReads(H, h, m_rows);
    } else {
        m_columns.assign(static_cast<size_t>(w), 1);
        m_rows.assign(static_cast<size_t>(h), 1);
    }
    std::vector<int> columns;
    for (int x = 0; x < w; ++x)
        if (m_columns[static_cast<size_t>(x)])
            columns.push_back(x);
    std::vector<int> rows;
    for (int y = 0; y < h; ++y)
        if (m_rows[static_cast<size_t>(y)])
            rows.push_back(y);
    const WORD* tone = RawToneTable();
    const C16BitBitmap& image = *m_image16;
    CQLImage& display = m_display;
    imagecore::ParallelFor(0, static_cast<int>(rows.size()), columns.size(), [&](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const int y = rows[static_cast<size_t>(i)];
            const C16BitPixel* src = image.GetBuffer(region.left, region.top + y);
            BYTE* dst = display.GetBuffer(0, y);
            for (int x : columns) {
                const C16BitPixel& p = src[x];
                BYTE* d = dst + 4 * x;
                d[0] = static_cast<BYTE>(tone[p.b]);
                d[1] = static_cast<BYTE>(tone[p.g]);
                d[2] = static_cast<BYTE>(tone[p.r]);
                d[3] = 255;
            }
        }
    });
    m_converted = static_cast<long long>(rows.size()) * static_cast<long long>(columns.size());
    ResampleRect(&m_display, &m_scaled, W, H, 0, 0, -1, -1);
}

void DevelopPreviewView::ZoomTo(double zoom, int x, int y)
{
    m_zoom = zoom;
    ComputeImageRect();
    if (x != 0) {
        m_offsetX = x - static_cast<int>(m_imageRect.Width() / 2 / m_zoom);
        m_offsetY = y - static_cast<int>(m_imageRect.Height() / 2 / m_zoom);
    }
    ClampOffsets();
    Render();
    Redraw();
}

void DevelopPreviewView::ZoomIn(int x, int y) { ZoomTo(NextZoomUp(m_zoom), x, y); }
void DevelopPreviewView::ZoomOut(int x, int y) { ZoomTo(NextZoomDown(m_zoom), x, y); }

void DevelopPreviewView::ActualSize()
{
    m_zoom = 1;
    m_offsetX = m_offsetY = 0;
    Render();
    Redraw();
}

void DevelopPreviewView::FitToWindow()
{
    if (m_mode != 1 || ImageWidth() <= 0 || ImageHeight() <= 0)
        return;
    const CSize c = ClientSize();
    m_offsetX = m_offsetY = 0;
    const long long iw = ImageWidth(), ih = ImageHeight();
    if (c.cx * ih >= c.cy * iw)
        m_zoom = static_cast<double>(c.cy) / static_cast<double>(ih);
    else
        m_zoom = static_cast<double>(c.cx) / static_cast<double>(iw);
    if (m_zoom <= 0)
        m_zoom = kLadder[0];
    Render();
    Redraw();
}

void DevelopPreviewView::Redraw()
{
    if (m_hWnd) {
        Invalidate();
        UpdateWindow();
    }
}

void DevelopPreviewView::PaintInto(CDC* dc)
{
    const CSize client = ClientSize();
    const CRect all(0, 0, client.cx, client.cy);
    dc->FillSolidRect(&all, kDevelopBack);
    if (m_mode == 0) {
        UINT w = 0, h = 0;
        m_picture.GetSize(&w, &h);
        DrawImage(dc, m_picture, std::max(0, (client.cx - static_cast<int>(w)) / 2),
                  std::max(0, (client.cy - static_cast<int>(h)) / 2));
    } else if (m_mode == 1) {
        if (m_image16 && m_image16->GetBuffer(0, 0))
            DrawImage(dc, m_scaled, m_imageRect.left, m_imageRect.top);
    } else if (m_image8) {
        UINT w = 0, h = 0;
        m_image8->GetSize(&w, &h);
        if (w && h) {
            const CRect fit = FitRectToAspect(all, static_cast<int>(w), static_cast<int>(h));
            if (ResampleRect(m_image8, &m_scaled, fit.Width(), fit.Height(), 0, 0, -1, -1))
                DrawImage(dc, m_scaled, fit.left, fit.top);
        }
    }
    CBrush black;
    black.CreateSolidBrush(0);
    dc->FrameRect(&all, &black);
}

void DevelopPreviewView::OnPaint()
{
    CPaintDC dc(this);
    if (IsWindowVisible())
        PaintInto(&dc);
}

BOOL DevelopPreviewView::OnEraseBkgnd(CDC*) { return TRUE; }

void DevelopPreviewView::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_mode == 1) {
        ClampOffsets();
        Render();
    }
}

void DevelopPreviewView::OnLButtonDown(UINT, CPoint point)
{
    if (m_mode != 1 || !m_imageRect.PtInRect(point) || !CanPan())
        return;
    SetCapture();
    m_dragging = true;
    m_last = point;
}

void DevelopPreviewView::OnLButtonUp(UINT, CPoint)
{
    if (GetCapture() == this)
        ReleaseCapture();
    m_dragging = false;
}

void DevelopPreviewView::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging) {
        if (GetFocus() != this)
            SetFocus();
        return;
    }
    const int x = m_offsetX, y = m_offsetY;
    m_offsetX -= static_cast<int>((point.x - m_last.x) / m_zoom);
    m_offsetY -= static_cast<int>((point.y - m_last.y) / m_zoom);
    m_last = point;
    if (x != m_offsetX || y != m_offsetY) {
        ClampOffsets();
        Render();
        Redraw();
    }
}

BOOL DevelopPreviewView::OnMouseWheel(UINT, short zDelta, CPoint pt)
{
    ScreenToClient(&pt);
    if (m_mode != 1 || !m_image16 || !m_imageRect.PtInRect(pt))
        return TRUE;
    const int x = std::clamp(static_cast<int>((pt.x - m_imageRect.left) / m_zoom) + m_offsetX, 0, ImageWidth() - 1);
    const int y = std::clamp(static_cast<int>((pt.y - m_imageRect.top) / m_zoom) + m_offsetY, 0, ImageHeight() - 1);
    if (zDelta > 0)
        ZoomIn(x, y);
    else
        ZoomOut(x, y);
    return TRUE;
}

BOOL DevelopPreviewView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (m_mode == 1 && m_imageRect.PtInRect(p) && CanPan() && AfxGetApp())
        if (HCURSOR cursor = AfxGetApp()->LoadCursor(137u)) {
            ::SetCursor(cursor);
            return TRUE;
        }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

} // namespace develop
