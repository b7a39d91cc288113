#include "editor/ui/HyperlinkListCtrl.h"

#include "platform/win/Process.h"

#include <cstdio>

IMPLEMENT_DYNAMIC(CHyperlinkListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CHyperlinkListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGING, OnItemChanging)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr int kMaxColumns = 100;
}

CHyperlinkListCtrl::CHyperlinkListCtrl() = default;

CHyperlinkListCtrl::~CHyperlinkListCtrl()
{
    DestroyWindow();
}

std::string CHyperlinkListCtrl::CellKey(int row, int column)
{
    char key[32];
    std::snprintf(key, sizeof key, "%d x %d", row, column);
    return key;
}

void CHyperlinkListCtrl::InitLinks()
{
    SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    m_arrow = ::LoadCursor(nullptr, IDC_ARROW);
    m_linkStyle.cursor = ::LoadCursor(nullptr, IDC_HAND);
    m_plainStyle.cursor = m_arrow;
    LOGFONT lf{};
    CFont* listFont = GetFont();
    if (!listFont || !listFont->GetLogFont(&lf))
        ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    m_plainFont.DeleteObject();
    m_linkFont.DeleteObject();
    lf.lfUnderline = 0;
    m_plainFont.CreateFontIndirect(&lf);
    lf.lfUnderline = 1;
    m_linkFont.CreateFontIndirect(&lf);
}

LinkItem* CHyperlinkListCtrl::MakeRecord(const char* link)
{
    auto* item = new LinkItem;
    item->link = link ? link : "";
    item->style = item->link.IsEmpty() ? &m_plainStyle : &m_linkStyle;
    return item;
}

int CHyperlinkListCtrl::InsertLinkItem(int index, const char* text, const char* link)
{
    const int row = InsertItem(index, text);
    if (row < 0)
        return -1;
    SetCellLink(row, 0, MakeRecord(link));
    return row;
}

BOOL CHyperlinkListCtrl::SetLinkItemText(int row, int column, const char* text, const char* link)
{
    const BOOL done = SetItemText(row, column, text);
    SetCellLink(row, column, MakeRecord(link));
    return done;
}

void CHyperlinkListCtrl::SetCellLink(int row, int column, LinkItem* item)
{
    std::unique_ptr<LinkItem>& slot = m_links[CellKey(row, column)];
    if (slot.get() != item)
        slot.reset(item);
}

LinkItem* CHyperlinkListCtrl::GetCellLink(int row, int column) const
{
    const auto found = m_links.find(CellKey(row, column));
    return found == m_links.end() ? nullptr : found->second.get();
}

BOOL CHyperlinkListCtrl::CellUnderMouse(int* row, int* column)
{
    POINT mouse;
    RECT window;
    ::GetCursorPos(&mouse);
    GetWindowRect(&window);
    if (mouse.x < window.left || mouse.x >= window.right || mouse.y < window.top || mouse.y >= window.bottom)
        return FALSE;
    POINT client = mouse;
    ScreenToClient(&client);
    LVHITTESTINFO hit{};
    hit.pt = client;
    *row = HitTest(&hit);
    POINT origin{};
    GetItemPosition(0, &origin);
    int x = window.left + origin.x;
    *column = -1;
    for (int col = 0; col < kMaxColumns; ++col) {
        const int width = GetColumnWidth(col);
        if (width <= 0)
            break;
        x += width;
        if (x > mouse.x) {
            *column = col;
            break;
        }
    }
    return TRUE;
}

void CHyperlinkListCtrl::OpenLink(const char* link)
{
    ::ShellExecute(m_hWnd, nullptr, link, nullptr, nullptr, SW_SHOWNORMAL);
}

void CHyperlinkListCtrl::OnCustomDraw(NMHDR* hdr, LRESULT* result)
{
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
    *result = CDRF_DODEFAULT;
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const LinkItem* item = GetCellLink(static_cast<int>(cd->nmcd.dwItemSpec), cd->iSubItem);
        if (item && item->style) {
            cd->clrText = item->visited ? item->style->visitedColour : item->style->colour;
            ::SelectObject(cd->nmcd.hdc, item->style->underline ? m_linkFont.GetSafeHandle()
                                                                : m_plainFont.GetSafeHandle());
            *result = CDRF_NEWFONT;
        }
        if (cd->nmcd.uItemState & CDIS_HOT) {
            int row = -1, column = -1;
            HCURSOR cursor = m_arrow;
            if (CellUnderMouse(&row, &column))
                if (const LinkItem* under = GetCellLink(row, column); under && under->style && under->style->cursor)
                    cursor = under->style->cursor;
            SetHotCursor(cursor);
        }
        break;
    }
    default:
        break;
    }
}

// A click asks to select or focus a row: that is the activation. The row is
// never selected; changes of content, and states being taken away, pass.
void CHyperlinkListCtrl::OnItemChanging(NMHDR* hdr, LRESULT* result)
{
    const auto* nm = reinterpret_cast<const NMLISTVIEW*>(hdr);
    const UINT gained = nm->uNewState & ~nm->uOldState & (LVIS_SELECTED | LVIS_FOCUSED);
    if (nm->uChanged != LVIF_STATE || gained == 0) {
        *result = 0;
        return;
    }
    int row = -1, column = -1;
    if (CellUnderMouse(&row, &column)) {
        LinkItem* item = GetCellLink(row, column);
        if (item && !item->link.IsEmpty()) {
            OpenLink(item->link);
            item->visited = 1;
            RedrawItems(row, row);
        }
    }
    *result = 1;
}

void CHyperlinkListCtrl::DeleteLinks()
{
    m_links.clear();
    m_linkFont.DeleteObject();
    m_plainFont.DeleteObject();
}

void CHyperlinkListCtrl::OnDestroy()
{
    DeleteLinks();
    CListCtrl::OnDestroy();
}
