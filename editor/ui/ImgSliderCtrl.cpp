#include "editor/ui/ImgSliderCtrl.h"

#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PromptForText.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CImgSliderCtrl, CSliderCtrl)

BEGIN_MESSAGE_MAP(CImgSliderCtrl, CSliderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEWHEEL()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

constexpr int kArrow = 14;
constexpr int kBox = 32;
constexpr int kMinFace = 80;
constexpr UINT kHandCursorId = 131;
constexpr int kValuePromptText = 187;
constexpr CPixel kFallbackFace{0xF0, 0xF0, 0xF0, 255};
// A held arrow steps again after a pause, then at a steady rate, as the
// desktop's scroll arrows do.
constexpr UINT_PTR kArrowTimer = 0x51;
constexpr UINT kArrowDelay = 400;
constexpr UINT kArrowRepeat = 60;

int GreyOf(const CPixel& p)
{
    return (6 * p.g + 3 * p.r + p.b) / 10;
}

CPixel Over(const CPixel& top, const CPixel& bg)
{
    const int a = top.a;
    return CPixel{static_cast<BYTE>((top.b * a + bg.b * (255 - a)) / 255),
                  static_cast<BYTE>((top.g * a + bg.g * (255 - a)) / 255),
                  static_cast<BYTE>((top.r * a + bg.r * (255 - a)) / 255), 255};
}

CPixel Grey(int level, BYTE alpha)
{
    const BYTE v = static_cast<BYTE>(std::min(level, 255));
    return CPixel{v, v, v, alpha};
}

}  // namespace

CImgSliderCtrl::CImgSliderCtrl()
{
    CreatePixelFont(&m_valueFont, "Tahoma", 12, TRUE);
}

CImgSliderCtrl::~CImgSliderCtrl()
{
    if (m_hWnd)
        DestroyWindow();
}

void CImgSliderCtrl::SetPos(int pos)
{
    SendMessage(TBM_SETPOS, TRUE, pos);
    Repaint();
}

void CImgSliderCtrl::SetValueDisplay(BOOL show, double scale, double offset)
{
    m_showValue = show ? 1 : 0;
    m_valueScale = scale;
    m_valueOffset = offset;
}

BOOL CImgSliderCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == TBM_SETPOS && pMsg->hwnd == m_hWnd) {
        SetPos(static_cast<int>(pMsg->lParam));
        return TRUE;
    }
    return CSliderCtrl::PreTranslateMessage(pMsg);
}

LRESULT CImgSliderCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CSliderCtrl::WindowProc(message, wParam, lParam);
    if (message == TBM_SETPOS && m_hWnd)
        Invalidate(FALSE);
    return result;
}

void CImgSliderCtrl::DoDataExchange(CDataExchange* pDX)
{
    CSliderCtrl::DoDataExchange(pDX);
    Repaint();
}

