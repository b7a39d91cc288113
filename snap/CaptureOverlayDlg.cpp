#include "snap/CaptureOverlayDlg.h"

#include "platform/afx/DC.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Resources.h"
#include "platform/win/Timing.h"
#include "snap/SnapFrames.h"
#include "snap/SnapTexts.h"

#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace snap {

namespace {

constexpr UINT kTip = 1005;

BITMAPINFO TopDownHeader(int w, int h)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

std::uint64_t XWindowOf(CWnd* wnd)
{
    if (!wnd || !wnd->m_hWnd)
        return 0;
    QWidget* w = qlafx::WidgetOf(wnd->m_hWnd);
    return w && w->testAttribute(Qt::WA_WState_Created) ? static_cast<std::uint64_t>(w->winId()) : 0;
}

bool Inside(const qlcapture::ScreenWindow& w, int x, int y)
{
    return w.left < x && x < w.right && w.top < y && y < w.bottom;
}

} // namespace

BEGIN_MESSAGE_MAP(CCaptureOverlayDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_HOTKEY()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CCaptureOverlayDlg::CCaptureOverlayDlg(int mode, CWnd* parent) : CDialog(135, parent), m_mode(mode)
{
    m_tipText = Texts().GetText("mode1tip");
}

CCaptureOverlayDlg::~CCaptureOverlayDlg() = default;

RECT CCaptureOverlayDlg::DesktopRect()
{
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void CCaptureOverlayDlg::TakeSnapshot()
{
    m_snapshot.Free();
    const RECT desk = DesktopRect();
    const int w = desk.right - desk.left, h = desk.bottom - desk.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    ::BitBlt(mem, 0, 0, w, h, screen, desk.left, desk.top, SRCCOPY);
    ::SelectObject(mem, old);
    if (m_snapshot.Create(static_cast<UINT>(w), static_cast<UINT>(h)) == 0) {
        BITMAPINFO bi = TopDownHeader(w, h);
        ::GetDIBits(mem, bitmap, 0, static_cast<UINT>(h), m_snapshot.GetBuffer(0, 0), &bi, DIB_RGB_COLORS);
    }
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

void CCaptureOverlayDlg::GoFullScreen()
{
    TakeSnapshot();
    const RECT desk = DesktopRect();
    MoveWindow(desk.left, desk.top, desk.right - desk.left, desk.bottom - desk.top, FALSE);
    if (!m_tipBrush.m_hObject)
        m_tipBrush.CreateSolidBrush(RGB(255, 255, 0));
    PlaceTip();
}

BOOL CCaptureOverlayDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(kTip, m_tipText);
    if (m_mode <= 2)
        GoFullScreen();
    SetTimer(kOverlayTimer, 100, nullptr);
    if (m_mode == 2) {
        AfxMessageBox(Texts().GetText("mode2tip"), MB_OK);
    } else if (m_mode == 3) {
        if (!m_tipBrush.m_hObject)
            m_tipBrush.CreateSolidBrush(RGB(255, 255, 0));
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else if (m_mode == 4) {
        PlaceTip();
        return TRUE;
    }
    Invalidate();
    return TRUE;
}

void CCaptureOverlayDlg::Confirm()
{
    if (AfxMessageBox(Texts().GetText("copynow"), MB_YESNO | MB_ICONQUESTION) == IDYES)
        Accept();
    else
        EndDialog(IDCANCEL);
}

void CCaptureOverlayDlg::OnTimer(UINT_PTR id)
{
    if (id != kOverlayTimer)
        return;
    switch (m_mode) {
    case 0:
        KillTimer(kOverlayTimer);
        Confirm();
        break;
    case 3: {
        if (m_countdown <= 0)
            break;
        --m_countdown;
        char text[256];
        std::snprintf(text, sizeof text, Texts().GetText("mode3tip"), m_countdown / 10, m_countdown % 10);
        m_tipText = text;
        SetDlgItemText(kTip, m_tipText);
        if (m_countdown == 0) {
            ShowWindow(SW_HIDE);
            ::Sleep(300);
            KillTimer(kOverlayTimer);
            GoFullScreen();
            ShowWindow(SW_SHOW);
            Invalidate();
            Confirm();
        }
        break;
    }
    case 4:
        KillTimer(kOverlayTimer);
        m_hotKeyHeld = ::RegisterHotKey(m_hWnd, kF10HotKey, 0, VK_F10) != FALSE;
        if (!m_hotKeyHeld) {
            // Another program holds F10: this small top-most window keeps the
            // prompt and takes F10 itself.
            m_ownF10 = true;
            m_tipText = Texts().GetText("mode4tip");
            SetDlgItemText(kTip, m_tipText);
            if (CWnd* tip = GetDlgItem(kTip))
                tip->ShowWindow(SW_SHOW);
            ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetFocus();
            break;
        }
        AfxMessageBox(Texts().GetText("mode4tip"), MB_OK);
        ShowWindow(SW_HIDE);
        break;
    default:
        break;
    }
}

void CCaptureOverlayDlg::OnHotKey(UINT, UINT, UINT)
{
    ReleaseHotKey();
    m_ownF10 = false;
    TakeSnapshot();
    ShowWindow(SW_SHOW);
    const RECT desk = DesktopRect();
    MoveWindow(desk.left, desk.top, desk.right - desk.left, desk.bottom - desk.top, FALSE);
    if (!m_tipBrush.m_hObject)
        m_tipBrush.CreateSolidBrush(RGB(255, 255, 0));
    PlaceTip();
    Invalidate();
    Confirm();
}

void CCaptureOverlayDlg::ReleaseHotKey()
{
    if (m_hotKeyHeld && m_hWnd)
        ::UnregisterHotKey(m_hWnd, kF10HotKey);
    m_hotKeyHeld = false;
}

void CCaptureOverlayDlg::OnDestroy()
{
    ReleaseHotKey();
    CDialog::OnDestroy();
}

void CCaptureOverlayDlg::DrawSnapshot(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    UINT w = 0, h = 0;
    m_snapshot.GetSize(&w, &h);
    if (w && h) {
        const BITMAPINFO bi = TopDownHeader(static_cast<int>(w), static_cast<int>(h));
        const int oldMode = dc->SetStretchBltMode(HALFTONE);
        if (client.right == static_cast<LONG>(w) && client.bottom == static_cast<LONG>(h))
            dc->SetStretchBltMode(COLORONCOLOR);  // 1:1 is a copy either way
        ::StretchDIBits(dc->GetSafeHdc(), 0, 0, client.right, client.bottom, 0, 0, static_cast<int>(w),
                        static_cast<int>(h), m_snapshot.GetBuffer(0, 0), &bi, DIB_RGB_COLORS, SRCCOPY);
        dc->SetStretchBltMode(oldMode);
    }
    if ((m_mode == 1 || m_mode == 2) && m_selection.right - m_selection.left > 0) {
        const COLORREF colours[3] = {RGB(0, 255, 0), RGB(0, 128, 0), RGB(0, 255, 0)};
        for (int i = 0; i < 3; ++i) {
            CBrush brush(colours[i]);
            RECT r{m_selection.left + i, m_selection.top + i, m_selection.right - i, m_selection.bottom - i};
            dc->FrameRect(&r, &brush);
        }
    }
}

BOOL CCaptureOverlayDlg::OnEraseBkgnd(CDC* pDC)
{
    DrawSnapshot(pDC);
    return TRUE;
}

HBRUSH CCaptureOverlayDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd && pWnd->GetDlgCtrlID() == static_cast<int>(kTip) && m_tipBrush.m_hObject) {
        pDC->SetTextColor(RGB(255, 0, 0));
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(m_tipBrush.m_hObject);
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

BOOL CCaptureOverlayDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_mode == 2) {
        ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
        return TRUE;
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CCaptureOverlayDlg::PlaceTip()
{
    CWnd* tip = GetDlgItem(kTip);
    if (!tip)
        return;
    if (m_mode != 1) {
        const bool counting = m_mode == 3 && m_countdown > 0;
        if (!counting && !m_ownF10)
            tip->ShowWindow(SW_HIDE);
        return;
    }
    RECT client, cur;
    GetClientRect(&client);
    tip->GetWindowRect(&cur);
    ScreenToClient(&cur);
    const int tw = cur.right - cur.left, th = cur.bottom - cur.top;
    RECT want{(client.right - tw) / 2, (client.bottom - th) / 2, 0, 0};
    want.right = want.left + tw;
    want.bottom = want.top + th;
    POINT pt{};
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    if (PtInRect(&want, pt))
        OffsetRect(&want, 0, -100);
    if (!EqualRect(&want, &cur))
        tip->MoveWindow(&want);
    tip->ShowWindow(SW_SHOW);
}

std::vector<qlcapture::ScreenWindow> CCaptureOverlayDlg::ScreenWindows()
{
    std::vector<qlcapture::ScreenWindow> all = qlcapture::TopLevelWindows();
    const std::uint64_t mine = XWindowOf(this);
    const std::uint64_t mainWnd = XWindowOf(AfxGetMainWnd());
    std::erase_if(all, [&](const qlcapture::ScreenWindow& w) {
        return (mine && (w.id == mine || qlcapture::FrameOf(mine) == w.id)) ||
               (mainWnd && (w.id == mainWnd || qlcapture::FrameOf(mainWnd) == w.id));
    });
    return all;
}

qlcapture::ScreenWindow CCaptureOverlayDlg::ChildAt(const qlcapture::ScreenWindow& window, int x, int y)
{
    return qlcapture::DeepestChildAt(window, x, y);
}

qlcapture::ScreenWindow CCaptureOverlayDlg::FindWindowBelow(int x, int y)
{
    for (const qlcapture::ScreenWindow& w : ScreenWindows())
        if (Inside(w, x, y))
            return ChildAt(w, x, y);
    // Nothing there: the desktop.
    const RECT desk = DesktopRect();
    return qlcapture::ScreenWindow{0, desk.left, desk.top, desk.right, desk.bottom};
}

void CCaptureOverlayDlg::DrawHighlight(CDC* dc, const RECT& r)
{
    dc->SelectStockObject(NULL_BRUSH);
    dc->SelectStockObject(BLACK_PEN);
    dc->Rectangle(&r);
    dc->Rectangle(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
    const int old = dc->SetROP2(R2_XORPEN);
    dc->SelectStockObject(WHITE_PEN);
    dc->Rectangle(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    dc->SetROP2(old);
}

void CCaptureOverlayDlg::HighlightWindowAt(CPoint point)
{
    const qlcapture::ScreenWindow w = FindWindowBelow(point.x, point.y);
    if (m_havePicked && w.id == m_picked.id && w.left == m_picked.left && w.top == m_picked.top &&
        w.right == m_picked.right && w.bottom == m_picked.bottom)
        return;
    m_picked = w;
    m_havePicked = true;
    CClientDC dc(this);
    DrawSnapshot(&dc);
    DrawHighlight(&dc, RECT{w.left, w.top, w.right, w.bottom});
}

void CCaptureOverlayDlg::DrawRubberBand()
{
    CClientDC dc(this);
    dc.SelectStockObject(NULL_BRUSH);
    dc.SelectStockObject(WHITE_PEN);
    const int old = dc.SetROP2(R2_XORPEN);
    dc.Rectangle(&m_band);
    dc.SetROP2(old);
}

void CCaptureOverlayDlg::OnMouseMove(UINT, CPoint point)
{
    if (m_mode == 1) {
        HighlightWindowAt(point);
        if (CWnd* tip = GetDlgItem(kTip))
            tip->Invalidate();
    } else if (m_mode == 2 && m_dragging) {
        DrawRubberBand();
        m_band = RECT{std::min(m_dragStart.x, point.x), std::min(m_dragStart.y, point.y),
                      std::max(m_dragStart.x, point.x), std::max(m_dragStart.y, point.y)};
        DrawRubberBand();
    }
    PlaceTip();
}

void CCaptureOverlayDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_mode == 1) {
        if (!m_havePicked)
            return;
        const RECT r{m_picked.left, m_picked.top, m_picked.right, m_picked.bottom};
        if (m_selection.right != m_selection.left && (nFlags & MK_SHIFT))
            UnionRect(&m_selection, &m_selection, &r);
        else
            m_selection = r;
        Invalidate();
    } else if (m_mode == 2 && !m_dragging) {
        SetCapture();
        m_dragStart = point;
        m_band = RECT{point.x, point.y, point.x, point.y};
        m_dragging = true;
        DrawRubberBand();
    }
}

void CCaptureOverlayDlg::OnLButtonUp(UINT, CPoint)
{
    if (m_mode != 2 || !m_dragging)
        return;
    m_dragging = false;
    ReleaseCapture();
    m_selection = m_band;
    Invalidate();
}

BOOL CCaptureOverlayDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) {
        switch (pMsg->wParam) {
        case VK_RETURN:
            if (m_mode == 1 || m_mode == 2)
                Accept();
            return TRUE;
        case VK_ESCAPE:
            EndDialog(IDCANCEL);
            return TRUE;
        case VK_F10:
            if (m_ownF10) {
                OnHotKey(kF10HotKey, 0, VK_F10);
                return TRUE;
            }
            break;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CCaptureOverlayDlg::CropResult()
{
    CQLImage result;
    CropSnapshot(m_snapshot, m_selection, &result);
    m_snapshot = std::move(result);
}

void CCaptureOverlayDlg::Accept()
{
    CropResult();
    EndDialog(IDOK);
}

} // namespace snap
