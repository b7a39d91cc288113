#include "editor/adjust/WhiteBalanceDlg.h"

#include "editor/adjust/FrameTitle.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr int kTextBefore = 28;
constexpr int kTextAfter = 140;
constexpr int kTextUnexpectedError = 137;

}  // namespace

BEGIN_MESSAGE_MAP(CWhiteBalanceDlg, CSkinDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_GETMINMAXINFO()
    ON_WM_SETCURSOR()
    ON_BN_CLICKED(IDC_BALANCE_AUTO, OnTryAuto)
    ON_MESSAGE(WM_ZOOMVIEW_NOTIFY, OnViewNotify)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnJobNotify)
END_MESSAGE_MAP()

CWhiteBalanceDlg::CWhiteBalanceDlg(CWnd* parent) : CSkinDialog(IDD_WHITE_BALANCE, parent) {}

CWhiteBalanceDlg::~CWhiteBalanceDlg()
{
    if (jobRunning) {
        theAlgorithmThread.StopAlgorithm();
        while (theAlgorithmThread.IsBusy())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

BOOL CWhiteBalanceDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SetWindowText(theUITextTable.GetText(captionText));
    if (!work.DuplicateFrom(&thePhotoDocument.m_image)
        || !font.CreateFont(28, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, "Arial")) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        EndDialog(IDCANCEL);
        return TRUE;
    }
    const RECT none{0, 0, 10, 10};
    if (!beforeView.Create(theUITextTable.GetText(kTextBefore), none, this, IDC_BALANCE_BEFORE)
        || !afterView.Create(theUITextTable.GetText(kTextAfter), none, this, IDC_BALANCE_AFTER)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    beforeView.SetImage(&thePhotoDocument.m_image, FALSE);
    afterView.SetImage(&work, FALSE);
    beforeView.SetNotifyMode(TRUE);
    afterView.SetNotifyMode(TRUE);
    if (!beforeCursor)
        beforeCursor = ::LoadCursor(nullptr, IDC_CROSS);
    ready = true;
    ShowWindow(SW_MAXIMIZE);
    RecalcLayout();
    beforeView.ZoomToFit(TRUE);
    return TRUE;
}

void CWhiteBalanceDlg::RecalcLayout()
{
    if (!ready)
        return;
    RECT c;
    GetClientRect(&c);
    const int w = c.right, h = c.bottom;
    if (CWnd* frame = GetDlgItem(IDC_BALANCE_FRAME))
        frame->MoveWindow(5, 5, w - 10, h - 50);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(w - 110, h - 40, 100, 30);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->MoveWindow(w - 215, h - 40, 100, 30);
    if (CWnd* autoButton = GetDlgItem(IDC_BALANCE_AUTO))
        autoButton->MoveWindow(w - 400, h - 40, 180, 30);
    const int viewWidth = w - 12;
    const int viewHeight = std::max(10, h - 81);
    if (hasResult) {
        beforeView.MoveWindow(6, 35, viewWidth / 2, viewHeight);
        afterView.MoveWindow(6 + viewWidth / 2, 35, viewWidth - viewWidth / 2, viewHeight);
    } else {
        beforeView.MoveWindow(6, 35, viewWidth, viewHeight);
    }
    afterView.ShowWindow(hasResult ? SW_SHOW : SW_HIDE);
    Invalidate(FALSE);
}

void CWhiteBalanceDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    RecalcLayout();
}

void CWhiteBalanceDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize = POINT{500, 400};
}

void CWhiteBalanceDlg::OnPaint()
{
    CPaintDC dc(this);
    if (!ready)
        return;
    RECT c;
    GetClientRect(&c);
    // The frame: a dark band with the hint in white above a black line.
    DrawFrameTitle(dc, RECT{5, 5, c.right - 5, 34}, font, POINT{10, 5}, theUITextTable.GetText(hintText));
    dc.FillSolidRect(5, 34, c.right - 10, 1, RGB(0, 0, 0));
}

