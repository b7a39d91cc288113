#include "editor/ui/ImgButton.h"

#include "editor/ui/HintWnd.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstdio>
#include <string>

IMPLEMENT_DYNAMIC(CImgButton, CButton)
IMPLEMENT_DYNAMIC(CZoomToolButton, CImgButton)

BEGIN_MESSAGE_MAP(CImgButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

int CImgButton::s_hoverTicks = 0;

namespace {

constexpr UINT_PTR kHoverTimer = 1234;
constexpr UINT kHandCursorId = 131;
constexpr int kTipTicks = 10;

int GreyOf(const CPixel& p)
{
    return (6 * p.g + 3 * p.r + p.b) / 10;
}

BYTE Clamp255(int v)
{
    return static_cast<BYTE>(std::clamp(v, 0, 255));
}

BYTE Blend256(int background, int face, int mask)
{
    return Clamp255((background * (255 - mask) + face * mask) / 256);
}

void Adjust(CQLImage& image, int x, int y, int delta)
{
    CPixel p = image.GetPixel2(x, y);
    p.b = Clamp255(p.b + delta);
    p.g = Clamp255(p.g + delta);
    p.r = Clamp255(p.r + delta);
    image.PutPixel(x, y, p);
}

}  // namespace

CImgButton::CImgButton() = default;

CImgButton::~CImgButton()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CImgButton::Create(LPCSTR caption, const RECT& rect, CWnd* parent, UINT id, LPCSTR faceFile, LPCSTR tipText,
                        int layout)
{
    SetBkColorRGB(192, 192, 192);
    m_layout = layout;
    if (m_face.LoadFromFile(faceFile) != 0)
        return FALSE;
    m_face.BuildGrayChannel();
    if (m_backBuffer.Create(rect.right - rect.left, rect.bottom - rect.top) != 0)
        return FALSE;
    if (!CreatePixelFont(&m_font, "Arial", 16, FALSE))
        return FALSE;
    if (!CButton::Create(caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, id))
        return FALSE;
    if (tipText) {
        CHintWnd::HideWnd(g_hintWnd);
        std::snprintf(m_tipText, sizeof m_tipText, "%s", tipText);
        m_hasTip = 1;
    }
    m_bevel = 1;
    SetTimer(kHoverTimer, 50);
    return TRUE;
}

BOOL CImgButton::LoadHotImage(LPCSTR file)
{
    return m_hotFace.LoadFromFile(file) == 0;
}

int CImgButton::LoadBackground(LPCSTR file)
{
    CQLImageCodec codec;
    return codec.LoadFile(file, &m_background);
}

void CImgButton::SetBkColorRGB(int r, int g, int b)
{
    m_bkR = static_cast<BYTE>(r);
    m_bkG = static_cast<BYTE>(g);
    m_bkB = static_cast<BYTE>(b);
}

void CImgButton::SetBkColor(COLORREF color)
{
    SetBkColorRGB(GetRValue(color), GetGValue(color), GetBValue(color));
}

BOOL CImgButton::IsMouseOver()
{
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    RECT client;
    GetClientRect(&client);
    return PtInRect(&client, p);
}

void CImgButton::LightenBuffer(BOOL mild)
{
    UINT w = 0, h = 0;
    m_backBuffer.GetSize(&w, &h);
    BYTE* bytes = w && h ? m_backBuffer.GetBuffer(0, 0) : nullptr;
    for (size_t i = 0; i < static_cast<size_t>(w) * h * 4; ++i) {
        if (i % 4 == 3)
            continue;
        bytes[i] = mild ? static_cast<BYTE>(bytes[i] * 0.8 + 51.2) : static_cast<BYTE>((bytes[i] + 256) / 2);
    }
}

int CImgButton::FacePictureHeight() const
{
    UINT w = 0, h = 0;
    m_face.GetSize(&w, &h);
    return static_cast<int>(h / 2);
}

UINT CImgButton::FaceWidth() const
{
    UINT w = 0, h = 0;
    m_face.GetSize(&w, &h);
    return w;
}

// The tile's rows count from the buffer's bottom row.
void CImgButton::FillBackBuffer()
{
    UINT w = 0, h = 0, tw = 0, th = 0;
    m_backBuffer.GetSize(&w, &h);
    m_background.GetSize(&tw, &th);
    const CPixel colour{m_bkB, m_bkG, m_bkR, 255};
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            m_backBuffer.PutPixel(static_cast<int>(x), static_cast<int>(y),
                                  tw && th ? m_background.GetPixel2(static_cast<int>(x % tw),
                                                                    static_cast<int>((h - 1 - y) % th))
                                           : colour);
}

void CImgButton::DrawFace(int greyPercent, CDC*, RECT rect, BOOL useHot, BOOL pressed)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    UINT fw = 0, fh2 = 0, hw = 0, hh = 0;
    m_face.GetSize(&fw, &fh2);
    m_hotFace.GetSize(&hw, &hh);
    const int faceW = static_cast<int>(fw), faceH = static_cast<int>(fh2 / 2);
    int x0 = 0, y0 = 0;
    if (m_layout == 1) {
        x0 = w < 20 ? 0 : 5;
        y0 = h - faceH - (h - faceH) / 2;
    } else {
        x0 = (w - faceW) / 2;
        y0 = 5;
    }
    if (pressed)
        ++x0, ++y0;
    const bool hot = useHot && hw >= fw && hh / 2 >= static_cast<UINT>(faceH);
    BlendFace(hot ? m_hotFace : m_face, x0, y0, m_grayEffect ? greyPercent : 0, false);
}

