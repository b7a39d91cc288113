#include "album/shell/ImgButton.h"

#include "editor/ui/SkinDrawing.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cstdio>

namespace shelf {

// The editor's class of the same name is the base: the runtime class is
// spelled out, as the macro cannot name a qualified base.
CRuntimeClass CImgButton::classCImgButton = {"CImgButton", static_cast<int>(sizeof(CImgButton)), 0xFFFF, nullptr,
                                  &::CImgButton::classCImgButton};
CRuntimeClass* CImgButton::GetRuntimeClass() const { return &classCImgButton; }

BEGIN_MESSAGE_MAP(CImgButton, ::CImgButton)
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

constexpr UINT_PTR kHoverTimer = 1234;
constexpr int kTipTicks = 10;

int greyOf(const CPixel& p) { return (6 * p.g + 3 * p.r + p.b) / 10; }

} // namespace

int CImgButton::Create(LPCSTR caption, const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, LPCSTR tipText,
                       int layout)
{
    SetBkColorRGB(192, 192, 192);
    m_layout = layout;
    if (m_face.LoadFromFile(faceFile) != 0)
        return 0;
    m_face.BuildGrayChannel();
    if (m_backBuffer.Create(rect.right - rect.left, rect.bottom - rect.top) != 0)
        return 0;
    if (!CreatePixelFont(&m_font, "Tahoma", 16, FALSE))
        return 0;
    if (!CButton::Create(caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, id))
        return 0;
    if (tipText) {
        if (!m_tip.Create("", parent))
            return 0;
        m_tip.ShowWindow(SW_HIDE);
        m_hasTip = 1;
        std::snprintf(m_tipText, sizeof m_tipText, "%s", tipText);
    }
    m_bevel = 1;
    SetTimer(kHoverTimer, 50);
    return 1;
}

void CImgButton::FillWorkImage()
{
    UINT w = 0, h = 0, tw = 0, th = 0;
    m_backBuffer.GetSize(&w, &h);
    m_background.GetSize(&tw, &th);
    const CPixel colour{m_bkB, m_bkG, m_bkR, 255};
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            m_backBuffer.PutPixel(static_cast<int>(x), static_cast<int>(y),
                                  tw && th ? m_background.GetPixel2(static_cast<int>(x % tw), static_cast<int>(y % th))
                                           : colour);
}

POINT CImgButton::FacePosition(int width, int height, BOOL pressed)
{
    UINT fw = 0, fh2 = 0;
    m_face.GetSize(&fw, &fh2);
    const int faceW = static_cast<int>(fw), faceH = static_cast<int>(fh2 / 2);
    POINT at{};
    if (m_layout == 1) {
        const bool hasCaption = GetWindowTextLength() > 0;
        at.x = faceW <= width && hasCaption ? 5 : 0;
        at.y = (height - faceH) / 2;
    } else {
        at.x = (width - faceW) / 2;
        at.y = height - 5 - faceH;
    }
    if (pressed) {
        ++at.x;
        ++at.y;
    }
    return at;
}

// The mask (the face file's lower half) is the face's opacity, over 255.
void CImgButton::DrawFace(int fade, CDC*, RECT rect, BOOL, BOOL pressed)
{
    UINT fw = 0, fh2 = 0, pw = 0, ph = 0, bw = 0, bh = 0;
    m_face.GetSize(&fw, &fh2);
    m_hotFace.GetSize(&pw, &ph);
    m_backBuffer.GetSize(&bw, &bh);
    const int faceW = static_cast<int>(fw), faceH = static_cast<int>(fh2 / 2);
    const CQLImage& colours = pressed && pw >= fw && ph >= static_cast<UINT>(faceH) ? m_hotFace : m_face;
    const POINT at = FacePosition(rect.right - rect.left, rect.bottom - rect.top, pressed);
    if (!m_grayEffect)
        fade = 0;
    for (int i = 0; i < faceH; ++i) {
        const int y = at.y + i;
        if (y < 0 || y >= static_cast<int>(bh))
            continue;
        for (int j = 0; j < faceW; ++j) {
            const int x = at.x + j;
            if (x < 0 || x >= static_cast<int>(bw))
                continue;
            CPixel c = colours.GetPixel2(j, i);
            const int grey = greyOf(c);
            const int m = greyOf(m_face.GetPixel2(j, faceH + i));
            const CPixel bg = m_backBuffer.GetPixel2(x, y);
            auto mix = [&](BYTE channel, BYTE back) {
                const int faded = (fade * grey + (100 - fade) * channel) / 100;
                return static_cast<BYTE>((faded * m + back * (255 - m)) / 255);
            };
            m_backBuffer.PutPixel(x, y, CPixel{mix(c.b, bg.b), mix(c.g, bg.g), mix(c.r, bg.r), bg.a});
        }
    }
}

