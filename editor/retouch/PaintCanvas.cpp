#include "editor/retouch/PaintCanvas.h"

#include "editor/retouch/PaintHost.h"
#include "editor/retouch/PaintPictureIds.h"
#include "editor/retouch/PaintState.h"
#include "editor/retouch/PaintToolPanel.h"
#include "editor/retouch/PaintViewMath.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/PaintDC.h"

#include <cmath>

IMPLEMENT_DYNAMIC(CPaintCanvas, CWnd)

BEGIN_MESSAGE_MAP(CPaintCanvas, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

namespace {

constexpr int kTextPainting = 94;
constexpr int kLineStep = 4;
constexpr COLORREF kBackground = RGB(64, 64, 64);
constexpr COLORREF kCorner = RGB(192, 192, 192);
// The zoom menu's fixed scales, 0x9000 to 0x9006.
constexpr double kMenuScales[] = {4.0, 3.0, 2.0, 1.5, 1.0, 0.5, 0.25};

using paintview::Height;
using paintview::Width;

void ImageSize(const CQLImage* image, int* w, int* h)
{
    UINT uw = 0, uh = 0;
    if (image)
        image->GetSize(&uw, &uh);
    *w = static_cast<int>(uw);
    *h = static_cast<int>(uh);
}

}  // namespace

CPaintCanvas::CPaintCanvas()
{
    thePaintState.canvas = this;
}

CPaintCanvas::~CPaintCanvas()
{
    if (thePaintState.canvas == this)
        thePaintState.canvas = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

BOOL CPaintCanvas::HasImage() const
{
    return thePaintState.image && thePaintState.image->GetAreaByteSize() != 0;
}

POINT CPaintCanvas::ViewToImage(int x, int y) const
{
    return paintview::ViewToImage(thePaintState.view, x, y);
}

POINT CPaintCanvas::ImageToView(int x, int y) const
{
    return paintview::ImageToView(thePaintState.view, x, y);
}

int CPaintCanvas::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const RECT none{0, 0, 0, 0};
    if (!m_hBar.Create(WS_CHILD | SBS_HORZ, none, this, kHBarId) ||
        !m_vBar.Create(WS_CHILD | SBS_VERT, none, this, kVBarId))
        return -1;
    return 0;
}

void CPaintCanvas::SetImage(CQLImage* image, BOOL redraw)
{
    thePaintState.image = image;
    PaintView& view = thePaintState.view;
    view.scrollX = view.scrollY = 0;
    view.scale = 1.0;
    RecalcLayout();
    if (redraw) {
        Redraw();
        if (m_panel && m_panel->m_hWnd)
            m_panel->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    if (m_undo.CanUndo() || m_undo.WriteOffset() != 0)
        ClearUndo();
}

void CPaintCanvas::InitUndoStore()
{
    m_undo.Init(thePaintState.image, &thePaintState.reference);
    m_unrecordedPaint = false;
}

void CPaintCanvas::ClearUndo()
{
    m_undo.Clear(thePaintState.image, &thePaintState.reference);
    m_unrecordedPaint = false;
}

void CPaintCanvas::CommitPaint()
{
    const size_t strokes = m_undo.Commit();
    const bool painted = strokes != 0 || m_unrecordedPaint;
    m_unrecordedPaint = false;
    if (painted && HasImage())
        thePhotoDocument.m_history.Push(thePaintState.image, theUITextTable.GetText(kTextPainting));
}

void CPaintCanvas::Undo()
{
    if (m_undo.Undo(thePaintState.image, &thePaintState.reference) == CPaintUndoStore::UndoResult::Restored)
        DrawImageNow();
}

void CPaintCanvas::RecordStroke(int left, int top, int right, int bottom)
{
    if (!HasImage())
        return;
    // Painting marks the photo at once, so nothing asks it away unsaved.
    thePhotoDocument.m_history.SetModified(TRUE);
    if (!m_undo.Record(thePaintState.image, &thePaintState.reference, RECT{left, top, right, bottom}))
        m_unrecordedPaint = true;
}

void CPaintCanvas::SetBar(CScrollBar& bar, bool needed, int x, int y, int w, int h, int range, int page, int pos)
{
    if (!bar.m_hWnd)
        return;
    if (!needed) {
        bar.ShowWindow(SW_HIDE);
        return;
    }
    bar.MoveWindow(x, y, w, h);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = range;
    info.nPage = static_cast<UINT>(page);
    info.nPos = pos;
    bar.SetScrollInfo(&info, TRUE);
    bar.ShowWindow(SW_SHOW);
}

void CPaintCanvas::RecalcLayout()
{
    if (!m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    int w = 0, h = 0;
    if (HasImage())
        ImageSize(thePaintState.image, &w, &h);
    PaintView& view = thePaintState.view;
    paintview::Layout(view, client.right, client.bottom, w, h);
    const int bar = paintview::kBarThickness;
    SetBar(m_hBar, view.hBar, 0, client.bottom - bar, client.right - bar, bar, w,
           static_cast<int>(Width(view.viewRect) * view.scale), view.scrollX);
    SetBar(m_vBar, view.vBar, client.right - bar, 0, bar, client.bottom - bar, h,
           static_cast<int>(Height(view.viewRect) * view.scale), view.scrollY);
    if (m_panel)
        m_panel->RedrawReadout();
}

void CPaintCanvas::OnSize(UINT, int, int)
{
    RecalcLayout();
}

void CPaintCanvas::Draw(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, kBackground);
    const PaintView& view = thePaintState.view;
    if (view.hBar || view.vBar) {
        const int bar = paintview::kBarThickness;
        dc->FillSolidRect(client.right - bar, client.bottom - bar, bar, bar, kCorner);
    }
    if (!HasImage())
        return;
    int w = 0, h = 0;
    ImageSize(thePaintState.image, &w, &h);
    const RECT src = paintview::SourceRegion(view, w, h);  // left, top, width, height
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const RECT& dst = view.imageRect;
    const int oldMode = dc->SetStretchBltMode(view.scale >= 1 ? COLORONCOLOR : HALFTONE);
    // A top-down source still counts its rows from the bottom.
    ::StretchDIBits(dc->GetSafeHdc(), dst.left, dst.top, Width(dst), Height(dst), src.left, h - src.top - src.bottom,
                    src.right, src.bottom, thePaintState.image->GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

void CPaintCanvas::DrawToolCursor(CDC* dc)
{
    if (!m_panel || !m_mouseInside || (m_mouseKeys & MK_SHIFT) || !HasImage())
        return;
    const int id = m_panel->GetCurrentToolId();
    PaintToolRecord* record = id >= CPaintToolPanel::kFirstPluginId ? m_panel->FindToolRecord(id) : nullptr;
    const RECT& r = thePaintState.view.imageRect;
    if (!record || !record->OnDrawCursor || !::PtInRect(&r, m_mouse))
        return;
    dc->IntersectClipRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    const POINT at = ViewToImage(m_mouse.x, m_mouse.y);
    record->OnDrawCursor(dc->GetSafeHdc(), at.x, at.y);
    dc->SelectClipRgn(nullptr);
}

void CPaintCanvas::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
    DrawToolCursor(&dc);
}

BOOL CPaintCanvas::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers the client area
}

void CPaintCanvas::DrawImageNow()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    Draw(&dc);
    DrawToolCursor(&dc);
}

void CPaintCanvas::Redraw()
{
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CPaintCanvas::ZoomStep(int x, int y, UINT keys)
{
    PaintView& view = thePaintState.view;
    bool out = (keys & MK_CONTROL) != 0;
    if (keys == kZoomInKeys || keys == kZoomOutKeys) {
        out = keys == kZoomOutKeys;
        x = (view.viewRect.left + view.viewRect.right) / 2;
        y = (view.viewRect.top + view.viewRect.bottom) / 2;
    }
    const POINT at = ViewToImage(x, y);
    const double zoom = out ? paintview::ZoomOut(1.0 / view.scale) : paintview::ZoomIn(1.0 / view.scale);
    view.scale = 1.0 / zoom;
    view.scrollX = at.x - static_cast<int>(Width(view.viewRect) / 2.0 * view.scale);
    view.scrollY = at.y - static_cast<int>(Height(view.viewRect) / 2.0 * view.scale);
    RecalcLayout();
    Redraw();
}

int CPaintCanvas::BestFit()
{
    if (!HasImage() || !m_hWnd)
        return 0;
    RECT client;
    GetClientRect(&client);
    const int w = client.right, h = client.bottom;
    if (w < 2 || h < 2)
        return 0;
    int iw = 0, ih = 0;
    ImageSize(thePaintState.image, &iw, &ih);
    PaintView& view = thePaintState.view;
    if (static_cast<int64_t>(ih) * w < static_cast<int64_t>(h) * iw)
        view.scale = static_cast<double>(iw) / (w - 1);
    else
        view.scale = static_cast<double>(ih) / (h - 1);
    RecalcLayout();
    Redraw();
    return 1;
}

int CPaintCanvas::ActualSize()
{
    if (!HasImage())
        return 0;
    PaintView& view = thePaintState.view;
    view.scale = 1.0;
    view.scrollX = view.scrollY = 0;
    RecalcLayout();
    Redraw();
    return 1;
}

BOOL CPaintCanvas::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (id < kZoom25Cmd || id > kLastZoomCmd)
        return CWnd::OnCommand(wParam, lParam);
    if (id == kBestFitCmd) {
        BestFit();
        return TRUE;
    }
    if (id - kZoom25Cmd < std::size(kMenuScales))
        thePaintState.view.scale = kMenuScales[id - kZoom25Cmd];
    RecalcLayout();
    Redraw();
    return TRUE;
}

BOOL CPaintCanvas::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_MOUSEWHEEL)
        return TRUE;
    return CWnd::PreTranslateMessage(msg);
}

