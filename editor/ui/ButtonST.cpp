#include "editor/ui/ButtonST.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <string>

IMPLEMENT_DYNAMIC(CButtonST, CButton)

BEGIN_MESSAGE_MAP(CButtonST, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

namespace {

constexpr UINT kHandCursorId = 131;

// Top and left in the first colour, bottom and right in the second, the
// corners left out.
void FrameLines(CDC* dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    dc->FillSolidRect(r.left + 1, r.top, w - 2, 1, topLeft);
    dc->FillSolidRect(r.left, r.top + 1, 1, h - 2, topLeft);
    dc->FillSolidRect(r.left + 1, r.bottom - 1, w - 2, 1, bottomRight);
    dc->FillSolidRect(r.right - 1, r.top + 1, 1, h - 2, bottomRight);
}

// The system's disabled look: the shape embossed in highlight and shadow.
void DrawDisabledIcon(CDC* dc, int x, int y, HICON icon, int w, int h)
{
    const QImage picture = qlafx::IconImage(icon, nullptr);
    if (picture.isNull())
        return;
    const QImage scaled = picture.width() == w && picture.height() == h ? picture : picture.scaled(w, h);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    for (const auto& [dx, colour] : {std::pair{1, light}, std::pair{0, shadow}})
        for (int j = 0; j < scaled.height(); ++j)
            for (int i = 0; i < scaled.width(); ++i)
                if (qAlpha(scaled.pixel(i, j)) >= 128)
                    dc->SetPixel(x + i + dx, y + j + dx, colour);
}

void DrawDisabledText(CDC* dc, const std::string& text, RECT r)
{
    const COLORREF old = dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    OffsetRect(&r, 1, 1);
    dc->DrawText(text.c_str(), &r, DT_SINGLELINE);
    OffsetRect(&r, -1, -1);
    dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    dc->DrawText(text.c_str(), &r, DT_SINGLELINE);
    dc->SetTextColor(old);
}

}  // namespace

CButtonST::CButtonST()
    : m_normalBk(::GetSysColor(COLOR_BTNFACE)),
      m_normalText(::GetSysColor(COLOR_BTNTEXT)),
      m_hoverBk(::GetSysColor(COLOR_BTNFACE)),
      m_hoverText(::GetSysColor(COLOR_BTNTEXT)),
      m_skin(this)
{
    m_hoverCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursorId));
}

CButtonST::~CButtonST()
{
    if (m_normalIcon && m_normalIcon != m_hoverIcon)
        ::DestroyIcon(m_normalIcon);
    if (m_hoverIcon)
        ::DestroyIcon(m_hoverIcon);
    if (m_hoverCursor)
        ::DestroyCursor(m_hoverCursor);
}

void CButtonST::SetIcons(UINT hoverIconId, UINT normalIconId, BYTE width, BYTE height)
{
    HINSTANCE inst = AfxGetResourceHandle();
    m_hoverIcon = static_cast<HICON>(::LoadImage(inst, MAKEINTRESOURCE(hoverIconId), IMAGE_ICON, 0, 0, 0));
    m_normalIcon = normalIconId
                       ? static_cast<HICON>(::LoadImage(inst, MAKEINTRESOURCE(normalIconId), IMAGE_ICON, 0, 0, 0))
                       : m_hoverIcon;
    m_iconWidth = width;
    m_iconHeight = height;
    RedrawWindow();
}

BOOL CButtonST::SetHoverCursor(int cursorId)
{
    if (m_hoverCursor)
        ::DestroyCursor(m_hoverCursor);
    m_hoverCursor = nullptr;
    if (cursorId == -1)
        return TRUE;
    m_hoverCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(cursorId));
    return m_hoverCursor != nullptr;
}

void CButtonST::SetFlatStyle(BOOL flat)
{
    m_flat = flat;
    Invalidate();
}

void CButtonST::ResetNormalBkColor(BOOL repaint)
{
    m_normalBk = ::GetSysColor(COLOR_BTNFACE);
    m_skin = nullptr;
    if (repaint)
        Invalidate();
}

void CButtonST::ResetHoverBkColor(BOOL repaint)
{
    m_hoverBk = ::GetSysColor(COLOR_BTNFACE);
    m_skin = nullptr;
    if (repaint)
        Invalidate();
}

void CButtonST::ResetNormalTextColor(BOOL repaint)
{
    m_normalText = ::GetSysColor(COLOR_BTNTEXT);
    if (repaint)
        Invalidate();
}

void CButtonST::ResetHoverTextColor(BOOL repaint)
{
    m_hoverText = ::GetSysColor(COLOR_BTNTEXT);
    if (repaint)
        Invalidate();
}

void CButtonST::SetSkinBackground(const void* skin)
{
    m_skin = skin;
}

void CButtonST::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    SetButtonStyle((GetButtonStyle() & 0xFF) | BS_OWNERDRAW, FALSE);
}

void CButtonST::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    if (!m_flat || ((nFlags & MK_LBUTTON) && !m_hover))
        return;
    if (GetCapture() != this) {
        if (GetOwner() || GetParent()) {
            m_hover = 1;
            SetCapture();
            Invalidate();
        }
        return;
    }
    RECT client;
    GetClientRect(&client);
    if (PtInRect(&client, point))
        return;
    m_hover = 0;
    Invalidate();
    if (!(nFlags & MK_LBUTTON))
        ReleaseCapture();
}

void CButtonST::LeaveHover()
{
    m_hover = 0;
    Invalidate();
}

void CButtonST::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    if (m_flat && m_hover)
        LeaveHover();
}

void CButtonST::OnCaptureChanged(CWnd* pWnd)
{
    if (m_hover) {
        ReleaseCapture();
        LeaveHover();
    }
    CButton::OnCaptureChanged(pWnd);
}

