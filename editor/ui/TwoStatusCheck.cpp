#include "editor/ui/TwoStatusCheck.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/SkinDrawing.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CTwoStatusCheck, CButton)

BEGIN_MESSAGE_MAP(CTwoStatusCheck, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
END_MESSAGE_MAP()

namespace {

constexpr int kGlyph = 16;

CPixel FacePixelOf(COLORREF c)
{
    return CPixel{GetBValue(c), GetGValue(c), GetRValue(c), 255};
}

}  // namespace

void CTwoStatusCheck::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    SetButtonStyle((GetButtonStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW, FALSE);
}

BOOL CTwoStatusCheck::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= BS_OWNERDRAW;
    return CButton::PreCreateWindow(cs);
}

BOOL CTwoStatusCheck::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == BM_SETCHECK && pMsg->hwnd == m_hWnd) {
        OnSetCheck(pMsg->wParam, pMsg->lParam);
        return TRUE;
    }
    return CButton::PreTranslateMessage(pMsg);
}

void CTwoStatusCheck::OnMouseMove(UINT nFlags, CPoint point)
{
    RECT client;
    GetClientRect(&client);
    const bool inside = PtInRect(&client, point) != FALSE;
    if (inside && !m_hot) {
        SetCapture();
        m_hot = 1;
        Invalidate();
    } else if (!inside && m_hot) {
        ReleaseCapture();
        m_hot = 0;
        Invalidate();
    }
    CButton::OnMouseMove(nFlags, point);
}

// Replaces the native click: a checked radio button stays as it is.
void CTwoStatusCheck::OnLButtonDown(UINT, CPoint)
{
    if (m_isRadio) {
        if (m_checked)
            return;
        SendMessage(BM_SETCHECK, 1);
    } else {
        SendMessage(BM_SETCHECK, m_checked ? 0 : 1);
    }
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), 0),
                            reinterpret_cast<LPARAM>(m_hWnd));
}

void CTwoStatusCheck::OnLButtonUp(UINT, CPoint) {}

LRESULT CTwoStatusCheck::OnGetCheck(WPARAM, LPARAM)
{
    return m_checked ? 1 : 0;
}

LRESULT CTwoStatusCheck::OnSetCheck(WPARAM wParam, LPARAM)
{
    m_checked = wParam != 0;
    m_stateDirty = 0;
    Invalidate();
    return 0;
}

void CTwoStatusCheck::ComposeGlyph()
{
    const CQLImage& cells = theAppSettings.m_checkImage;
    UINT cw = 0, ch = 0;
    cells.GetSize(&cw, &ch);
    const int column = m_checked ? kGlyph : 0, row = m_isRadio ? kGlyph : 0;
    const bool disabled = m_hWnd && !IsWindowEnabled();
    const CPixel fallback = FacePixelOf(::GetSysColor(COLOR_BTNFACE));
    for (int y = 0; y < kGlyph; ++y) {
        for (int x = 0; x < kGlyph; ++x) {
            const CPixel bg = SkinFacePixel(10 + column + x, 10 + y, fallback);
            CPixel& out = m_face[y * kGlyph + x];
            if (static_cast<int>(cw) < column + kGlyph || static_cast<int>(ch) < row + kGlyph) {
                out = bg;
                continue;
            }
            CPixel c = cells.GetPixel2(column + x, row + y);
            const int grey = (c.b + 6 * c.g + 3 * c.r) / 10;
            if (disabled)
                c.b = c.g = c.r = static_cast<BYTE>(grey);
            if (!m_hot) {
                c.b = static_cast<BYTE>((c.b + 2 * grey) / 3);
                c.g = static_cast<BYTE>((c.g + 2 * grey) / 3);
                c.r = static_cast<BYTE>((c.r + 2 * grey) / 3);
            }
            if (c.a == 0) {
                out = bg;
                continue;
            }
            const int a = c.a;
            out.b = static_cast<BYTE>((bg.b * (255 - a) + c.b * a) / 255);
            out.g = static_cast<BYTE>((bg.g * (255 - a) + c.g * a) / 255);
            out.r = static_cast<BYTE>((bg.r * (255 - a) + c.r * a) / 255);
            out.a = 255;
        }
    }
}

void CTwoStatusCheck::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC* dc = CDC::FromHandle(dis->hDC);
    dc->FillRect(&dis->rcItem, &theAppSettings.m_skinBrush);
    if (m_stateDirty) {
        m_checked = (SendMessage(BM_GETSTATE) & 3) != 0;
        m_stateDirty = 0;
    }
    ComposeGlyph();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kGlyph;
    info.bmiHeader.biHeight = -kGlyph;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(dis->hDC, 0, 0, kGlyph, kGlyph, 0, 0, kGlyph, kGlyph, m_face, &info, DIB_RGB_COLORS, SRCCOPY);

    std::string text = qlafx::WindowTextOf(m_hWnd);
    std::erase(text, '&');
    CFont* font = GetParent() ? GetParent()->GetFont() : nullptr;
    CFont* oldFont = font ? dc->SelectObject(font) : nullptr;
    dc->SetTextColor((dis->itemState & ODS_DISABLED) ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(18, 1, text.c_str(), static_cast<int>(text.size()));
    if (dis->itemState & ODS_FOCUS) {
        const SIZE extent = dc->GetTextExtent(text.c_str(), static_cast<int>(text.size()));
        RECT focus{16, 0, std::min<int>(dis->rcItem.right, 20 + extent.cx), std::min<int>(dis->rcItem.bottom, extent.cy + 2)};
        dc->DrawFocusRect(&focus);
    }
    if (oldFont)
        dc->SelectObject(oldFont);
}