BOOL CPaintCanvas::OnMouseWheel(UINT, short, CPoint)
{
    return TRUE;  // the wheel does nothing in paint mode
}

void CPaintCanvas::Scroll(int& offset, UINT code, UINT pos, int visible)
{
    const int page = static_cast<int>(visible * thePaintState.view.scale) / 2;
    switch (code) {
    case SB_LINELEFT: offset -= kLineStep; break;
    case SB_LINERIGHT: offset += kLineStep; break;
    case SB_PAGELEFT: offset -= page; break;
    case SB_PAGERIGHT: offset += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: offset = static_cast<int>(pos); break;
    default: return;
    }
    RecalcLayout();
    DrawImageNow();
}

void CPaintCanvas::OnHScroll(UINT code, UINT pos, CScrollBar*)
{
    PaintView& view = thePaintState.view;
    Scroll(view.scrollX, code, pos, Width(view.viewRect));
}

void CPaintCanvas::OnVScroll(UINT code, UINT pos, CScrollBar*)
{
    PaintView& view = thePaintState.view;
    Scroll(view.scrollY, code, pos, Height(view.viewRect));
}

int CPaintCanvas::CurrentToolId(UINT flags) const
{
    if (flags & MK_SHIFT)
        return CPaintToolPanel::kMoveTool;
    return m_panel ? m_panel->GetCurrentToolId() : CPaintToolPanel::kZoomTool;
}

