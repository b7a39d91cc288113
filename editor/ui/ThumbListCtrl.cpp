#include "editor/ui/ThumbListCtrl.h"

#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CThumbListCtrl, CWnd)

BEGIN_MESSAGE_MAP(CThumbListCtrl, CWnd)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

constexpr int kLineStep = 5;
constexpr int kIconSize = 32;
constexpr int kLineHeight = 14;

bool IsInside(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Bytes of the character that starts at text (a multi-byte character counts
// as one).
int CharLength(const char* text)
{
    const auto lead = static_cast<unsigned char>(*text);
    int n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (int i = 1; i < n; ++i)
        if (text[i] == '\0')
            return i;
    return n;
}

}  // namespace

CThumbListCtrl::CThumbListCtrl() = default;

CThumbListCtrl::~CThumbListCtrl()
{
    DestroyWindow();
}

const ThumbListItem* CThumbListCtrl::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

int CThumbListCtrl::AddItem(const char* text, CQLImage* thumbnail)
{
    ThumbListItem item;
    item.thumbnail = thumbnail;
    if (text)
        std::strncpy(item.text, text, sizeof item.text - 1);
    m_items.push_back(item);
    UpdateScrollBar();
    return GetItemCount() - 1;
}

void CThumbListCtrl::DeleteAllItems()
{
    m_items.clear();
    m_scrollPos = 0;
    m_hover = -1;
    m_selectOnUp = FALSE;
    UpdateScrollBar();
    if (m_hWnd)
        Invalidate();
    NotifySelChange();
}

void CThumbListCtrl::SetItemData(int index, DWORD value)
{
    if (GetItem(index))
        m_items[static_cast<size_t>(index)].data = value;
}

void CThumbListCtrl::SetItemThumbnail(int index, CQLImage* thumbnail)
{
    if (GetItem(index))
        m_items[static_cast<size_t>(index)].thumbnail = thumbnail;
}

DWORD CThumbListCtrl::GetItemData(int index) const
{
    const ThumbListItem* item = GetItem(index);
    return item ? item->data : 0;
}

int CThumbListCtrl::GetCurSel() const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[static_cast<size_t>(i)].selected)
            return i;
    return -1;
}

int CThumbListCtrl::GetLastSelected() const
{
    for (int i = GetItemCount() - 1; i >= 0; --i)
        if (m_items[static_cast<size_t>(i)].selected)
            return i;
    return -1;
}

// ---- geometry -------------------------------------------------------------

RECT CThumbListCtrl::GetItemRect(int index) const
{
    if (!GetItem(index))
        return RECT{};
    const int x = kCellWidth * (index % m_columns);
    const int y = kCellHeight * (index / m_columns) - m_scrollPos;
    const int areaHeight = m_listArea.bottom - m_listArea.top;
    if (y + kCellHeight < 0 || y > areaHeight)
        return RECT{};
    return RECT{x, y, x + kCellWidth - 1, y + kCellHeight - 1};
}

int CThumbListCtrl::HitTest(int x, int y) const
{
    if (x < 0 || y + m_scrollPos < 0)
        return -1;
    const int column = x / kCellWidth;
    if (column >= m_columns)
        return -1;
    const int index = column + m_columns * ((y + m_scrollPos) / kCellHeight);
    return index < GetItemCount() ? index : -1;
}

int CThumbListCtrl::MaxScroll() const
{
    return std::max(0, m_contentHeight - (m_listArea.bottom - m_listArea.top));
}

void CThumbListCtrl::Layout(int cx, int cy)
{
    m_listArea = RECT{1, 1, cx - (kScrollBarWidth + 1), cy - 1};
    m_columns = std::max(1, (m_listArea.right - m_listArea.left) / kCellWidth);
}

void CThumbListCtrl::UpdateScrollBar()
{
    m_contentHeight = (GetItemCount() / m_columns + 1) * kCellHeight;
    if (!m_scrollBar.m_hWnd)
        return;
    const int areaHeight = m_listArea.bottom - m_listArea.top;
    if (m_scrollPos > 0 || m_contentHeight > areaHeight) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = m_contentHeight;
        si.nPage = static_cast<UINT>(std::max(0, areaHeight));
        si.nPos = m_scrollPos;
        m_scrollBar.SetScrollInfo(&si);
        m_scrollBar.ShowWindow(SW_SHOW);
    } else {
        m_scrollBar.ShowWindow(SW_HIDE);
    }
}

void CThumbListCtrl::ScrollTo(int pos)
{
    pos = std::clamp(pos, 0, MaxScroll());
    if (pos == m_scrollPos)
        return;
    m_scrollPos = pos;
    UpdateScrollBar();
    Invalidate();
}

