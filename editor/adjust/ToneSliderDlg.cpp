#include "editor/adjust/ToneSliderDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/WinApp.h"

namespace {

constexpr int kTextUnexpectedError = 137;

}  // namespace

BEGIN_MESSAGE_MAP(CToneSliderDlg, CFilterDlg)
    ON_NOTIFY_RANGE(NM_RELEASEDCAPTURE, 1000, 1999, OnReleased)
    ON_WM_HSCROLL()
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnStageNotify)
END_MESSAGE_MAP()

CToneSliderDlg::CToneSliderDlg(UINT templateId, CWnd* parent, const char* key, int undoText, bool redrawMain)
    : CFilterDlg(templateId, parent), undoText(undoText), redrawMain(redrawMain)
{
    dialogKey = key;
}

BOOL CToneSliderDlg::OnInitDialog()
{
    CFilterDlg::OnInitDialog();
    ready = result.GetAreaByteSize() != 0;
    if (!ready) {
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        EndDialog(IDCANCEL);
    }
    return TRUE;
}

void CToneSliderDlg::SetSlider(UINT id, int low, int high, int pos, int page, int tick)
{
    CWnd* slider = GetDlgItem(id);
    if (!slider)
        return;
    slider->SendMessage(TBM_SETRANGEMIN, FALSE, low);
    slider->SendMessage(TBM_SETRANGEMAX, FALSE, high);
    slider->SendMessage(TBM_SETPAGESIZE, 0, page);
    if (tick)
        slider->SendMessage(TBM_SETTICFREQ, tick);
    slider->SendMessage(TBM_SETPOS, TRUE, pos);
}

int CToneSliderDlg::SliderPos(UINT id) const
{
    CWnd* slider = GetDlgItem(id);
    return slider ? static_cast<int>(slider->SendMessage(TBM_GETPOS)) : 0;
}

void CToneSliderDlg::OnSliderReleased(UINT)
{
    UpdatePreview();
}

void CToneSliderDlg::OnReleased(UINT id, NMHDR*, LRESULT* result)
{
    *result = 0;
    if (ready)
        OnSliderReleased(id);
}

void CToneSliderDlg::OnHScroll(UINT code, UINT, CScrollBar* bar)
{
    // A mouse press ends with NM_RELEASEDCAPTURE; keys only end the track.
    CWnd* slider = reinterpret_cast<CWnd*>(bar);
    if (ready && code == TB_ENDTRACK && slider && ::GetCapture() != slider->m_hWnd)
        OnSliderReleased(static_cast<UINT>(slider->GetDlgCtrlID()));
}

LRESULT CToneSliderDlg::OnStageNotify(WPARAM wParam, LPARAM lParam)
{
    // Progress, failures and last stages are the base's.
    const int tag = static_cast<int>(lParam);
    if (wParam != 1 || !IsFirstStage(tag) || !JobPending() || theAlgorithmThread.GetResult() != 0)
        return OnAlgorithmNotify(wParam, lParam);
    ++jobsDone;
    if (closing)
        return 0;
    if (rerunPending) {
        // Settings changed while the first stage ran: start the chain again.
        rerunPending = 0;
        RunAlgorithm();
        return 0;
    }
    if (!RunNextStage(tag)) {
        lastResult = static_cast<int>(E_FAIL);
        OnAlgorithmDone(tag, lastResult);
    }
    return 0;
}

void CToneSliderDlg::OnOK()
{
    if (!ready) {
        CFilterDlg::OnCancel();
        return;
    }
    if (WaitForFinalResult() != 0) {
        // The photo stays as it was; the dialog stays open for another try.
        AfxMessageBox(theUITextTable.GetText(kTextUnexpectedError));
        return;
    }
    if (result.GetAreaByteSize() != 0 && CurrentImage()->DuplicateFrom(&result)) {
        thePhotoDocument.m_history.Push(CurrentImage(), theUITextTable.GetText(undoText));
        CWnd* main = AfxGetMainWnd();
        if (redrawMain && main)
            main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    CFilterDlg::OnOK();
}

void CToneSliderDlg::OnCancel()
{
    WaitUntilIdle();
    CFilterDlg::OnCancel();
}
