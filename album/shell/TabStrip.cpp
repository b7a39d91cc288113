#include "album/shell/TabStrip.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/FillGradient.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/PaintDC.h"

#include <cstdio>

namespace shelf {

IMPLEMENT_DYNAMIC(CTabStrip, CWnd)

BEGIN_MESSAGE_MAP(CTabStrip, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
constexpr int kTabRow = 20;
} // namespace

void CTabStrip::AddTab(CWnd* page, const char* caption, int value)
{
    Tab tab;
    tab.page = page;
    std::snprintf(tab.caption, sizeof tab.caption, "%s", caption ? caption : "");
    tab.value = value;
    m_tabs.push_back(tab);
}

void CTabStrip::SetCurrent(int index)
{
    if (CWnd* page = GetCurrentPage(); page && page->m_hWnd)
        page->ShowWindow(SW_HIDE);
    m_current = index;
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

CWnd* CTabStrip::GetCurrentPage() const
{
    if (m_current < 0 || m_current >= static_cast<int>(m_tabs.size()))
        return nullptr;
    return m_tabs[static_cast<std::size_t>(m_current)].page;
}

int CTabStrip::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    if (!CreatePixelFont(&m_font, "Arial", 14, FALSE))
        return 0;
    for (std::size_t i = 0; i < m_tabs.size(); ++i)
        if (!m_tabs[i].page->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 100, 100), this,
                                    static_cast<UINT>(1000 + i)))
            return -1;
    return 0;
}

void CTabStrip::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    for (const Tab& tab : m_tabs)
        if (tab.page && tab.page->m_hWnd)
            tab.page->MoveWindow(5, kTabRow, cx - 10, cy - 5 - kTabRow, FALSE);
}

void CTabStrip::OnLButtonDown(UINT nFlags, CPoint point)
{
    for (std::size_t i = 0; i < m_tabs.size(); ++i) {
        if (static_cast<int>(i) == m_current || !PtInRect(&m_tabs[i].rect, point))
            continue;
        SetCurrent(static_cast<int>(i));
        if (CWnd* parent = GetParent())
            parent->PostMessage(WM_TABSTRIP_CHANGED, i, 0);
        CRect row;
        GetClientRect(&row);
        row.bottom = kTabRow;
        InvalidateRect(&row);
        break;
    }
    CWnd::OnLButtonDown(nFlags, point);
}

BOOL CTabStrip::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    client.top = kTabRow;
    if (!client.IsRectEmpty())
        FillGradient(dc, client, CPoint(client.left, 0), CPoint(client.right, 0), TRUE, RGB(64, 64, 64),
                     RGB(128, 128, 128), nullptr, 0);
    return TRUE;
}

void CTabStrip::LayoutTabs(CDC* dc)
{
    CFont* old = dc->SelectObject(&m_font);
    int x = m_firstX;
    for (Tab& tab : m_tabs) {
        const int w = dc->GetTextExtent(tab.caption).cx;
        tab.rect = RECT{x, 2, x + w + 10, kTabRow};
        x += w + 10;
    }
    dc->SelectObject(old);
}

void CTabStrip::OnPaint()
{
    CPaintDC dc(this);
    if (m_current < 0 || m_current >= static_cast<int>(m_tabs.size()))
        return;
    CRect client;
    GetClientRect(&client);
    LayoutTabs(&dc);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(client.left, client.top, client.right - 5, client.top + kTabRow);
    dc.SetBkMode(TRANSPARENT);
    CFont* old = dc.SelectObject(&m_font);
    for (const Tab& tab : m_tabs) {
        CRect r = tab.rect;
        dc.FillSolidRect(&r, RGB(100, 100, 100));
        CRect frame = r;
        ++frame.left;
        dc.Draw3dRect(&frame, RGB(0, 0, 0), RGB(0, 0, 0));
        const int textHeight = dc.GetTextExtent(tab.caption).cy;
        dc.SetTextColor(RGB(255, 255, 255));
        dc.TextOut(r.left + 5, (18 - textHeight) / 2 + 2, tab.caption);
    }
    CRect current = m_tabs[static_cast<std::size_t>(m_current)].rect;
    if (theAlbum && theAlbum->m_patternBrush.GetSafeHandle())
        dc.FillRect(&current, &theAlbum->m_patternBrush);
    current.InflateRect(1, 1, 0, 1);
    dc.RestoreDC(saved);
    // The current tab opens into the page below it.
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&white);
    dc.FillSolidRect(current.left, client.top, current.Width(), 4, RGB(255, 255, 255));
    dc.FillSolidRect(current.left, client.top + 4, current.Width(), 1, RGB(192, 192, 192));
    dc.MoveTo(current.left, current.top);
    dc.LineTo(current.left, current.bottom - 2);
    dc.LineTo(client.left, current.bottom - 2);
    dc.MoveTo(current.right, current.bottom - 2);
    dc.LineTo(client.right - 3, current.bottom - 2);
    dc.SelectObject(oldPen);
    const char* caption = m_tabs[static_cast<std::size_t>(m_current)].caption;
    dc.SetTextColor(RGB(0, 0, 0));
    dc.TextOut(current.left + 1 + 5, (kTabRow - dc.GetTextExtent(caption).cy) / 2, caption);
    dc.SelectObject(old);
    if (CWnd* page = GetCurrentPage(); page && page->m_hWnd && !page->IsWindowVisible())
        page->ShowWindow(SW_SHOW);
}

} // namespace shelf