BOOL CButtonST::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_hoverCursor) {
        ::SetCursor(m_hoverCursor);
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CButtonST::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC* screen = CDC::FromHandle(dis->hDC);
    RECT r = dis->rcItem;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    CDC dc;
    CBitmap surface;
    dc.CreateCompatibleDC(screen);
    surface.CreateCompatibleBitmap(screen, w, h);
    CBitmap* oldBitmap = dc.SelectObject(&surface);
    dc.SetWindowOrg(r.left, r.top);

    const UINT state = dis->itemState;
    const bool pressed = (state & (ODS_SELECTED | ODS_CHECKED)) != 0;
    const bool focused = (state & ODS_FOCUS) != 0;
    if (!m_flat && focused) {
        CBrush black(RGB(0, 0, 0));
        dc.FrameRect(&r, &black);
        InflateRect(&r, -1, -1);
    }
    DrawFace(&dc, r, state, pressed);
    DrawBorder(&dc, r, pressed);
    DrawIconAndCaption(&dc, r, state, pressed);
    if (focused && (!m_flat || m_flatFocus)) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        dc.DrawFocusRect(&focus);
    }
    screen->BitBlt(dis->rcItem.left, dis->rcItem.top, w, h, &dc, dis->rcItem.left, dis->rcItem.top, SRCCOPY);
    dc.SelectObject(oldBitmap);
}

// The skin picture's three bands: disabled, hovered, normal.
void CButtonST::DrawFace(CDC* dc, RECT r, UINT state, bool pressed)
{
    const COLORREF bk = (m_hover || pressed) ? m_hoverBk : m_normalBk;
    UINT iw = 0, ih = 0;
    if (g_skinButtonImage)
        g_skinButtonImage->GetSize(&iw, &ih);
    if (!m_skin || iw == 0 || ih < 3) {
        dc->FillSolidRect(&r, bk);
        return;
    }
    FrameLines(dc, r, RGB(220, 220, 220), RGB(220, 220, 220));
    const int band = (state & ODS_DISABLED) ? 0 : (m_hover ? 1 : 2);
    const int bandTop = static_cast<int>(band * ih / 3), bandRows = static_cast<int>(ih / 3);
    const BITMAPINFO info = DibHeaderOf(*g_skinButtonImage, bandRows);
    const int oldMode = dc->SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc->GetSafeHdc(), r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2, 0, 0,
                    static_cast<int>(iw), bandRows, g_skinButtonImage->GetBuffer(0, bandTop), &info, DIB_RGB_COLORS,
                    SRCCOPY);
    dc->SetStretchBltMode(oldMode);
}

void CButtonST::DrawBorder(CDC* dc, RECT r, bool pressed)
{
    if (pressed) {
        if (!m_flat)
            FrameLines(dc, r, RGB(160, 160, 160), RGB(160, 160, 160));
        else if (m_border)
            FrameLines(dc, r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        return;
    }
    if (m_flat) {
        if (m_hover && m_border)
            FrameLines(dc, r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        else
            FrameLines(dc, r, RGB(180, 180, 220), RGB(180, 180, 220));
        return;
    }
    FrameLines(dc, r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
    InflateRect(&r, -1, -1);
    FrameLines(dc, r, ::GetSysColor(COLOR_3DLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
}

void CButtonST::DrawIconAndCaption(CDC* dc, RECT r, UINT state, bool pressed)
{
    std::string caption;
    if (m_showCaption)
        caption = qlafx::WindowTextOf(m_hWnd);
    const bool disabled = (state & ODS_DISABLED) != 0;
    RECT textRect = r;
    HICON icon = (m_hover || pressed) ? m_hoverIcon : m_normalIcon;
    if (icon) {
        int x = 0, y = 0;
        const int rw = r.right - r.left, rh = r.bottom - r.top;
        if (caption.empty()) {
            x = r.left + (rw - m_iconWidth) / 2;
            y = r.top + (rh - m_iconHeight) / 2;
        } else if (m_iconAlign == 0) {
            x = r.left + 3;
            y = r.top + (rh - m_iconHeight) / 2;
            textRect.left += m_iconWidth + 3;
        } else {
            x = r.left + (rw - m_iconWidth) / 2;
            y = r.top + 15;
            textRect.top += m_iconHeight;
        }
        if (pressed)
            ++x, ++y;
        if (disabled)
            DrawDisabledIcon(dc, x, y, icon, m_iconWidth, m_iconHeight);
        else
            ::DrawIconEx(dc->GetSafeHdc(), x, y, icon, m_iconWidth, m_iconHeight, 0, nullptr, DI_NORMAL);
    }
    if (caption.empty())
        return;
    CFont* oldFont = dc->SelectObject(GetFont());
    RECT measured{0, 0, 0, 0};
    dc->DrawText(caption.c_str(), &measured, DT_SINGLELINE | DT_CALCRECT);
    const int tw = measured.right - measured.left, th = measured.bottom - measured.top;
    RECT place{textRect.left + (textRect.right - textRect.left - tw) / 2,
               textRect.top + (textRect.bottom - textRect.top - th) / 2, 0, 0};
    place.right = place.left + tw;
    place.bottom = place.top + th;
    if (pressed)
        OffsetRect(&place, 1, 1);
    dc->SetBkMode(TRANSPARENT);
    if (disabled) {
        DrawDisabledText(dc, caption, place);
    } else {
        dc->SetTextColor((m_hover || pressed) ? m_hoverText : m_normalText);
        dc->DrawText(caption.c_str(), &place, DT_SINGLELINE);
    }
    dc->SelectObject(oldFont);
}
