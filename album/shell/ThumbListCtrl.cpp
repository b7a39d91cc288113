#include "album/shell/ThumbListCtrl.h"

#include "album/shell/FillGradient.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace shelf {

IMPLEMENT_DYNAMIC(CThumbListCtrl, CWnd)

BEGIN_MESSAGE_MAP(CThumbListCtrl, CWnd)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

namespace {

constexpr int kCaptionLine = 12;

void StretchImage(CDC* dc, const CQLImage& image, const RECT& to, int mode)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    if (w == 0 || h == 0 || to.right <= to.left || to.bottom <= to.top)
        return;
    const int old = dc->SetStretchBltMode(mode);
    const BITMAPINFO info = DibHeaderOf(image, static_cast<int>(h));
    ::StretchDIBits(dc->GetSafeHdc(), to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0,
                    static_cast<int>(w), static_cast<int>(h), image.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(old);
}

} // namespace

CThumbListCtrl::~CThumbListCtrl()
{
    for (SelectedFace& face : m_selected)
        if (face.dc.GetSafeHdc())
            face.dc.SelectObject(face.old);
    DestroyWindow();
}

int CThumbListCtrl::AddItem(const char* text, CQLImage* image)
{
    ThumbListItem item;
    CopyCaption(item.text, text);
    item.image = image;
    m_items.push_back(item);
    UpdateScrollBar();
    return GetItemCount() - 1;
}

void CThumbListCtrl::DeleteAllItems()
{
    m_items.clear();
    m_geo.scroll = 0;
    m_hover = -1;
    m_pendingClick = FALSE;
    UpdateScrollBar();
    if (m_hWnd)
        Invalidate();
    OnSelChanged();
}

ThumbListItem CThumbListCtrl::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_items[static_cast<std::size_t>(index)] : ThumbListItem{};
}

void CThumbListCtrl::SetItem(int index, const ThumbListItem& item)
{
    if (index >= 0 && index < GetItemCount())
        m_items[static_cast<std::size_t>(index)] = item;
}

void CThumbListCtrl::SetItemData(int index, DWORD_PTR data)
{
    if (index >= 0 && index < GetItemCount())
        m_items[static_cast<std::size_t>(index)].data = data;
}

DWORD_PTR CThumbListCtrl::GetItemData(int index) const { return GetItem(index).data; }

int CThumbListCtrl::GetNextSelected(int index) const
{
    for (int i = std::max(0, index + 1); i < GetItemCount(); ++i)
        if (m_items[static_cast<std::size_t>(i)].selected)
            return i;
    return -1;
}

int CThumbListCtrl::GetSelectedCount() const
{
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [](const auto& i) { return i.selected; }));
}

void CThumbListCtrl::SetSelected(int index)
{
    if (index >= 0 && index < GetItemCount())
        m_items[static_cast<std::size_t>(index)].selected = 1;
}

void CThumbListCtrl::SelectItem(UINT flags, int index)
{
    const SelectionChange change = ApplySelection(m_items, flags, index, m_multiSelect != FALSE);
    if (change.all) {
        if (m_hWnd)
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else {
        for (int i : change.items)
            RepaintItem(i);
    }
    OnSelChanged();
}

int CThumbListCtrl::FindItemByText(const char* text) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (strcasecmp(m_items[static_cast<std::size_t>(i)].text, text) == 0)
            return i;
    return -1;
}

void CThumbListCtrl::RepaintItemByData(DWORD_PTR data)
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[static_cast<std::size_t>(i)].data == data) {
            RepaintItem(i);
            return;
        }
}

void CThumbListCtrl::RepaintItem(int index)
{
    if (!m_hWnd || IsRectEmpty(GetItemRect(index)))
        return;
    CClientDC dc(this);
    dc.IntersectClipRect(&m_geo.area);
    DrawItem(index, &dc);
}