void CImgButton::DrawCaption(CDC* dc, BOOL pressed)
{
    char text[257] = {};
    GetWindowText(text, sizeof text);
    if (!text[0] || !dc)
        return;
    RECT client;
    GetClientRect(&client);
    UINT fw = 0, fh2 = 0;
    m_face.GetSize(&fw, &fh2);
    CFont* old = dc->SelectObject(&m_font);
    const SIZE ext = dc->GetTextExtent(text);
    int x = 0, y = 0;
    if (m_layout == 1) {
        x = static_cast<int>(fw) + 10;
        y = (client.bottom - ext.cy) / 2;
    } else {
        const POINT face = FacePosition(client.right, client.bottom, FALSE);
        x = (client.right - ext.cx) / 2;
        y = face.y + static_cast<int>(fh2 / 2);
    }
    if (pressed) {
        ++x;
        ++y;
    }
    dc->SetTextColor(m_captionColor);
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(x, y, text);
    dc->SelectObject(old);
}

void CImgButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (dis->CtlType != ODT_BUTTON)
        return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    const RECT r = dis->rcItem;
    FillWorkImage();
    const UINT state = dis->itemState;
    BOOL pressed = FALSE;
    if (state & (ODS_DISABLED | ODS_GRAYED)) {
        DrawFace(100, dc, r, FALSE, FALSE);
    } else if (state & (ODS_SELECTED | ODS_CHECKED)) {
        pressed = TRUE;
        DrawFace(0, dc, r, FALSE, TRUE);
        if (m_bevel)
            DrawBevel(FALSE);
    } else if (IsMouseOver()) {
        DrawFace(0, dc, r, FALSE, FALSE);
        if (m_bevel && GetState() == 0)
            DrawBevel(TRUE);
    } else {
        DrawFace(50, dc, r, FALSE, FALSE);
    }
    ShowBuffer(dc, pressed);
}

BOOL CImgButton::OnEraseBkgnd(CDC*)
{
    FillWorkImage();
    return TRUE;
}

BOOL CImgButton::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_hover && IsWindowEnabled()) {
        RECT client;
        GetClientRect(&client);
        FillWorkImage();
        DrawFace(0, nullptr, client, FALSE, FALSE);
        if (m_bevel)
            DrawBevel(TRUE);
        if (CDC* dc = GetDC()) {
            ShowBuffer(dc, FALSE);
            ReleaseDC(dc);
        }
        m_hover = 1;
    }
    ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursor)));
    return TRUE;
}

void CImgButton::HideOwnTip()
{
    if (m_hasTip && m_tip.m_hWnd)
        m_tip.ShowWindow(SW_HIDE);
}

void CImgButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer) {
        CButton::OnTimer(nIDEvent);
        return;
    }
    if (!m_hover)
        return;
    POINT p{};
    ::GetCursorPos(&p);
    RECT window;
    GetWindowRect(&window);
    if (PtInRect(&window, p)) {
        if (++s_hoverTicks == kTipTicks && m_hasTip && m_tipText[0] && m_tip.m_hWnd && IsWindowEnabled()) {
            m_tip.SetText(m_tipText);
            RECT tip;
            m_tip.GetWindowRect(&tip);
            const int y = m_tipPosition == 1 ? window.top - (tip.bottom - tip.top) : window.bottom;
            m_tip.ShowAt(window.right - 5, y, m_tipText, nullptr);
        }
        return;
    }
    m_hover = 0;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HideOwnTip();
    s_hoverTicks = 0;
}

void CImgButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    HideOwnTip();
    CButton::OnLButtonDown(nFlags, point);
}

} // namespace shelf
