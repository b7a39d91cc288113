#include "editor/ui/LinkListCtrl.h"

#include "editor/ui/FontCache.h"
#include "editor/ui/PercentBar.h"
#include "platform/afx/WinApp.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CLinkListCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CLinkListCtrl::Create(int id, const RECT& rect, CWnd* parent)
{
    m_id = id;
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, static_cast<UINT>(id));
}

void CLinkListCtrl::AddItem(const char* text, const char* face, int height, COLORREF color, const char* command)
{
    Entry e;
    std::strncpy(e.text, text ? text : "", sizeof e.text - 1);
    std::strncpy(e.face, face ? face : "", sizeof e.face - 1);
    e.height = height;
    e.textColor = color;
    e.fill1 = e.fill2 = DialogFaceColor();
    if (command)
        std::strncpy(e.command, command, sizeof e.command - 1);
    m_entries.push_back(e);
}

int CLinkListCtrl::HitTest(CPoint point) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].command[0] && m_entries[i].rect.PtInRect(point))
            return static_cast<int>(i);
    return -1;
}

BOOL CLinkListCtrl::OnEraseBkgnd(CDC*) { return FALSE; }

void CLinkListCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CFontCache& fonts = CFontCache::Instance();
    int y = client.top;
    for (Entry& e : m_entries) {
        fonts.SelectFont(e.face, e.height);
        const SIZE size = fonts.MeasureText(&dc, e.text);
        e.rect = CRect(client.left, y, client.left + size.cx, y + size.cy);
        CRect r = e.rect;
        const POINT top{r.left, r.top}, bottom{r.left, r.bottom}, right{r.right, r.top};
        switch (e.style) {
        case 1: dc.FillSolidRect(&r, e.fill1); break;
        case 2: PaintGradient(&dc, r, top, bottom, TRUE, e.fill1, e.fill2); break;
        case 4: dc.DrawEdge(&r, EDGE_RAISED, BF_RECT); break;
        case 5:
            dc.FillSolidRect(&r, e.fill1);
            dc.DrawEdge(&r, EDGE_RAISED, BF_RECT);
            break;
        case 6:
            PaintGradient(&dc, r, top, bottom, TRUE, e.fill1, e.fill2);
            dc.DrawEdge(&r, EDGE_RAISED, BF_RECT);
            break;
        case 7: {
            const POINT mid{r.left, (r.top + r.bottom) / 2};
            PaintGradient(&dc, r, mid, right, TRUE, e.fill1, e.fill2);
            break;
        }
        default: break;
        }
        fonts.PaintText(&dc, r.left, r.top, e.textColor, e.text, FALSE);
        if (e.command[0])
            dc.FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, e.textColor);
        y += size.cy + size.cy / 5;
    }
}

void CLinkListCtrl::OnLButtonDown(UINT, CPoint point)
{
    const int hit = HitTest(point);
    if (hit >= 0 && GetParent())
        GetParent()->PostMessage(WM_LINKLIST_CLICK, static_cast<WPARAM>(m_id + 0x20000),
                                 reinterpret_cast<LPARAM>(m_entries[hit].command));
}

BOOL CLinkListCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (HitTest(point) >= 0 && AfxGetApp()) {
        ::SetCursor(AfxGetApp()->LoadCursor(131u));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}