PaintToolRecord* CPaintCanvas::PluginRecord(int id) const
{
    return m_panel && id >= CPaintToolPanel::kFirstPluginId ? m_panel->FindToolRecord(id) : nullptr;
}

void CPaintCanvas::OnLButtonDown(UINT flags, CPoint point)
{
    m_mouse = point;
    m_mouseKeys = flags;
    if (!HasImage())
        return;
    const int id = CurrentToolId(flags);
    const POINT at = ViewToImage(point.x, point.y);
    PaintView& view = thePaintState.view;
    switch (id) {
    case CPaintToolPanel::kZoomTool: ZoomStep(point.x, point.y, flags); return;
    case CPaintToolPanel::kMoveTool:
        SetCapture();
        m_panning = true;
        m_panStart = point;
        m_scrollStart = POINT{view.scrollX, view.scrollY};
        return;
    case CPaintToolPanel::kPickTool: {
        int w = 0, h = 0;
        ImageSize(thePaintState.image, &w, &h);
        if (at.x >= 0 && at.y >= 0 && at.x < w && at.y < h && m_panel)
            m_panel->SetForegroundColour(static_cast<int>(thePaintState.image->GetPixel(at.x, at.y)));
        return;
    }
    default: break;
    }
    PaintToolRecord* record = PluginRecord(id);
    if (!record || !record->OnLButtonDown)
        return;
    if (thePaintState.reference.GetAreaByteSize() == 0)
        ClearUndo();
    SetCapture();
    m_stroking = true;
    record->OnLButtonDown(static_cast<int>(flags), at.x, at.y);
    int size = m_panel->GetBrush().size;
    PaintHost::SegmentRect(&m_dirtyRect, &size, at.x, at.y, at.x, at.y);
    DrawImageNow();
}

