#include "album/shell/ButtonST.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/MemDC.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

namespace shelf {

// The editor's class of the same name is the base: the runtime class is
// spelled out, as the macro cannot name a qualified base.
CRuntimeClass CButtonST::classCButtonST = {"CButtonST", static_cast<int>(sizeof(CButtonST)), 0xFFFF, nullptr,
                                  &::CButtonST::classCButtonST};
CRuntimeClass* CButtonST::GetRuntimeClass() const { return &classCButtonST; }

int CButtonST::FaceThird(bool disabled, bool hover)
{
    if (disabled)
        return 0;
    return hover ? 1 : 2;
}

void CButtonST::PreSubclassWindow()
{
    ::CButtonST::PreSubclassWindow();
    m_hoverCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursor));
}

void CButtonST::DrawItem(LPDRAWITEMSTRUCT dis)
{
    const CRect r = dis->rcItem;
    CMemDC memory(CDC::FromHandle(dis->hDC), r); // composed off screen, copied once
    CDC* dc = &memory;
    const bool pressed = (dis->itemState & (ODS_SELECTED | ODS_CHECKED)) != 0;
    const bool focused = (dis->itemState & ODS_FOCUS) != 0;
    const bool disabled = (dis->itemState & ODS_DISABLED) != 0;
    CRect box = r;
    dc->FillSolidRect(&box, ::GetSysColor(COLOR_BTNFACE));
    if (!m_flat && focused) {
        dc->FrameRect(&box, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))));
        box.DeflateRect(1, 1);
    }
    const CQLImage* strip = theAlbum ? &theAlbum->m_skin : nullptr;
    UINT sw = 0, sh = 0;
    if (strip)
        strip->GetSize(&sw, &sh);
    if (sw && sh >= 3) {
        const int third = static_cast<int>(sh / 3);
        const BITMAPINFO info = DibHeaderOf(*strip, third);
        CRect face = box;
        face.DeflateRect(1, 1);
        dc->SetStretchBltMode(HALFTONE);
        ::StretchDIBits(dc->GetSafeHdc(), face.left, face.top, face.Width(), face.Height(), 0, 0,
                        static_cast<int>(sw), third, strip->GetBuffer(0, third * FaceThird(disabled, m_hover != 0)),
                        &info, DIB_RGB_COLORS, SRCCOPY);
    }
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (pressed && !m_flat)
        dc->FrameRect(&box, CBrush::FromHandle(::GetSysColorBrush(COLOR_BTNSHADOW)));
    else if (pressed && m_border)
        dc->Draw3dRect(&box, shadow, light);
    else if (!pressed && m_flat)
        dc->Draw3dRect(&box, m_hover && m_border ? light : RGB(200, 200, 200),
                       m_hover && m_border ? shadow : RGB(200, 200, 200));
    else if (!pressed)
        dc->DrawEdge(&box, EDGE_RAISED, BF_RECT);
    if (m_showCaption) {
        char text[256] = {};
        GetWindowText(text, sizeof text);
        CRect caption = box;
        if (pressed)
            caption.OffsetRect(1, 1);
        CFont* oldFont = dc->SelectObject(GetFont());
        dc->SetBkMode(TRANSPARENT);
        const bool active = m_hover || pressed;
        dc->SetTextColor(disabled ? ::GetSysColor(COLOR_GRAYTEXT) : active ? m_hoverText : m_normalText);
        dc->DrawText(text, -1, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc->SelectObject(oldFont);
    }
    // Icon buttons (SetIcons) show their icon in the middle of the face.
    if (HICON icon = (m_hover || pressed) ? m_hoverIcon : m_normalIcon) {
        const int x = box.left + (box.Width() - m_iconWidth) / 2 + (pressed ? 1 : 0);
        const int y = box.top + (box.Height() - m_iconHeight) / 2 + (pressed ? 1 : 0);
        ::DrawIconEx(dc->GetSafeHdc(), x, y, icon, m_iconWidth, m_iconHeight, 0, nullptr, DI_NORMAL);
    }
    if (focused && (!m_flat || m_flatFocus)) {
        CRect focus = r;
        focus.DeflateRect(3, 3);
        dc->DrawFocusRect(&focus);
    }
}

} // namespace shelf