void CImgButton::BlendFace(const CQLImage& colours, int x0, int y0, int greyPercent, bool keepFaceAlpha)
{
    UINT fw = 0, fh2 = 0, bw = 0, bh = 0;
    m_face.GetSize(&fw, &fh2);
    m_backBuffer.GetSize(&bw, &bh);
    const int faceW = static_cast<int>(fw), faceH = static_cast<int>(fh2 / 2);
    for (int i = 0; i < faceH; ++i) {
        const int y = y0 + i;
        if (y < 0 || y >= static_cast<int>(bh))
            continue;
        for (int j = 0; j < faceW; ++j) {
            const int x = x0 + j;
            if (x < 0 || x >= static_cast<int>(bw))
                continue;
            CPixel c = colours.GetPixel2(j, i);
            const int m = GreyOf(m_face.GetPixel2(j, faceH + i));
            const int grey = GreyOf(c);
            c.b = static_cast<BYTE>((greyPercent * grey + (100 - greyPercent) * c.b) / 100);
            c.g = static_cast<BYTE>((greyPercent * grey + (100 - greyPercent) * c.g) / 100);
            c.r = static_cast<BYTE>((greyPercent * grey + (100 - greyPercent) * c.r) / 100);
            const CPixel bg = m_backBuffer.GetPixel2(x, y);
            m_backBuffer.PutPixel(x, y, CPixel{Blend256(bg.b, c.b, m), Blend256(bg.g, c.g, m), Blend256(bg.r, c.r, m),
                                               keepFaceAlpha ? c.a : bg.a});
        }
    }
}

// Three rings from the edge; each ring's columns skip the buffer's first and
// last rows and its rows the first and last columns, so the corners stay.
void CImgButton::DrawBevel(BOOL raised)
{
    UINT uw = 0, uh = 0;
    m_backBuffer.GetSize(&uw, &uh);
    const int w = static_cast<int>(uw), h = static_cast<int>(uh);
    const int deltas[3] = {raised ? -32 : -64, raised ? 64 : -32, raised ? 32 : -16};
    for (int ring = 0; ring < 3; ++ring) {
        if (ring >= w || ring >= h)
            break;
        for (int y = 1; y < h - 1; ++y) {
            Adjust(m_backBuffer, ring, y, deltas[ring]);
            Adjust(m_backBuffer, w - 1 - ring, y, deltas[ring]);
        }
        for (int x = 1; x < w - 1; ++x) {
            Adjust(m_backBuffer, x, ring, deltas[ring]);
            Adjust(m_backBuffer, x, h - 1 - ring, deltas[ring]);
        }
    }
}