void CThumbListCtrl::EnsureVisible(int index)
{
    if (!GetItem(index))
        return;
    const int row = index / m_columns;
    const int top = kCellHeight * row - m_scrollPos;
    if (top >= m_listArea.top && top + kCellHeight - 1 <= m_listArea.bottom)
        return;
    m_scrollPos = std::clamp(row * kCellHeight, 0, MaxScroll());
    UpdateScrollBar();
    if (m_hWnd)
        Invalidate();
}

// ---- notices --------------------------------------------------------------

void CThumbListCtrl::Notify(int code, LPARAM lParam)
{
    if (!m_hWnd)
        return;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_THUMBLIST_NOTIFY, static_cast<WPARAM>(code), lParam);
}

void CThumbListCtrl::NotifyDelete() { Notify(ThumbListDelete, reinterpret_cast<LPARAM>(this)); }
void CThumbListCtrl::NotifyCode2() { Notify(ThumbListCode2, reinterpret_cast<LPARAM>(this)); }
void CThumbListCtrl::NotifyCode3() { Notify(ThumbListCode3, reinterpret_cast<LPARAM>(this)); }
HICON CThumbListCtrl::GetItemIcon(int) { return nullptr; }
void CThumbListCtrl::NotifyActivate(int index) { Notify(ThumbListActivate, index); }
void CThumbListCtrl::NotifySelChange() { Notify(ThumbListSelChange, reinterpret_cast<LPARAM>(this)); }

// ---- selection ------------------------------------------------------------

void CThumbListCtrl::SelectItem(UINT flags, int index)
{
    const int count = GetItemCount();
    if (index == -1) {
        for (int i = 0; i < count; ++i) {
            if (m_items[static_cast<size_t>(i)].selected) {
                m_items[static_cast<size_t>(i)].selected = 0;
                RefreshItem(i);
            }
        }
        NotifySelChange();
        return;
    }
    if (m_multiSelect && index == -2) {
        for (ThumbListItem& item : m_items)
            item.selected = 1;
        if (m_hWnd)
            Invalidate();
        return;
    }
    if (index < 0 || index >= count)
        return;
    if (m_multiSelect && (flags & MK_CONTROL)) {
        ThumbListItem& item = m_items[static_cast<size_t>(index)];
        item.selected = !item.selected;
        RefreshItem(index);
        NotifySelChange();
        return;
    }
    if (m_multiSelect && (flags & MK_SHIFT)) {
        const int anchor = std::max(0, GetCurSel());
        for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i)
            m_items[static_cast<size_t>(i)].selected = 1;
        if (m_hWnd)
            Invalidate();
        return;
    }
    for (int i = 0; i < count; ++i) {
        const int want = i == index ? 1 : 0;
        if (m_items[static_cast<size_t>(i)].selected != want) {
            m_items[static_cast<size_t>(i)].selected = want;
            RefreshItem(i);
        }
    }
    NotifySelChange();
}

bool CThumbListCtrl::Matches(int index, UINT key) const
{
    const auto first = static_cast<unsigned char>(m_items[static_cast<size_t>(index)].text[0]);
    return first == key || (first >= 'a' && first <= 'z' && first == key + 32);
}

void CThumbListCtrl::FindByKey(UINT key)
{
    const int count = GetItemCount();
    if (count == 0)
        return;
    int at = std::max(0, GetCurSel());
    int run = 0;
    while (run < count && Matches(at, key)) {
        at = (at + 1) % count;
        ++run;
    }
    for (int n = 0; n < count - run; ++n, at = (at + 1) % count) {
        if (Matches(at, key)) {
            SelectItem(0, at);
            EnsureVisible(at);
            return;
        }
    }
}

// ---- painting -------------------------------------------------------------

void CThumbListCtrl::RefreshItem(int index)
{
    if (!m_hWnd || !GetItem(index))
        return;
    CClientDC dc(this);
    dc.IntersectClipRect(&m_listArea);
    DrawCell(&dc, index);
}

void CThumbListCtrl::OnPaint()
{
    CPaintDC dc(this);
    dc.IntersectClipRect(&m_listArea);
    for (int i = 0; i < GetItemCount(); ++i)
        DrawCell(&dc, i);
}

BOOL CThumbListCtrl::OnEraseBkgnd(CDC* dc)
{
    RECT area;
    GetClientRect(&area);
    if (m_scrollBar.m_hWnd && m_scrollBar.IsWindowVisible())
        area.right -= kScrollBarWidth;
    // What the cells do not cover: right of the block, the empty end of a
    // part row, and below the rows.
    const int count = GetItemCount();
    const int blockRight = std::min<int>(area.right, m_columns * kCellWidth);
    const int fullBottom = (count / m_columns) * kCellHeight - m_scrollPos;
    const int rest = count % m_columns;
    dc->FillSolidRect(blockRight, area.top, area.right - blockRight, area.bottom - area.top, m_bkColor);
    int below = fullBottom;
    if (rest) {
        dc->FillSolidRect(rest * kCellWidth, fullBottom, blockRight - rest * kCellWidth, kCellHeight, m_bkColor);
        below += kCellHeight;
    }
    below = std::max<int>(below, area.top);
    if (below < area.bottom)
        dc->FillSolidRect(area.left, below, blockRight - area.left, area.bottom - below, m_bkColor);
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&area, &black);
    return TRUE;
}

