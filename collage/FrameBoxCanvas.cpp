#include "collage/FrameBoxCanvas.h"

#include "collage/BoxDrawing.h"
#include "collage/BoxGeometry.h"

#include <cstdlib>

namespace collage {

BEGIN_MESSAGE_MAP(CFrameBoxCanvas, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_SETCURSOR()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

BOOL CFrameBoxCanvas::Create(const RECT& rect, CWnd* parent)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_TABSTOP, rect, parent, kCanvasId);
}

bool CFrameBoxCanvas::HasFrame() const { return m_template.FrameWidth() > 0 && m_template.FrameHeight() > 0; }

void CFrameBoxCanvas::ResetFrame()
{
    MakeDisplayCopy(m_template.frame, &m_display);
    m_template.boxes.clear();
    m_selected = -1;
    m_mode = NewBox;
    Redraw();
}

void CFrameBoxCanvas::SelectBox(int index)
{
    m_selected = index >= 0 && index < static_cast<int>(m_template.boxes.size()) ? index : -1;
    Redraw();
}

void CFrameBoxCanvas::DeleteSelectedBox()
{
    if (m_selected < 0 || m_selected >= static_cast<int>(m_template.boxes.size()))
        return;
    m_template.boxes.erase(m_template.boxes.begin() + m_selected);
    m_selected = m_template.boxes.empty() ? -1 : 0;
    Redraw();
}

RECT CFrameBoxCanvas::FittedRect() const
{
    CRect client;
    GetClientRect(&client);
    return FitPicture(client, m_template.FrameWidth(), m_template.FrameHeight());
}

BoxPoint CFrameBoxCanvas::ToFrame(CPoint point) const
{
    return WindowToPicture(point, FittedRect(), m_template.FrameWidth(), m_template.FrameHeight());
}

void CFrameBoxCanvas::Redraw()
{
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

BOOL CFrameBoxCanvas::OnEraseBkgnd(CDC*) { return TRUE; }

void CFrameBoxCanvas::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    RECT fit;
    PaintFitted(dc, client, HasFrame() ? &m_display : nullptr, &fit);
    if (!HasFrame())
        return;
    const int w = m_template.FrameWidth(), h = m_template.FrameHeight();
    for (size_t i = 0; i < m_template.boxes.size(); ++i)
        DrawBoxMarks(dc, m_template.boxes[i], static_cast<int>(i), fit, w, h, static_cast<int>(i) == m_selected);
}

void CFrameBoxCanvas::Hover(CPoint point)
{
    if (!HasFrame())
        return;
    const auto& boxes = m_template.boxes;
    if (boxes.empty()) {
        m_mode = NewBox;
        return;
    }
    if (m_selected < 0)
        return;
    const RECT fit = FittedRect();
    const int w = m_template.FrameWidth(), h = m_template.FrameHeight();
    for (int i = 0; i < 4; ++i) {
        const POINT c = PictureToWindow(boxes[m_selected].p[i], fit, w, h);
        if (std::abs(point.x - c.x) < 4 && std::abs(point.y - c.y) < 4) {
            m_mode = Corner;
            m_corner = i;
            return;
        }
    }
    const BoxPoint f = ToFrame(point);
    for (size_t i = 0; i < boxes.size(); ++i)
        if (PointInFrameBox(f.x, f.y, boxes[i])) {
            m_mode = static_cast<int>(i) == m_selected ? Move : Select;
            return;
        }
    m_mode = m_shift ? NewBox : Rotate;
}

BOOL CFrameBoxCanvas::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    if (nHitTest != HTCLIENT)
        return FALSE;
    HCURSOR cursor = nullptr;
    switch (m_mode) {
    case NewBox:
        cursor = ::LoadCursor(nullptr, IDC_CROSS);
        break;
    case Corner:
        cursor = AfxGetApp()->LoadCursor(kCornerCursor);
        break;
    case Move:
        cursor = ::LoadCursor(nullptr, IDC_SIZEALL);
        break;
    case Rotate:
        cursor = AfxGetApp()->LoadCursor(kRotateCursor);
        break;
    default:
        break;
    }
    ::SetCursor(cursor ? cursor : ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

UINT CFrameBoxCanvas::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void CFrameBoxCanvas::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar != VK_SHIFT || m_shift)
        return;
    m_shift = true;
    if (!m_pressed)
        Hover(m_last);
}

void CFrameBoxCanvas::OnKeyUp(UINT nChar, UINT, UINT)
{
    if (nChar != VK_SHIFT)
        return;
    m_shift = false;
    if (!m_pressed)
        Hover(m_last);
}

void CFrameBoxCanvas::OnLButtonDown(UINT, CPoint point)
{
    if (!HasFrame())
        return;
    SetFocus();
    SetCapture();
    m_pressed = true;
    m_banding = false;
    m_press = point;
    m_last = point;
    if (m_selected >= 0)
        m_saved = m_template.boxes[m_selected];
}

void CFrameBoxCanvas::DrawRubberBand(CPoint from, CPoint to)
{
    CClientDC dc(this);
    const int oldRop = dc.SetROP2(R2_XORPEN);
    HGDIOBJ oldPen = ::SelectObject(dc.GetSafeHdc(), ::GetStockObject(WHITE_PEN));
    HGDIOBJ oldBrush = ::SelectObject(dc.GetSafeHdc(), ::GetStockObject(NULL_BRUSH));
    dc.Rectangle(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1, std::max(from.y, to.y) + 1);
    ::SelectObject(dc.GetSafeHdc(), oldBrush);
    ::SelectObject(dc.GetSafeHdc(), oldPen);
    dc.SetROP2(oldRop);
}

void CFrameBoxCanvas::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_pressed) {
        m_shift = (nFlags & MK_SHIFT) != 0;
        m_last = point;
        Hover(point);
        return;
    }
    const int w = m_template.FrameWidth(), h = m_template.FrameHeight();
    switch (m_mode) {
    case NewBox:
        if (m_banding)
            DrawRubberBand(m_press, m_last);
        DrawRubberBand(m_press, point);
        m_banding = true;
        break;
    case Corner:
        if (m_selected >= 0 && MoveCorner(&m_template.boxes[m_selected], m_corner, ToFrame(point)))
            Redraw();
        break;
    case Move:
        if (m_selected >= 0) {
            const BoxPoint a = ToFrame(m_press), b = ToFrame(point);
            if (MoveBox(m_saved, b.x - a.x, b.y - a.y, w, h, &m_template.boxes[m_selected]))
                Redraw();
        }
        break;
    case Rotate:
        if (m_selected >= 0 && RotateBox(m_saved, ToFrame(m_press), ToFrame(point), w, h, &m_template.boxes[m_selected]))
            Redraw();
        break;
    default:
        break;
    }
    m_last = point;
}

void CFrameBoxCanvas::OnLButtonUp(UINT, CPoint point)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    ReleaseCapture();
    auto& boxes = m_template.boxes;
    if (m_mode == NewBox) {
        FrameBox box;
        if (boxes.size() < kMaxBoxes &&
            BoxFromDrag(ToFrame(m_press), ToFrame(point), m_template.FrameWidth(), m_template.FrameHeight(), &box)) {
            boxes.push_back(box);
            m_selected = static_cast<int>(boxes.size()) - 1;
        }
    } else if (m_mode == Select) {
        const BoxPoint f = ToFrame(point);
        for (int i = static_cast<int>(boxes.size()) - 1; i >= 0; --i)
            if (PointInFrameBox(f.x, f.y, boxes[i])) {
                m_selected = i;
                break;
            }
    }
    m_banding = false;
    Hover(point);
    Redraw();
}

} // namespace collage