void CPaintCanvas::OnMouseMove(UINT flags, CPoint point)
{
    m_mouse = point;
    m_mouseKeys = flags;
    if (!m_mouseInside) {
        m_mouseInside = true;
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&track);
    }
    PaintView& view = thePaintState.view;
    if (m_panning) {
        view.scrollX = m_scrollStart.x - static_cast<int>((point.x - m_panStart.x) * view.scale);
        view.scrollY = m_scrollStart.y - static_cast<int>((point.y - m_panStart.y) * view.scale);
        int w = 0, h = 0;
        if (HasImage())
            ImageSize(thePaintState.image, &w, &h);
        RECT client;
        GetClientRect(&client);
        paintview::Layout(view, client.right, client.bottom, w, h);
        DrawImageNow();
        return;
    }
    if (!HasImage())
        return;
    PaintToolRecord* record = PluginRecord(m_panel ? m_panel->GetCurrentToolId() : 0);
    if (!record)
        return;
    bool painted = false;
    if (m_stroking && record->OnMouseMove) {
        const POINT at = ViewToImage(point.x, point.y);
        record->OnMouseMove(static_cast<int>(flags), at.x, at.y);
        RECT square;
        int size = m_panel->GetBrush().size;
        PaintHost::SegmentRect(&square, &size, at.x, at.y, at.x, at.y);
        ::UnionRect(&m_dirtyRect, &m_dirtyRect, &square);
        painted = true;
    }
    if (record->OnDrawCursor || painted)
        DrawImageNow();
}

void CPaintCanvas::OnMouseLeave()
{
    m_mouseInside = false;
    DrawImageNow();  // takes the tool's outline away
}

void CPaintCanvas::OnLButtonUp(UINT flags, CPoint point)
{
    m_mouse = point;
    m_mouseKeys = flags;
    if (m_panning) {
        ReleaseCapture();
        m_panning = false;
        RecalcLayout();
        return;
    }
    const bool stroking = m_stroking;
    if (m_stroking) {
        m_stroking = false;
        ReleaseCapture();
    }
    if (!HasImage())
        return;
    PaintToolRecord* record = PluginRecord(m_panel ? m_panel->GetCurrentToolId() : 0);
    if (!record || !record->OnLButtonUp)
        return;
    const POINT at = ViewToImage(point.x, point.y);
    const int result = record->OnLButtonUp(static_cast<int>(flags), at.x, at.y);
    if (result == 0 && stroking) {
        // The tool may paint at the release point too.
        RECT square;
        int size = m_panel->GetBrush().size;
        PaintHost::SegmentRect(&square, &size, at.x, at.y, at.x, at.y);
        ::UnionRect(&m_dirtyRect, &m_dirtyRect, &square);
        RecordStroke(m_dirtyRect.left, m_dirtyRect.top, m_dirtyRect.right, m_dirtyRect.bottom);
    }
    DrawImageNow();
}

void CPaintCanvas::OnRButtonDown(UINT flags, CPoint point)
{
    const int id = m_panel ? m_panel->GetCurrentToolId() : 0;
    PaintToolRecord* record = PluginRecord(id);
    // The record's first reserved handler slot is the right button's.
    if (record && record->reserved1)
        reinterpret_cast<PaintMouseHandler>(record->reserved1)(static_cast<int>(flags), point.x, point.y);
}

BOOL CPaintCanvas::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    if (wnd != this || hitTest != HTCLIENT)
        return CWnd::OnSetCursor(wnd, hitTest, message);
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const int id = shift ? CPaintToolPanel::kMoveTool : (m_panel ? m_panel->GetCurrentToolId() : 0);
    HINSTANCE res = AfxGetResourceHandle();
    switch (id) {
    case CPaintToolPanel::kZoomTool:
        ::SetCursor(::LoadCursor(res, MAKEINTRESOURCE(::GetKeyState(VK_CONTROL) < 0 ? kPaintZoomOutCursor
                                                                                      : kPaintZoomInCursor)));
        return TRUE;
    case CPaintToolPanel::kMoveTool:
        if (thePaintState.view.hBar || thePaintState.view.vBar)
            ::SetCursor(::LoadCursor(res, MAKEINTRESOURCE(kPaintHandCursor)));
        return TRUE;
    case CPaintToolPanel::kPickTool: ::SetCursor(::LoadCursor(res, MAKEINTRESOURCE(kPaintPickerCursor))); return TRUE;
    default: break;
    }
    if (PaintToolRecord* record = PluginRecord(id); record && record->OnSetCursor && record->OnSetCursor())
        return TRUE;
    return CWnd::OnSetCursor(wnd, hitTest, message);
}