void CImgSliderCtrl::Repaint()
{
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void CImgSliderCtrl::FormatValue(double value, char* out, size_t size)
{
    double whole = 0;
    if (std::fabs(std::modf(std::fabs(value), &whole)) >= 1e-7)
        std::snprintf(out, size, "%.1f", value);
    else
        std::snprintf(out, size, "%d", static_cast<int>(value));
}

void CImgSliderCtrl::ComposeFace()
{
    RECT client;
    GetClientRect(&client);
    const int w = std::max(static_cast<int>(client.right), kMinFace) - (m_showValue ? kBox : 0);
    const int h = client.bottom;
    if (w <= 0 || h <= 0 || m_face.Create(w, h) != 0)
        return;
    const CQLImage& track = theAppSettings.m_sliderImage;
    const CQLImage& thumb = theAppSettings.m_sliderBarImage;
    UINT tw = 0, th = 0, trw = 0, trh = 0;
    thumb.GetSize(&tw, &th);
    track.GetSize(&trw, &trh);
    const int TW = static_cast<int>(tw), TH = static_cast<int>(th);
    const int TrW = static_cast<int>(trw), TrH = static_cast<int>(trh);
    const int min = GetRangeMin(), max = GetRangeMax(), pos = GetPos();
    const bool enabled = IsWindowEnabled() != FALSE;

    // An empty range has nowhere to go: the thumb rests at the left.
    const int travel = w - TW - 2 * kArrow;
    const int a = (max > min ? static_cast<int>(static_cast<long long>(travel) * (pos - min) / (max - min)) : 0) +
                  TW / 2 + kArrow;
    m_thumbCentre = a;
    m_trackRect = RECT{kArrow, 0, w - kArrow, h};
    m_thumbRect = RECT{a - TW / 2, 2, a + TW / 2, TH + 2};
    m_leftArrow = RECT{0, 0, kArrow, h};
    m_rightArrow = RECT{w - kArrow, 0, w, h};
    const int n = std::max((h - TrH) / 2, 0);
    m_trackTop = n;

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const CPixel bg = SkinFacePixel(x + 10, y + 10, kFallbackFace);
            if (y < n || y >= n + TrH || TrW == 0) {
                m_face.PutPixel(x, y, bg);
                continue;
            }
            int column = x <= 44 ? x : (x > w - 50 ? x + TrW - w : 50);
            column = std::clamp(column, 0, TrW - 1);
            CPixel t = track.GetPixel2(column, y - n);
            if (t.a == 0) {
                // Transparent track pixels show the face, greyed arrow or not.
                m_face.PutPixel(x, y, bg);
                continue;
            }
            if ((pos == min && x < 12) || (pos == max && x > w - 13)) {
                if (GreyOf(t) < 32)
                    t = CPixel{160, 160, 160, t.a};
            } else if (t.r < t.b) {
                const int grey = GreyOf(t);
                if (x >= kArrow && x < a)
                    t = Grey(enabled ? static_cast<int>(grey * 1.5 + 128) : grey + 64, t.a);
                else if (x >= a && x <= w - 15)
                    t = Grey(grey, t.a);
            }
            m_face.PutPixel(x, y, Over(t, bg));
        }
    }
    if (!enabled || TW == 0)
        return;
    for (int j = 0; j < TH && j + 2 < h; ++j) {
        for (int i = 0; i < TW; ++i) {
            const int x = a - TW / 2 + i;
            if (x < 0 || x >= w)
                continue;
            m_face.PutPixel(x, j + 2, Over(thumb.GetPixel2(i, j), m_face.GetPixel2(x, j + 2)));
        }
    }
}