void CThumbListCtrl::DrawCell(CDC* dc, int index)
{
    const RECT cell = GetItemRect(index);
    if (cell.right == cell.left)
        return;
    const ThumbListItem& item = m_items[static_cast<size_t>(index)];
    COLORREF fill = RGB(240, 240, 240), caption = RGB(0, 0, 0);
    if (item.selected) {
        fill = ::GetFocus() == m_hWnd ? RGB(64, 64, 64) : RGB(128, 128, 128);
        caption = RGB(255, 255, 255);
    }
    const RECT grown{cell.left - 1, cell.top - 1, cell.right + 1, cell.bottom + 1};
    dc->FillSolidRect(&grown, fill);

    const RECT hoverZone{cell.left + 2, cell.top + 2, cell.right - 1, cell.bottom - 1};
    if (index == m_hover && IsInside(hoverZone, m_mouseAt)) {
        CBrush grey(RGB(128, 128, 128));
        dc->FrameRect(&cell, &grey);
    }

    if (item.thumbnail) {
        // The algorithm thread writes thumbnails into the caller's images.
        CSingleLock lock(&theAlgorithmThread.GetThumbnailLock(), TRUE);
        DrawThumbnail(dc, cell, item.thumbnail);
    } else if (HICON icon = GetItemIcon(index)) {
        const int offset = (cell.right - cell.left - kIconSize) / 2;
        dc->DrawIcon(cell.left + offset, cell.top + offset, icon);
    }

    CFont* oldFont = dc->SelectObject(&m_font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(caption);
    DrawCaption(dc, cell, item.text);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void CThumbListCtrl::DrawThumbnail(CDC* dc, const RECT& cell, CQLImage* image)
{
    UINT iw = 0, ih = 0;
    image->GetSize(&iw, &ih);
    if (iw == 0 || ih == 0)
        return;
    const RECT box{cell.left + 9, cell.top + 5, cell.right - 9, cell.bottom - 44};
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    RECT fit = box;
    if (iw > ih) {
        const int h = static_cast<int>(static_cast<long long>(bw) * ih / iw);
        fit.top = box.top + (bh - h) / 2;
        fit.bottom = fit.top + h;
    } else {
        const int w = static_cast<int>(static_cast<long long>(bh) * iw / ih);
        fit.left = box.left + (bw - w) / 2;
        fit.right = fit.left + w;
    }
    const RECT shadow{fit.left + 3, fit.top + 3, fit.right + 1, fit.bottom + 1};
    dc->FillSolidRect(&shadow, RGB(122, 122, 122));
    CBrush light(RGB(200, 200, 200)), black(RGB(0, 0, 0));
    const RECT shadowFrame{shadow.left - 1, shadow.top - 1, shadow.right + 1, shadow.bottom + 1};
    dc->FrameRect(&shadowFrame, &light);
    dc->FrameRect(&fit, &black);

    const int fw = fit.right - fit.left - 2, fh = fit.bottom - fit.top - 2;
    if (fw <= 0 || fh <= 0)
        return;
    const int oldMode = dc->SetStretchBltMode(HALFTONE);
    const BITMAPINFO info = DibHeaderOf(*image, static_cast<int>(ih));
    ::StretchDIBits(dc->GetSafeHdc(), fit.left + 1, fit.top + 1, fw, fh, 0, 0, static_cast<int>(iw),
                    static_cast<int>(ih), image->GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

void CThumbListCtrl::DrawCaption(CDC* dc, const RECT& cell, const char* text)
{
    const int cellWidth = cell.right - cell.left;
    int y = cell.bottom - 45;
    const SIZE whole = dc->GetTextExtent(text);
    if (whole.cx <= cellWidth - 5) {
        dc->TextOut(cell.left + (cellWidth - whole.cx) / 2, y, text);
        return;
    }
    const char* line = text;
    const char* end = text;
    while (*end) {
        end += CharLength(end);
        const int bytes = static_cast<int>(end - line);
        if (dc->GetTextExtent(line, bytes).cx > cellWidth - 16) {
            dc->TextOut(cell.left + 5, y, line, bytes);
            y += kLineHeight;
            line = end;
        }
    }
    if (*line)
        dc->TextOut(cell.left + 5, y, line);
}

// ---- messages -------------------------------------------------------------

int CThumbListCtrl::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_scrollBar.Create(WS_CHILD | SBS_VERT, RECT{0, 0, 100, 100}, this, 1))
        return -1;
    CreatePixelFont(&m_font, "Arial", 12, FALSE);
    RECT client;
    GetClientRect(&client);
    Layout(client.right, client.bottom);
    m_scrollBar.MoveWindow(client.right - kScrollBarWidth, 0, kScrollBarWidth, client.bottom);
    UpdateScrollBar();
    return 0;
}

void CThumbListCtrl::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    if (m_scrollBar.m_hWnd)
        m_scrollBar.MoveWindow(cx - kScrollBarWidth, 0, kScrollBarWidth, cy);
    Layout(cx, cy);
    m_scrollPos = 0;
    UpdateScrollBar();
}

void CThumbListCtrl::OnVScroll(UINT code, UINT pos, CScrollBar* bar)
{
    const int page = m_listArea.bottom - m_listArea.top;
    switch (code) {
    case SB_LINEUP: ScrollTo(m_scrollPos - kLineStep); break;
    case SB_LINEDOWN: ScrollTo(m_scrollPos + kLineStep); break;
    case SB_PAGEUP: ScrollTo(m_scrollPos - page); break;
    case SB_PAGEDOWN: ScrollTo(m_scrollPos + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(static_cast<int>(pos)); break;
    default: CWnd::OnVScroll(code, pos, bar); break;
    }
}

BOOL CThumbListCtrl::OnMouseWheel(UINT, short delta, CPoint)
{
    if (m_contentHeight > m_listArea.bottom - m_listArea.top)
        ScrollTo(m_scrollPos - delta);
    return TRUE;
}

void CThumbListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    SetFocus();
    m_pressAt = point;
    m_buttonHeld = TRUE;
    m_selectOnUp = FALSE;
    const int hit = HitTest(point.x, point.y);
    if (hit < 0)
        SelectItem(flags, -1);
    else if (!m_items[static_cast<size_t>(hit)].selected)
        SelectItem(flags, hit);
    else
        m_selectOnUp = TRUE;
}

void CThumbListCtrl::OnLButtonUp(UINT flags, CPoint point)
{
    m_buttonHeld = FALSE;
    if (m_selectOnUp) {
        m_selectOnUp = FALSE;
        const int hit = HitTest(point.x, point.y);
        if (hit >= 0)
            SelectItem(flags, hit);
    }
}

void CThumbListCtrl::OnMouseMove(UINT flags, CPoint point)
{
    if (flags & MK_LBUTTON)
        return;
    m_buttonHeld = FALSE;
    m_mouseAt = point;
    const int hit = HitTest(point.x, point.y);
    if (hit == m_hover)
        return;
    const int old = m_hover;
    m_hover = hit;
    RefreshItem(old);
    RefreshItem(hit);
}

void CThumbListCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    const int hit = HitTest(point.x, point.y);
    if (hit >= 0)
        NotifyActivate(hit);
}

