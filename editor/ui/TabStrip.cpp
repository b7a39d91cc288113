#include "editor/ui/TabStrip.h"

#include "editor/ui/SkinDrawing.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CTabStrip, CWnd)

BEGIN_MESSAGE_MAP(CTabStrip, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kTabFill = RGB(100, 100, 100);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kBandLine = RGB(192, 192, 192);

void Line(CDC* dc, int x1, int y1, int x2, int y2)
{
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
}

}  // namespace

CTabStrip::CTabStrip() = default;

CTabStrip::~CTabStrip()
{
    DestroyWindow();
}

void CTabStrip::AddTab(CWnd* page, const char* caption, int value)
{
    TabEntry tab;
    tab.page = page;
    if (caption)
        std::strncpy(tab.caption, caption, sizeof tab.caption - 1);
    tab.value = value;
    m_tabs.push_back(tab);
    m_current = page;
}

void CTabStrip::SetActivePage(CWnd* page)
{
    if (m_current && m_current->m_hWnd)
        m_current->ShowWindow(SW_HIDE);
    m_current = page;
    if (m_current && m_current->m_hWnd)
        m_current->ShowWindow(SW_SHOW);
}

RECT CTabStrip::PageArea() const
{
    RECT client;
    GetClientRect(&client);
    return RECT{client.left + kMargin, client.top + kTabRowHeight, client.right - kMargin, client.bottom - kMargin};
}

int CTabStrip::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    m_font.CreateFont(14, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, 3, 2, 1, 2, "Arial");
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        CWnd* page = m_tabs[i].page;
        if (!page || !page->Create(nullptr, nullptr, WS_CHILD, RECT{0, 0, 100, 100}, this,
                                   static_cast<UINT>(1000 + i)))
            return -1;
    }
    return 0;
}

void CTabStrip::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    const RECT area = PageArea();
    for (const TabEntry& tab : m_tabs)
        if (tab.page && tab.page->m_hWnd)
            tab.page->MoveWindow(&area);
}

BOOL CTabStrip::OnEraseBkgnd(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    const int saved = dc->SaveDC();
    const RECT page = PageArea();
    dc->ExcludeClipRect(&page);
    FillGradientRect(dc, client, POINT{0, client.top}, POINT{0, client.bottom}, TRUE, ::GetSysColor(COLOR_3DFACE),
                     kGrey, nullptr, 0);
    const RECT shadow{client.left + kMargin + 3, client.top + kTabRowHeight + 3, client.right - kMargin + 3,
                      client.bottom - 4 + 3};
    dc->FillSolidRect(&shadow, RGB(0, 0, 0));
    dc->RestoreDC(saved);
    return TRUE;
}

void CTabStrip::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    dc.IntersectClipRect(kMargin, 0, client.right - kMargin, kTabRowHeight);
    CFont* oldFont = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    CBrush black(RGB(0, 0, 0));
    int x = m_firstTabX;
    const TabEntry* current = nullptr;
    for (TabEntry& tab : m_tabs) {
        const SIZE text = dc.GetTextExtent(tab.caption);
        tab.rect = RECT{x, 2, x + text.cx + 10, kTabRowHeight};
        dc.FillSolidRect(&tab.rect, kTabFill);
        const RECT frame{tab.rect.left + 1, tab.rect.top, tab.rect.right, tab.rect.bottom};
        dc.FrameRect(&frame, &black);
        dc.SetTextColor(kWhite);
        dc.TextOut(x + 5, (18 - text.cy) / 2 + 2, tab.caption);
        if (tab.page == m_current)
            current = &tab;
        x = tab.rect.right;
    }
    if (current)
        DrawCurrentTab(&dc, *current);
    dc.SelectObject(oldFont);
    if (m_current && m_current->m_hWnd && !m_current->IsWindowVisible())
        m_current->ShowWindow(SW_SHOW);
}

// The current tab in the face colour, opened into the page frame: lit from
// the top left, shaded on the right and bottom.
void CTabStrip::DrawCurrentTab(CDC* dc, const TabEntry& tab)
{
    RECT client;
    GetClientRect(&client);
    const RECT frame{client.left + 4, kTabRowHeight - 1, client.right - kMargin, client.bottom - kMargin};
    const RECT& t = tab.rect;
    dc->FillSolidRect(&t, ::GetSysColor(COLOR_3DFACE));
    dc->FillSolidRect(t.left, t.top, t.right - t.left, 4, kWhite);

    CPen band(PS_SOLID, 1, kBandLine), white(PS_SOLID, 1, kWhite), grey(PS_SOLID, 1, kGrey);
    CPen* old = dc->SelectObject(&band);
    Line(dc, t.left, t.top + 4, t.right, t.top + 4);
    dc->SelectObject(&white);
    Line(dc, t.left, t.top, t.left, frame.top);
    Line(dc, frame.left, frame.top, t.left + 1, frame.top);
    Line(dc, frame.left, frame.top, frame.left, frame.bottom);
    Line(dc, t.right - 1, frame.top, frame.right, frame.top);
    dc->SelectObject(&grey);
    Line(dc, t.right - 1, t.top, t.right - 1, frame.top);
    Line(dc, frame.right, frame.top, frame.right, frame.bottom);
    Line(dc, frame.left, frame.bottom, frame.right + 1, frame.bottom);
    dc->SelectObject(old);

    dc->SetTextColor(RGB(0, 0, 0));
    const SIZE text = dc->GetTextExtent(tab.caption);
    dc->TextOut(t.left + 5, (20 - text.cy) / 2, tab.caption);
}

void CTabStrip::OnLButtonDown(UINT flags, CPoint point)
{
    for (const TabEntry& tab : m_tabs) {
        if (point.x >= tab.rect.left && point.x < tab.rect.right && point.y >= tab.rect.top &&
            point.y < tab.rect.bottom) {
            if (tab.page != m_current) {
                SetActivePage(tab.page);
                RECT client;
                GetClientRect(&client);
                const RECT dirty{client.left, client.top, client.right, tab.rect.bottom + 1};
                InvalidateRect(&dirty);
            }
            return;
        }
    }
    CWnd::OnLButtonDown(flags, point);
}