BOOL CWhiteBalanceDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (jobRunning) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
    }
    return CSkinDialog::OnSetCursor(wnd, hitTest, message);
}

LRESULT CWhiteBalanceDlg::OnViewNotify(WPARAM code, LPARAM lParam)
{
    const auto* notice = reinterpret_cast<const ZoomViewNotice*>(lParam);
    if (!notice)
        return 0;
    if (code == kZoomNoticeSetCursor) {
        ::SetCursor(jobRunning ? ::LoadCursor(nullptr, IDC_WAIT)
                               : notice->view == &beforeView ? beforeCursor : ::LoadCursor(nullptr, IDC_ARROW));
        return 0;
    }
    if (code == kZoomNoticeChanged && hasResult) {
        ZoomView* other = notice->view == &beforeView ? &afterView : &beforeView;
        other->CopyViewFrom(notice->view);
        return 0;
    }
    if (code != kZoomNoticeButtonDown || notice->view != &beforeView || !notice->data || jobRunning)
        return 0;
    // Clicks on the margins around the photo are not on a pixel.
    POINT p = *static_cast<const POINT*>(notice->data);
    if (!beforeView.ClientToImage(&p))
        return 0;
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    if (p.x < 0 || p.y < 0 || p.x >= static_cast<LONG>(w) || p.y >= static_cast<LONG>(h))
        return 0;
    StartClickJob(p);
    return 0;
}

BOOL CWhiteBalanceDlg::StartClickJob(POINT p)
{
    const BYTE* px = thePhotoDocument.m_image.GetBuffer(p.x, p.y);
    return StartBalance(static_cast<DWORD>(px[0]) | static_cast<DWORD>(px[1]) << 8 | static_cast<DWORD>(px[2]) << 16);
}

void CWhiteBalanceDlg::OnTryAuto()
{
    if (!jobRunning)
        StartBalance(0);
}

BOOL CWhiteBalanceDlg::StartBalance(DWORD colour)
{
    reference = colour;
    balance.SetImages(&thePhotoDocument.m_image, &pending);
    return StartJob(&balance, &reference);
}

BOOL CWhiteBalanceDlg::StartJob(EffectAlgorithm* algorithm, void* argument)
{
    if (jobRunning || theAlgorithmThread.IsBusy())
        return FALSE;
    theAlgorithmThread.SetNotifyWnd(m_hWnd);
    if (!theAlgorithmThread.RunAlgorithm(algorithm, argument, 0, 0, 100))
        return FALSE;
    jobRunning = true;
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    return TRUE;
}

LRESULT CWhiteBalanceDlg::OnJobNotify(WPARAM wParam, LPARAM)
{
    if (wParam != 1 || !jobRunning)
        return 0;
    jobRunning = false;
    const int result = theAlgorithmThread.GetResult();
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    // 1: the click needed no change.
    if (result == 1)
        return 0;
    if (result != 0 || pending.GetAreaByteSize() != work.GetAreaByteSize()) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return 0;
    }
    std::swap(work, pending);
    afterView.SetImage(&work, FALSE);
    if (!hasResult) {
        hasResult = true;
        RecalcLayout();
    }
    afterView.CopyViewFrom(&beforeView);
    afterView.Invalidate(FALSE);
    return 0;
}

void CWhiteBalanceDlg::WaitForJob()
{
    while (jobRunning && m_hWnd)
        ::WaitMessage();
}

void CWhiteBalanceDlg::OnOK()
{
    WaitForJob();
    if (!ready || !thePhotoDocument.m_image.DuplicateFrom(&work)) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return;
    }
    thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, theUITextTable.GetText(undoText));
    font.DeleteObject();
    CSkinDialog::OnOK();
}

void CWhiteBalanceDlg::OnCancel()
{
    WaitForJob();
    font.DeleteObject();
    CSkinDialog::OnCancel();
}

int RunWhiteBalanceDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CWhiteBalanceDlg dialog(parent);
    const int result = static_cast<int>(dialog.DoModal());
    if (result == IDOK && AfxGetMainWnd())
        AfxGetMainWnd()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}