void CThumbListCtrl::OnKillFocus(CWnd* newWnd)
{
    CWnd::OnKillFocus(newWnd);
    Invalidate();
}

void CThumbListCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    const int count = GetItemCount();
    if (count == 0)
        return;
    if (GetCurSel() < 0) {
        SelectItem(0, 0);
        EnsureVisible(0);
        return;
    }
    const UINT scan = flags & 0xFF;
    const bool extended = (flags & 0x100) != 0;  // the extended-key bit of the high word
    if (!extended && (scan < 71 || scan > 81)) {
        FindByKey(key);
        return;
    }
    const UINT range = ::GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0;
    const int first = GetCurSel(), last = GetLastSelected();
    int target = -1;
    switch (key) {
    case VK_PRIOR: OnVScroll(SB_PAGEUP, 0, nullptr); return;
    case VK_NEXT: OnVScroll(SB_PAGEDOWN, 0, nullptr); return;
    case VK_END: SelectItem(0, count - 1); EnsureVisible(count - 1); return;
    case VK_HOME: SelectItem(0, 0); EnsureVisible(0); return;
    case VK_LEFT: target = first > 0 ? first - 1 : -1; break;
    case VK_UP: target = first - m_columns >= 0 ? first - m_columns : -1; break;
    case VK_RIGHT: target = last < count - 1 ? last + 1 : -1; break;
    case VK_DOWN: target = last < count - m_columns ? last + m_columns : -1; break;
    case VK_DELETE: NotifyDelete(); return;
    default: CWnd::OnKeyDown(key, repeat, flags); return;
    }
    if (target >= 0) {
        SelectItem(range, target);
        EnsureVisible(target);
    }
}

void CThumbListCtrl::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (ch == 1) {
        SelectItem(0, -2);
    } else if (ch == 13 || ch == 10) {
        const int first = GetCurSel();
        if (first >= 0)
            NotifyActivate(first);
    } else {
        CWnd::OnChar(ch, repeat, flags);
    }
}
