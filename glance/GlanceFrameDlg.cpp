#include "glance/GlanceFrameDlg.h"

#include "editor/ui/ButtonST.h"
#include "editor/ui/SkinDrawing.h"
#include "glance/GlanceTexts.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <cctype>

namespace glance {

BEGIN_MESSAGE_MAP(GlanceFrameDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_GETMINMAXINFO()
    ON_WM_SETCURSOR()
    ON_WM_CTLCOLOR()
    ON_MESSAGE(WM_GLANCE_NOTIFY, OnFrameNotify)
END_MESSAGE_MAP()

CBrush& PatternBrush()
{
    static CBrush brush;
    return brush;
}

GlanceFrameDlg::GlanceFrameDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

GlanceFrameDlg::~GlanceFrameDlg() = default;

int GlanceFrameDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CRect small(0, 0, 16, 16);
    if (!m_closeButton.Create(kCloseButtonId, small, this, "", "close.png", &m_titleBand)
        || !m_maxButton.Create(kMaxButtonId, small, this, "", "max.png", &m_titleBand))
        return -1;
    return 0;
}

BOOL GlanceFrameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON icon = AfxGetApp()->LoadIcon(128);
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    CreatePixelFont(&m_titleFont, "Tahoma", 14, FALSE);
    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    return TRUE;
}

void GlanceFrameDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_closeButton.m_hWnd)
        m_closeButton.SetWindowPos(nullptr, cx - 22, 4, 16, 16, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_maxButton.m_hWnd) {
        m_maxButton.SetWindowPos(nullptr, cx - 40, 4, 16, 16, SWP_NOZORDER | SWP_NOACTIVATE);
        m_maxButton.ShowWindow(m_bResizable ? SW_SHOW : SW_HIDE);
    }
    Invalidate();
}

BOOL GlanceFrameDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(64, 64, 64));
    CBrush edge;
    edge.CreateSolidBrush(RGB(160, 160, 160));
    pDC->FrameRect(&client, &edge);
    const int w = std::max(client.Width(), 1);
    if (m_titleBand.Create(static_cast<UINT>(w), kTitleBand) == 0) {
        for (int r = 0; r < kTitleBand; ++r) {
            const BYTE g = static_cast<BYTE>(255 - r * 85 / 24);
            for (int x = 0; x < w; ++x) {
                BYTE* p = m_titleBand.GetBuffer(x, r);
                p[0] = p[1] = p[2] = g;
                p[3] = 255;
            }
        }
        DrawQLImage(pDC, m_titleBand, 0, 0);
    }
    CString text;
    GetWindowText(text);
    std::string upper = text.GetString();
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    CFont* oldFont = pDC->SelectObject(&m_titleFont);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->TextOut(25, 4, upper.c_str(), static_cast<int>(upper.size()));
    pDC->SelectObject(oldFont);
    if (HICON icon = AfxGetApp()->LoadIcon(138))
        ::DrawIconEx(pDC->GetSafeHdc(), 4, 4, icon, 16, 16, 0, nullptr, DI_NORMAL);
    return TRUE;
}

bool GlanceFrameDlg::InSizeGrip(CPoint point) const
{
    CRect client;
    GetClientRect(&client);
    return !m_bMaximized && point.x >= client.right - 16 && point.y >= client.bottom - 16;
}

void GlanceFrameDlg::OnLButtonDown(UINT, CPoint point)
{
    if (point.y < kTitleBand) {
        SetCapture();
        m_moving = true;
        m_dragStart = point;
    } else if (InSizeGrip(point)) {
        SetCapture();
        m_resizing = true;
        m_dragStart = point;
        GetWindowRect(&m_startRect);
    } else {
        SetFocus();
    }
}

void GlanceFrameDlg::OnLButtonUp(UINT, CPoint)
{
    if (m_moving || m_resizing)
        ReleaseCapture();
    m_moving = m_resizing = false;
}

void GlanceFrameDlg::OnMouseMove(UINT, CPoint point)
{
    if (m_moving) {
        CRect r;
        GetWindowRect(&r);
        r.OffsetRect(point.x - m_dragStart.x, point.y - m_dragStart.y);
        MoveWindow(&r);
    } else if (m_resizing) {
        CRect r = m_startRect;
        r.right = std::max(m_startRect.right + (point.x - m_dragStart.x), m_startRect.left + 600);
        r.bottom = std::max(m_startRect.bottom + (point.y - m_dragStart.y), m_startRect.top + 400);
        CRect now;
        GetWindowRect(&now);
        if (r != now) {
            MoveWindow(&r);
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }
}

void GlanceFrameDlg::OnLButtonDblClk(UINT, CPoint point)
{
    if (point.x < 32 && point.y < 32)
        OnCancel();
    else if (point.y < kTitleBand)
        PostMessage(WM_GLANCE_NOTIFY, (1u << 16) + kMaxButtonId, 0);
}

void GlanceFrameDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize = {640, 400};
    lpMMI->ptMaxSize = {::GetSystemMetrics(SM_CXSCREEN),
                        ::GetSystemMetrics(SM_CYSCREEN) - ::GetSystemMetrics(SM_CYCAPTION)};
}

BOOL GlanceFrameDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd == this) {
        CPoint p;
        ::GetCursorPos(&p);
        ScreenToClient(&p);
        ::SetCursor(::LoadCursor(nullptr, InSizeGrip(p) ? IDC_SIZENWSE : IDC_ARROW));
        return TRUE;
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

HBRUSH GlanceFrameDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_LISTBOX)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_BTN && pWnd && !CWnd::FromHandlePermanent(pWnd->m_hWnd)) {
        const DWORD type = static_cast<DWORD>(pWnd->GetStyle()) & 0x0F;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            auto button = std::make_unique<CButtonST>();
            if (button->SubclassWindow(pWnd->m_hWnd)) {
                button->SetHoverCursor(130);
                m_skinButtons.push_back(std::move(button));
            }
        }
    }
    if (nCtlColor == CTLCOLOR_STATIC)
        pDC->SetTextColor(RGB(65, 80, 90));
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(PatternBrush().GetSafeHandle());
}

void GlanceFrameDlg::ToggleMaximized()
{
    if (m_bMaximized) {
        ShowWindow(SW_RESTORE);
        m_maxButton.SetPicture("max.png");
        m_bMaximized = 0;
    } else {
        ShowWindow(SW_MAXIMIZE);
        m_maxButton.SetPicture("restore.png");
        m_bMaximized = 1;
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool GlanceFrameDlg::HandleFrameNotify(WPARAM wParam)
{
    if (HIWORD(wParam) != 1)
        return false;
    switch (LOWORD(wParam)) {
    case kCloseButtonId:
        OnCancel();
        return true;
    case kMaxButtonId:
        ToggleMaximized();
        return true;
    default:
        return false;
    }
}

LRESULT GlanceFrameDlg::OnFrameNotify(WPARAM wParam, LPARAM)
{
    HandleFrameNotify(wParam);
    return 0;
}

} // namespace glance