void CImgSliderCtrl::OnPaint()
{
    PAINTSTRUCT ps;
    CDC* dc = BeginPaint(&ps);
    if (!dc) {
        EndPaint(&ps);
        return;
    }
    ComposeFace();
    RECT client;
    GetClientRect(&client);
    const int box = m_showValue ? kBox : 0;
    DrawImageFitted(dc, 0, 0, std::max(static_cast<int>(client.right) - box, 1), client.bottom, &m_face, 0, FALSE);
    if (m_showValue) {
        m_valueBox = RECT{client.right - kBox, 0, client.right, client.bottom};
        dc->FillRect(&m_valueBox, &theAppSettings.m_skinBrush);
        char text[64];
        FormatValue(GetPos() * m_valueScale + m_valueOffset, text, sizeof text);
        CFont* old = dc->SelectObject(&m_valueFont);
        dc->SetTextColor(RGB(0, 0, 128));
        dc->SetBkMode(TRANSPARENT);
        RECT box = m_valueBox;
        dc->DrawText(text, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc->SelectObject(old);
    }
    // The keyboard focus, dotted around the track.
    if (::GetFocus() == m_hWnd) {
        RECT focus{0, 0, std::max(static_cast<int>(client.right) - box, 1), client.bottom};
        dc->DrawFocusRect(&focus);
    }
    EndPaint(&ps);
}

BOOL CImgSliderCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

int CImgSliderCtrl::PosAt(int x) const
{
    UINT tw = 0, th = 0;
    theAppSettings.m_sliderBarImage.GetSize(&tw, &th);
    const int left = m_trackRect.left + static_cast<int>(tw) / 2;
    const int width = m_trackRect.right - m_trackRect.left - static_cast<int>(tw);
    const int min = GetRangeMin(), max = GetRangeMax();
    if (width <= 0)
        return min;
    return min + static_cast<int>(static_cast<long long>(x - left) * (max - min) / width);
}

void CImgSliderCtrl::NotifyParent()
{
    NMHDR nm{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), NM_RELEASEDCAPTURE};
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CImgSliderCtrl::SetAndNotify(int pos)
{
    SetPos(pos);
    NotifyParent();
}

// The track bar itself never sees the click.
void CImgSliderCtrl::OnLButtonDown(UINT, CPoint point)
{
    const int arrow = PtInRect(&m_leftArrow, point) ? -1 : PtInRect(&m_rightArrow, point) ? 1 : 0;
    if (arrow && !PtInRect(&m_thumbRect, point)) {
        // Steps now and while held; the parent hears of it once, on release.
        m_heldArrow = arrow;
        m_overHeldArrow = 1;
        SetCapture();
        SetPos(GetPos() + arrow);
        SetTimer(kArrowTimer, kArrowDelay, nullptr);
        return;
    }
    if (PtInRect(&m_thumbRect, point)) {
        m_dragging = 1;
        SetCapture();
        m_grabOffset = point.x - m_thumbCentre;
        return;
    }
    UINT tw = 0, th = 0;
    theAppSettings.m_sliderBarImage.GetSize(&tw, &th);
    RECT inner = m_trackRect;
    inner.left += static_cast<int>(tw) / 2;
    inner.right -= static_cast<int>(tw) / 2;
    if (PtInRect(&inner, point))
        SetAndNotify(PosAt(point.x));
}

void CImgSliderCtrl::OnMouseMove(UINT, CPoint point)
{
    if (m_heldArrow)
        m_overHeldArrow = PtInRect(m_heldArrow < 0 ? &m_leftArrow : &m_rightArrow, point) ? 1 : 0;
    if (!m_dragging)
        return;
    const int pos = PosAt(point.x - m_grabOffset);
    if (pos != GetPos())
        SetPos(pos);
}

void CImgSliderCtrl::OnLButtonUp(UINT, CPoint point)
{
    if (m_heldArrow) {
        StopArrow();
        NotifyParent();
        return;
    }
    if (m_dragging) {
        m_dragging = 0;
        ReleaseCapture();
        Repaint();
        NotifyParent();
        return;
    }
    if (PtInRect(&m_leftArrow, point))
        SetAndNotify(GetPos() - 1);
    else if (PtInRect(&m_rightArrow, point))
        SetAndNotify(GetPos() + 1);
    else if (m_showValue && PtInRect(&m_valueBox, point))
        AskForValue();
}

// The number typed is a position, not the scaled value shown.
void CImgSliderCtrl::AskForValue()
{
    char prompt[256];
    std::snprintf(prompt, sizeof prompt, theUITextTable.GetText(kValuePromptText), GetRangeMin(), GetRangeMax());
    char answer[17];
    std::snprintf(answer, sizeof answer, "%d", GetPos());
    if (!PromptForText(answer, 16, prompt, prompt, TRUE, TRUE))
        return;
    for (const char* p = answer; *p; ++p)
        if (!(*p >= '0' && *p <= '9') && *p != '-')
            return;
    const int value = std::atoi(answer);
    if (value != GetPos())
        SetAndNotify(value);
}

BOOL CImgSliderCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (PtInRect(&m_thumbRect, p) || PtInRect(&m_leftArrow, p) || PtInRect(&m_rightArrow, p) ||
        (m_showValue && PtInRect(&m_valueBox, p))) {
        ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursorId)));
        return TRUE;
    }
    return CSliderCtrl::OnSetCursor(pWnd, nHitTest, message);
}

BOOL CImgSliderCtrl::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    const BOOL result = CSliderCtrl::OnMouseWheel(nFlags, zDelta, pt);
    Repaint();
    return result;
}

void CImgSliderCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kArrowTimer) {
        CSliderCtrl::OnTimer(nIDEvent);
        return;
    }
    if (!m_heldArrow || GetCapture() != this) {
        // The capture went elsewhere: the press is over.
        StopArrow();
        return;
    }
    if (m_overHeldArrow)
        SetPos(GetPos() + m_heldArrow);
    SetTimer(kArrowTimer, kArrowRepeat, nullptr);
}

void CImgSliderCtrl::StopArrow()
{
    KillTimer(kArrowTimer);
    const bool held = m_heldArrow != 0;
    m_heldArrow = 0;
    m_overHeldArrow = 0;
    if (held && GetCapture() == this)
        ReleaseCapture();
}
