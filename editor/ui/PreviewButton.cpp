#include "editor/ui/PreviewButton.h"

#include "platform/afx/DC.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Resources.h"

namespace {

constexpr UINT kHandCursorId = 131;
constexpr UINT kSelectedIconId = 175;
constexpr UINT_PTR kHoverTimer = 123;
constexpr UINT kViewId = 1;
constexpr int kShadow = 5;
constexpr int kMarkSize = 20;
constexpr COLORREF kPanel = RGB(240, 240, 240);
constexpr COLORREF kShadowColour = RGB(32, 32, 32);
constexpr COLORREF kHoverFrame = RGB(160, 160, 160);
constexpr COLORREF kMarkFrame = RGB(192, 192, 192);

// Two nested 3-D frames of one colour.
void DoubleFrame(CDC* dc, CRect rect, COLORREF colour)
{
    dc->Draw3dRect(&rect, colour, colour);
    rect.DeflateRect(1, 1);
    dc->Draw3dRect(&rect, colour, colour);
}

}  // namespace

BEGIN_MESSAGE_MAP(CPreviewButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotice)
END_MESSAGE_MAP()

BOOL CPreviewButton::Create(LPCSTR caption, const RECT& rect, CWnd* parent, UINT id, CQLImage* image)
{
    if (!CButton::Create(caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, id))
        return FALSE;
    if (!m_view.Create("", CRect(0, 0, 10, 10), this, kViewId))
        return FALSE;
    m_view.SetImage(image, FALSE);
    m_created = TRUE;
    SetTimer(kHoverTimer, 100);
    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    return TRUE;
}

bool CPreviewButton::ViewHasPixels()
{
    return m_view.GetImage() && m_view.GetBits() && m_view.GetImageWidth() > 0 && m_view.GetImageHeight() > 0;
}

void CPreviewButton::OnSize(UINT type, int cx, int cy)
{
    CButton::OnSize(type, cx, cy);
    m_viewRect.SetRect(40, 5, cx - 10, cy - 15);
    if (!m_created)
        return;
    m_view.MoveWindow(40, 5, cx - 50, cy - 20, FALSE);
    m_view.ZoomToFit(FALSE);
}

void CPreviewButton::SetSelected(BOOL selected)
{
    if (!selected == !m_selected)
        return;
    m_selected = selected;
    Invalidate(FALSE);
}

void CPreviewButton::FitAndRedraw()
{
    m_view.ZoomToFit(FALSE);
    Invalidate(FALSE);
}

void CPreviewButton::SyncViewFrom(CPreviewButton* other)
{
    if (!other || other == this)
        return;
    int pos[2];
    double zoom;
    other->m_view.GetScrollZoom(pos, &zoom);
    m_view.SetScrollZoom(pos[0], pos[1], zoom);
}

void CPreviewButton::SyncRow(CPreviewButton* row, int count, WPARAM code, LPARAM lParam)
{
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(lParam);
    if (code != kZoomNoticeChanged || !notice)
        return;
    for (int i = 0; i < count; ++i) {
        if (&row[i].m_view != notice->view)
            continue;
        for (int j = 0; j < count; ++j)
            row[j].SyncViewFrom(&row[i]);
        return;
    }
}

LRESULT CPreviewButton::OnViewNotice(WPARAM wParam, LPARAM lParam)
{
    CWnd* parent = GetParent();
    return parent ? parent->SendMessage(WM_ZOOMVIEW_NOTIFY, wParam, lParam) : 0;
}

void CPreviewButton::EraseOutsideView(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    const int saved = dc->SaveDC();
    dc->ExcludeClipRect(&m_viewRect);
    dc->FillSolidRect(&client, kPanel);
    dc->FillSolidRect(client.left + kShadow, client.bottom - kShadow, client.Width() - kShadow, kShadow,
                      kShadowColour);
    dc->FillSolidRect(client.right - kShadow, client.top + kShadow, kShadow, client.Height() - kShadow,
                      kShadowColour);
    dc->RestoreDC(saved);
}

BOOL CPreviewButton::OnEraseBkgnd(CDC* dc)
{
    EraseOutsideView(dc);
    return TRUE;
}

void CPreviewButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC* dc = CDC::FromHandle(dis->hDC);
    EraseOutsideView(dc);
    CRect client;
    GetClientRect(&client);
    if (m_hovering) {
        CRect frame = client;
        frame.right -= kShadow;
        frame.bottom -= kShadow;
        DoubleFrame(dc, frame, kHoverFrame);
    }
    if (ViewHasPixels()) {
        m_view.ShowWindow(SW_SHOW);
    } else {
        m_view.ShowWindow(SW_HIDE);
        dc->FillSolidRect(&m_viewRect, kPanel);
        dc->Draw3dRect(&m_viewRect, RGB(0, 0, 0), RGB(0, 0, 0));
    }
    const CRect mark(client.left + 10, (client.Height() - kShadow) / 2 - 10, client.left + 10 + kMarkSize,
                     (client.Height() - kShadow) / 2 - 10 + kMarkSize);
    if (m_selected) {
        if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kSelectedIconId)))
            dc->DrawIcon(mark.left - 4, mark.top - 8, icon);
    } else {
        DoubleFrame(dc, mark, kMarkFrame);
    }
}

BOOL CPreviewButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (!m_hovering) {
        m_hovering = TRUE;
        Invalidate(FALSE);
    }
    if (wnd == &m_view || (wnd && wnd->m_hWnd == m_view.m_hWnd))
        return CButton::OnSetCursor(wnd, hitTest, message);
    ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursorId)));
    return TRUE;
}

void CPreviewButton::OnTimer(UINT_PTR id)
{
    if (id != kHoverTimer) {
        CButton::OnTimer(id);
        return;
    }
    if (!m_hovering)
        return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(cursor)) {
        m_hovering = FALSE;
        Invalidate(FALSE);
    }
}