void CThumbListCtrl::EnsureVisible(int index)
{
    if (index < 0)
        return;
    const int offset = ListEnsureVisible(m_geo, index, GetItemCount());
    if (offset == m_geo.scroll && !IsRectEmpty(GetItemRect(index)))
        return;
    m_geo.scroll = offset;
    UpdateScrollBar();
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CThumbListCtrl::SetViewMode(int mode)
{
    m_viewMode = mode;
    RecalcLayout(true);
    UpdateScrollBar();
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CThumbListCtrl::RecalcLayout(bool reset)
{
    RECT client{};
    if (m_hWnd)
        GetClientRect(&client);
    LayoutList(m_geo, client.right, client.bottom, m_viewMode, reset);
}

void CThumbListCtrl::UpdateScrollBar()
{
    m_geo.content = ListContentHeight(m_geo, GetItemCount());
    if (!m_scrollBar.m_hWnd)
        return;
    if (m_geo.scroll > 0 || m_geo.AreaHeight() < m_geo.content) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = m_geo.content;
        info.nPage = static_cast<UINT>(std::max(0, m_geo.AreaHeight()));
        info.nPos = m_geo.scroll;
        m_scrollBar.SetScrollInfo(&info);
        m_scrollBar.ShowWindow(SW_SHOW);
    } else {
        m_scrollBar.ShowWindow(SW_HIDE);
    }
}

void CThumbListCtrl::ScrollTo(int offset)
{
    offset = ListClampScroll(m_geo, offset);
    if (offset == m_geo.scroll)
        return;
    m_geo.scroll = offset;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    UpdateScrollBar();
}

void CThumbListCtrl::Notify(int code)
{
    if (CWnd* parent = m_hWnd ? GetParent() : nullptr)
        parent->SendMessage(WM_THUMBLIST_NOTIFY, static_cast<WPARAM>(code), reinterpret_cast<LPARAM>(this));
}

// ---- the virtual operations' base behaviour ----------------------------

void CThumbListCtrl::SortItems() { SortThumbItems(m_items, ThumbItemLess); }
void CThumbListCtrl::OnDeleteKey() { Notify(kThumbDeleteKey); }
void CThumbListCtrl::OnPasteRequest() { Notify(kThumbPaste); }
void CThumbListCtrl::OnCopyRequest() { Notify(kThumbCopy); }
void CThumbListCtrl::OpenItem(int) {}
void CThumbListCtrl::OnSelChanged() { Notify(kThumbSelChanged); }

HICON CThumbListCtrl::GetItemIcon(int)
{
    m_iconOverlay = TRUE;
    return AfxGetApp() ? AfxGetApp()->LoadIcon(133) : ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(133));
}

