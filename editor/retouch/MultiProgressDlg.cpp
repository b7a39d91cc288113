#include "editor/retouch/MultiProgressDlg.h"

#include "editor/retouch/MultiWork.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/CommCtrl.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kTextProcessing = 136;
constexpr int kTextUnexpectedError = 137;

BOOL RunOnAlgorithmThread(HWND notify, FilterHost* host, FilterHost::Function run)
{
    theAlgorithmThread.SetNotifyWnd(notify);
    return theAlgorithmThread.RunAlgorithm(host, reinterpret_cast<void*>(run), 0, 0, 100);
}

void WaitWhileBusy()
{
    while (theAlgorithmThread.IsBusy())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

BEGIN_MESSAGE_MAP(CMultiProgressDlg, CSkinDialog)
    ON_MESSAGE(WM_MULTI_PROGRESS, OnProgress)
END_MESSAGE_MAP()

CMultiProgressDlg::CMultiProgressDlg(CMultiWork* work, CWnd* parent)
    : CSkinDialog(IDD_MULTI_PROGRESS, parent), m_work(work)
{
}

BOOL CMultiProgressDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    SendDlgItemMessage(IDC_MULTI_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    CMultiWork::calls.postMessage = ::PostMessage;
    CMultiWork::calls.runJob = RunOnAlgorithmThread;
    m_work->Start(m_hWnd);
    return TRUE;
}

LRESULT CMultiProgressDlg::OnProgress(WPARAM percent, LPARAM photo)
{
    // The final notice comes from inside the job: let it end before the
    // work, which holds the job, can go.
    if (percent > 100)
        WaitWhileBusy();
    if (percent == kMultiDone) {
        EndDialog(IDOK);
    } else if (percent > 100) {
        MessageBox(theUITextTable.GetText(kTextUnexpectedError), nullptr, MB_OK | MB_ICONERROR);
        EndDialog(IDCANCEL);
    } else {
        if (photo > 0) {
            char text[64];
            std::snprintf(text, sizeof text, theUITextTable.GetText(kTextProcessing), static_cast<int>(photo - 1));
            SetDlgItemText(IDC_MULTI_PROGRESS_TEXT, text);
        }
        SendDlgItemMessage(IDC_MULTI_PROGRESS_BAR, PBM_SETPOS, percent);
    }
    return 0;
}

// Closing stops the merge and waits for its end: the work outlives its job,
// and the open photo stays as it was.
void CMultiProgressDlg::OnCancel()
{
    theAlgorithmThread.StopAlgorithm();
    WaitWhileBusy();
    EndDialog(IDCANCEL);
}