void CImgButton::DrawCaption(CDC* dc, BOOL pressed)
{
    char text[257] = {};
    GetWindowText(text, sizeof text);
    if (!text[0])
        return;
    RECT client;
    GetClientRect(&client);
    const int w = client.right, h = client.bottom;
    UINT fw = 0, fh2 = 0;
    m_face.GetSize(&fw, &fh2);
    const int faceH = static_cast<int>(fh2 / 2);
    CFont* old = dc->SelectObject(&m_font);
    const SIZE ext = dc->GetTextExtent(text);
    int x = 0, y = 0;
    if (m_layout == 1) {
        x = static_cast<int>(fw) + 10;
        y = (h - ext.cy) / 2;
    } else {
        x = (w - ext.cx) / 2;
        y = faceH + (h - faceH - ext.cy - 5) / 2 + 5;
    }
    if (pressed)
        ++x, ++y;
    dc->SetTextColor(RGB(0, 0, 0));
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(x, y, text);
    dc->SelectObject(old);
}

void CImgButton::ShowBuffer(CDC* dc, BOOL pressed)
{
    UINT w = 0, h = 0;
    m_backBuffer.GetSize(&w, &h);
    if (w && h) {
        const BITMAPINFO info = DibHeaderOf(m_backBuffer, static_cast<int>(h));
        ::StretchDIBits(dc->GetSafeHdc(), 0, 0, static_cast<int>(w), static_cast<int>(h), 0, 0, static_cast<int>(w),
                        static_cast<int>(h), m_backBuffer.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    DrawCaption(dc, pressed);
}

void CImgButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (dis->CtlType != ODT_BUTTON)
        return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    const RECT r = dis->rcItem;
    FillBackBuffer();
    const UINT state = dis->itemState;
    BOOL pressed = FALSE;
    if (state & (ODS_DISABLED | ODS_GRAYED)) {
        DrawFace(100, dc, r, FALSE, FALSE);
    } else if (state & (ODS_SELECTED | ODS_CHECKED)) {
        pressed = TRUE;
        DrawFace(0, dc, r, FALSE, TRUE);
        if (m_bevel)
            DrawBevel(FALSE);
    } else {
        POINT p{};
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        if (PtInRect(&r, p)) {
            DrawFace(0, dc, r, TRUE, FALSE);
            if (m_bevel && GetState() == 0)
                DrawBevel(TRUE);
        } else {
            DrawFace(50, dc, r, FALSE, FALSE);
        }
    }
    ShowBuffer(dc, pressed);
}

BOOL CImgButton::OnEraseBkgnd(CDC*)
{
    FillBackBuffer();
    return TRUE;
}

BOOL CImgButton::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_hover) {
        RECT client;
        GetClientRect(&client);
        FillBackBuffer();
        DrawFace(0, nullptr, client, TRUE, FALSE);
        if (m_bevel)
            DrawBevel(TRUE);
        if (CDC* dc = GetDC()) {
            ShowBuffer(dc, FALSE);
            ReleaseDC(dc);
        }
        m_hover = 1;
    }
    ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursorId)));
    return TRUE;
}

void CImgButton::HideTip()
{
    if (m_hasTip)
        CHintWnd::HideWnd(g_hintWnd);
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
        if (++s_hoverTicks == kTipTicks && m_hasTip && m_tipText[0] && g_hintWnd && g_hintWnd->m_hWnd)
            g_hintWnd->ShowAt(window.right - 5, window.bottom, m_tipText, nullptr);
        return;
    }
    m_hover = 0;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HideTip();
    s_hoverTicks = 0;
}

void CImgButton::OnSize(UINT nType, int cx, int cy)
{
    CButton::OnSize(nType, cx, cy);
    m_backBuffer.Create(cx, cy);
}

void CImgButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    HideTip();
    CButton::OnLButtonDown(nFlags, point);
}

void CZoomToolButton::DrawFace(int, CDC*, RECT rect, BOOL, BOOL pressed)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int faceW = static_cast<int>(FaceWidth()), faceH = FacePictureHeight();
    const int x0 = (w - faceW) / 2 + (pressed ? 1 : 0), y0 = (h - faceH) / 2 + (pressed ? 1 : 0);
    BlendFace(m_face, x0, y0, 0, true);
}