void CThumbListCtrl::DrawThumbnailCell(int index, CDC* dc)
{
    const RECT r = GetItemRect(index);
    if (IsRectEmpty(r))
        return;
    const ThumbListItem& item = m_items[static_cast<std::size_t>(index)];
    const int width = r.right - r.left;
    const RECT outer{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    CBrush edge(RGB(220, 220, 220));
    dc->FrameRect(&outer, &edge);
    COLORREF caption;
    if (item.selected) {
        FillSelected(dc, r, m_hWnd && ::GetFocus() == m_hWnd);
        caption = RGB(255, 255, 255);
    } else {
        dc->FillSolidRect(&r, RGB(240, 240, 240));
        caption = RGB(64, 64, 64);
    }
    if (index == m_hover) {
        const RECT hover{r.left, r.top + 1, r.right, r.bottom};
        CBrush frame(item.selected ? RGB(255, 255, 255) : RGB(100, 100, 100));
        dc->FrameRect(&hover, &frame);
    }
    if (item.image && item.image->GetAreaByteSize()) {
        UINT iw = 0, ih = 0;
        item.image->GetSize(&iw, &ih);
        RECT box{r.left + 9, r.top + 5, r.right - 9, r.bottom - 44};
        const int bw = box.right - box.left, bh = box.bottom - box.top;
        if (ih < iw) {
            const int pad = (bh - static_cast<int>(static_cast<long long>(ih) * bw / iw)) / 2;
            box.top += pad;
            box.bottom -= pad;
        } else if (ih > 0) {
            const int pad = (bw - static_cast<int>(static_cast<long long>(iw) * bh / ih)) / 2;
            box.left += pad;
            box.right -= pad;
        }
        const RECT framed{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
        dc->FillSolidRect(framed.left + 1, framed.top + 1, framed.right - framed.left, framed.bottom - framed.top,
                          RGB(162, 162, 162));
        CBrush black(RGB(0, 0, 0));
        dc->FrameRect(&framed, &black);
        StretchImage(dc, *item.image, box, m_halftone ? HALFTONE : COLORONCOLOR);
    } else if (HICON icon = GetItemIcon(index)) {
        if (m_iconOverlay) {
            const int pad = (width - 64) / 2;
            dc->DrawIcon(r.left + pad + 16, r.top + pad, icon);
            if (HICON overlay = AfxGetApp() ? AfxGetApp()->LoadIcon(188) : nullptr)
                dc->DrawIcon(r.left + pad + 16, r.top + pad + 32, overlay);
        } else {
            const int pad = (width - 32) / 2;
            dc->DrawIcon(r.left + pad, r.top + pad, icon);
        }
    }
    CFont* oldFont = dc->SelectObject(&m_font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(caption);
    const auto lines = WrapCaption(
        item.text, [dc](const std::string& s) { return static_cast<int>(dc->GetTextExtent(s.c_str(), static_cast<int>(s.size())).cx); },
        width - 5, width - 16);
    int y = r.bottom - 38;
    if (lines.size() == 1) {
        const int cx = dc->GetTextExtent(lines[0].c_str(), static_cast<int>(lines[0].size())).cx;
        dc->TextOut(r.left + (width - cx) / 2, y, lines[0].c_str(), static_cast<int>(lines[0].size()));
    } else {
        for (const auto& line : lines) {
            dc->TextOut(r.left + 5, y, line.c_str(), static_cast<int>(line.size()));
            y += kCaptionLine;
        }
    }
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void CThumbListCtrl::FillSelected(CDC* dc, const RECT& r, bool focused)
{
    SelectedFace& face = m_selected[focused ? 1 : 0];
    const SIZE size{r.right - r.left, r.bottom - r.top};
    if (face.size.cx != size.cx || face.size.cy != size.cy) {
        if (face.dc.GetSafeHdc()) {
            face.dc.SelectObject(face.old);
            face.dc.DeleteDC();
            face.bitmap.DeleteObject();
        }
        face.size = SIZE{};
        if (!face.dc.CreateCompatibleDC(dc) || !face.bitmap.CreateCompatibleBitmap(dc, size.cx, size.cy))
            return;
        face.old = face.dc.SelectObject(&face.bitmap);
        const RECT all{0, 0, size.cx, size.cy};
        FillGradient(&face.dc, all, POINT{0, 0}, POINT{0, size.cy}, TRUE, focused ? RGB(64, 64, 64) : RGB(200, 200, 200),
                     focused ? RGB(192, 192, 192) : RGB(220, 220, 220), nullptr, 0);
        face.size = size;
    }
    dc->BitBlt(r.left, r.top, size.cx, size.cy, &face.dc, 0, 0, SRCCOPY);
}

void CThumbListCtrl::DrawDetailLine(int index, CDC* dc)
{
    const RECT r = GetItemRect(index);
    if (IsRectEmpty(r))
        return;
    const ThumbListItem& item = m_items[static_cast<std::size_t>(index)];
    const RECT outer{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    CBrush edge(m_bkColor);
    dc->FrameRect(&outer, &edge);
    dc->FillSolidRect(&r, item.selected ? RGB(64, 64, 64) : RGB(240, 240, 240));
    if (item.image && item.image->GetAreaByteSize()) {
        const int side = r.bottom - r.top - 2;
        StretchImage(dc, *item.image, RECT{r.left + 1, r.top + 1, r.left + 1 + side, r.top + 1 + side}, HALFTONE);
    }
    CFont* oldFont = dc->SelectObject(&m_font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(item.selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    dc->TextOut(r.left + 26, r.top + 4, MakeShortName(item.text).c_str());
    const std::string ext = ExtensionText(item.text);
    if (!ext.empty())
        dc->TextOut(r.left + 202, r.top + 4, ext.c_str());
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void CThumbListCtrl::DrawItem(int index, CDC* dc)
{
    if (m_viewMode == kThumbModeDetails)
        DrawDetailLine(index, dc);
    else
        DrawThumbnailCell(index, dc);
}

void CThumbListCtrl::DrawItems(CDC* dc)
{
    dc->IntersectClipRect(&m_geo.area);
    for (int i = 0; i < GetItemCount(); ++i)
        DrawItem(i, dc);
}

// ---- messages ------------------------------------------------------------

int CThumbListCtrl::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_scrollBar.Create(WS_CHILD | SBS_VERT, RECT{0, 0, 100, 100}, this, 1))
        return -1;
    CreatePixelFont(&m_font, "Arial", 12, FALSE);
    RecalcLayout(true);
    return 0;
}

void CThumbListCtrl::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    if (m_scrollBar.m_hWnd)
        m_scrollBar.MoveWindow(cx - ThumbListGeometry::kScrollBarWidth, 0, ThumbListGeometry::kScrollBarWidth, cy);
    LayoutList(m_geo, cx, cy, m_viewMode, true);
    UpdateScrollBar();
}

BOOL CThumbListCtrl::OnEraseBkgnd(CDC* dc)
{
    RECT c;
    GetClientRect(&c);
    if (m_scrollBar.m_hWnd && m_scrollBar.IsWindowVisible())
        c.right -= ThumbListGeometry::kScrollBarWidth;
    CRgn rest;
    rest.CreateRectRgnIndirect(&c);
    const RECT block = ListEraseBlock(m_geo, GetItemCount(), c);
    if (!IsRectEmpty(block)) {
        CRgn cells;
        cells.CreateRectRgnIndirect(&block);
        ::CombineRgn(rest, rest, cells, RGN_DIFF);
    }
    CBrush background(m_bkColor);
    dc->FillRgn(&rest, &background);
    const RECT frame{c.left - 1, c.top, c.right, c.bottom};
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&frame, &black);
    return TRUE;
}

void CThumbListCtrl::OnPaint()
{
    CPaintDC dc(this);
    DrawItems(&dc);
}

void CThumbListCtrl::OnKillFocus(CWnd* newWnd)
{
    CWnd::OnKillFocus(newWnd);
    Invalidate(FALSE);
}

void CThumbListCtrl::OnLButtonDown(UINT flags, CPoint point)
{
    m_downPoint = point;
    m_buttonDown = TRUE;
    SetFocus();
    m_pendingClick = FALSE;
    const int hit = HitTest(point.x, point.y);
    if (hit < 0)
        SelectItem(flags, -1);
    else if (!m_items[static_cast<std::size_t>(hit)].selected)
        SelectItem(flags, hit);
    else
        m_pendingClick = TRUE;
    Default();
}

void CThumbListCtrl::OnLButtonUp(UINT flags, CPoint point)
{
    if (m_pendingClick) {
        m_pendingClick = FALSE;
        SelectItem(flags, HitTest(point.x, point.y));
    }
    m_buttonDown = FALSE;
    Default();
}

void CThumbListCtrl::OnMouseMove(UINT flags, CPoint point)
{
    if (!(flags & MK_LBUTTON)) {
        const int hit = HitTest(point.x, point.y);
        if (hit != m_hover) {
            const int old = m_hover;
            m_hover = hit;
            RepaintItem(old);
            RepaintItem(hit);
        }
    }
    Default();
}

void CThumbListCtrl::OnLButtonDblClk(UINT, CPoint) { Default(); }

void CThumbListCtrl::OnKeyDown(UINT key, UINT, UINT flags)
{
    const bool shift = ::GetAsyncKeyState(VK_SHIFT) != 0;
    const KeyAction action = KeyDownAction(m_items, m_geo.columns, key, flags, shift);
    switch (action.kind) {
    case KeyAction::SelectFirst:
    case KeyAction::Select:
        SelectItem(action.flags, action.index);
        EnsureVisible(action.index);
        break;
    case KeyAction::PageUp: OnVScroll(SB_PAGEUP, 0, nullptr); break;
    case KeyAction::PageDown: OnVScroll(SB_PAGEDOWN, 0, nullptr); break;
    case KeyAction::Delete: OnDeleteKey(); break;
    case KeyAction::Find:
        if (const int found = FindNextByChar(m_items, action.code); found >= 0) {
            SelectItem(0, found);
            EnsureVisible(found);
        }
        break;
    case KeyAction::None: break;
    }
}

void CThumbListCtrl::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (ch == 1)
        SelectItem(0, -2);
    else if (ch == 13 || ch == 10)
        OpenItem(GetCurSel());
    else
        CWnd::OnChar(ch, repeat, flags);
}

void CThumbListCtrl::OnVScroll(UINT code, UINT pos, CScrollBar* bar)
{
    ScrollTo(ListScrollFor(m_geo, m_viewMode, code, static_cast<int>(pos)));
    if (bar)
        CWnd::OnVScroll(code, pos, bar);
}

BOOL CThumbListCtrl::OnMouseWheel(UINT, short delta, CPoint)
{
    ScrollTo(ListWheelScroll(m_geo, m_viewMode, delta));
    return TRUE;
}

} // namespace shelf
