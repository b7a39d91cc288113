#include "editor/ui/TextListBox.h"

#include "editor/ui/FontCache.h"
#include "editor/ui/PercentBar.h"

#include <algorithm>
#include <cstring>

BEGIN_MESSAGE_MAP(CTextListBox, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
constexpr int kBar = 16;
}

void CTextListBox::AddRow(const char* text)
{
    Row row;
    std::strncpy(row.text, text ? text : "", sizeof row.text - 1);
    m_rows.push_back(row);
}

int CTextListBox::VisibleRows() const
{
    CRect client;
    if (m_hWnd)
        GetClientRect(&client);
    return m_rowHeight > 0 ? client.Height() / m_rowHeight : 0;
}

void CTextListBox::ClampFirst()
{
    const int count = static_cast<int>(m_rows.size());
    m_first = std::max(0, std::min(m_first, count - VisibleRows()));
}

bool CTextListBox::HasScrollBar() const
{
    return m_first != 0 || static_cast<int>(m_rows.size()) > VisibleRows();
}

int CTextListBox::DragFirstRow(int dy, int count, int clientHeight, int startRow)
{
    const int track = clientHeight - 34;
    if (track <= 0)
        return startRow;
    return static_cast<int>(static_cast<double>(dy) * count / track + startRow);
}

void CTextListBox::SelectRow(int row, int mode)
{
    const int count = static_cast<int>(m_rows.size());
    if (row < 0 || row >= count) {
        for (Row& r : m_rows)
            r.selected = 0;
    } else if (mode == 1) {
        m_rows[row].selected = !m_rows[row].selected;
    } else if (mode == 2) {
        int from = -1;
        for (int i = row - 1; i >= 0 && from < 0; --i)
            if (m_rows[i].selected)
                from = i;
        for (int i = row + 1; i < count && from < 0; ++i)
            if (m_rows[i].selected)
                from = i;
        if (from < 0)
            from = row;
        for (int i = std::min(from, row); i <= std::max(from, row); ++i)
            m_rows[i].selected = 1;
    } else {
        for (Row& r : m_rows)
            r.selected = 0;
        m_rows[row].selected = 1;
    }
    Redraw();
}

void CTextListBox::Redraw()
{
    if (m_hWnd)
        Invalidate(FALSE);
}

void CTextListBox::Scroll(int rows)
{
    m_first += rows;
    ClampFirst();
    Redraw();
}

int CTextListBox::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    SetTimer(kRepeatTimer, 200);
    return 0;
}

BOOL CTextListBox::OnEraseBkgnd(CDC*) { return TRUE; }

void CTextListBox::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    ClampFirst();
    const int count = static_cast<int>(m_rows.size());
    const int visible = VisibleRows();
    const bool bar = HasScrollBar();
    const int right = bar ? client.right - kBar : client.right;
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont("Tahoma", 12);
    int bottom = client.top + 1;
    for (int r = m_first; r < count && r < m_first + visible + 1 && m_rowHeight > 0; ++r) {
        CRect row(client.left + 1, client.top + (r - m_first) * m_rowHeight + 1, right,
                  client.top + (r - m_first + 1) * m_rowHeight + 1);
        if (row.top >= client.bottom)
            break;
        const bool sel = m_rows[r].selected != 0;
        const COLORREF from = sel ? COLORREF(0xF0DCC8) : RGB(128, 128, 128);
        const COLORREF to = sel ? RGB(128, 128, 128) : RGB(32, 32, 32);
        PaintGradient(&dc, row, POINT{row.left, row.top}, POINT{row.right, row.top}, TRUE, from, to);
        const SIZE size = fonts.MeasureText(&dc, m_rows[r].text);
        fonts.PaintText(&dc, row.left + 2, row.top + (row.Height() - size.cy) / 2,
                        sel ? RGB(0, 0, 0) : RGB(192, 192, 192), m_rows[r].text, FALSE);
        bottom = row.bottom;
    }
    CRect below(client.left + 1, bottom, right, client.bottom);
    if (below.Height() > 0 && below.Width() > 0)
        PaintGradient(&dc, below, POINT{below.left, below.top}, POINT{below.right, below.top}, TRUE,
                      RGB(128, 128, 128), RGB(32, 32, 32));
    m_upBox = m_downBox = m_thumb = CRect();
    if (bar) {
        CRect column(client.right - kBar, client.top, client.right, client.bottom);
        dc.FillSolidRect(&column, RGB(192, 192, 192));
        m_upBox = CRect(column.left, column.top, column.right, column.top + kBar);
        m_downBox = CRect(column.left, column.bottom - kBar, column.right, column.bottom);
        if (m_upPressed)
            dc.FillSolidRect(&m_upBox, RGB(128, 128, 128));
        if (m_downPressed)
            dc.FillSolidRect(&m_downBox, RGB(128, 128, 128));
        CRect track(column.left, m_upBox.bottom, column.right, m_downBox.top);
        if (track.Height() > 0) {
            PaintGradient(&dc, track, POINT{track.left, track.top}, POINT{track.right, track.top}, TRUE,
                          DialogFaceColor(), RGB(192, 192, 192));
            const int th = track.Height();
            const int top = track.top + (count > 0 ? th * m_first / count : 0);
            int end = track.top + (count > 0 ? th * (m_first + visible) / count : th);
            end = std::min<int>(end, track.bottom);
            end = std::max(end, top + 4);
            m_thumb = CRect(track.left, top, track.right, end);
            PaintGradient(&dc, m_thumb, POINT{m_thumb.left, m_thumb.top}, POINT{m_thumb.right, m_thumb.top}, TRUE,
                          RGB(192, 192, 192), RGB(128, 128, 128));
            CBrush frame(RGB(220, 220, 220));
            dc.FrameRect(&m_thumb, &frame);
        }
    }
    CBrush black(RGB(0, 0, 0));
    dc.FrameRect(&client, &black);
}

void CTextListBox::OnLButtonDown(UINT nFlags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (!HasScrollBar() || point.x < client.right - kBar) {
        if (m_rowHeight <= 0)
            return;
        const int row = m_first + (point.y - client.top) / m_rowHeight;
        SelectRow(row, (nFlags & MK_CONTROL) ? 1 : (nFlags & MK_SHIFT) ? 2 : 0);
        return;
    }
    if (m_upBox.PtInRect(point) || m_downBox.PtInRect(point)) {
        const bool up = m_upBox.PtInRect(point) != 0;
        (up ? m_upPressed : m_downPressed) = 1;
        Scroll(up ? -1 : 1);
        SetCapture();
    } else if (m_thumb.PtInRect(point)) {
        m_dragging = 1;
        m_dragStart = point;
        m_dragStartRow = m_first;
        SetCapture();
    } else {
        Scroll(point.y < m_thumb.top ? -VisibleRows() : VisibleRows());
    }
}

void CTextListBox::OnMouseMove(UINT, CPoint point)
{
    if (m_dragging) {
        CRect client;
        GetClientRect(&client);
        m_first = DragFirstRow(point.y - m_dragStart.y, static_cast<int>(m_rows.size()), client.Height(),
                               m_dragStartRow);
        ClampFirst();
        Redraw();
        return;
    }
    if ((m_upPressed && !m_upBox.PtInRect(point)) || (m_downPressed && !m_downBox.PtInRect(point))) {
        m_upPressed = m_downPressed = 0;
        Redraw();
    }
}

void CTextListBox::OnLButtonUp(UINT, CPoint)
{
    if (m_upPressed || m_downPressed || m_dragging) {
        m_upPressed = m_downPressed = m_dragging = 0;
        ReleaseCapture();
        Redraw();
    }
}

void CTextListBox::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRepeatTimer)
        return;
    if (m_upPressed)
        Scroll(-1);
    else if (m_downPressed)
        Scroll(1);
}
