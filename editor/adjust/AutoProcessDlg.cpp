#include "editor/adjust/AutoProcessDlg.h"

#include "editor/shell/NoticeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "platform/afx/MsgMap.h"

namespace {

constexpr int kTextAutomaticProcessing = 147;
constexpr int kTextAutoProcessNotice = 149;

}  // namespace

BEGIN_MESSAGE_MAP(CAutoProcessDlg, CToneSliderDlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_AUTO_PORTRAIT, IDC_AUTO_NORMAL, OnImageType)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnChainNotify)
END_MESSAGE_MAP()

CAutoProcessDlg::CAutoProcessDlg(CWnd* parent)
    : CToneSliderDlg(IDD_AUTO_PROCESS, parent, "AutoProcess", kTextAutomaticProcessing, true)
{
}

CAutoProcessDlg::~CAutoProcessDlg()
{
    StopJobAndWait();
}

BOOL CAutoProcessDlg::OnInitDialog()
{
    ShowImportantNotice(theUITextTable.GetText(kTextAutoProcessNotice), nullptr, "autoprocess");
    CToneSliderDlg::OnInitDialog();
    if (!ready)
        return TRUE;
    CheckRadioButton(IDC_AUTO_PORTRAIT, IDC_AUTO_NORMAL, IDC_AUTO_NORMAL);
    UpdatePreview();
    return TRUE;
}

void CAutoProcessDlg::OnImageType(UINT id)
{
    imageType = id == IDC_AUTO_PORTRAIT ? 1 : id == IDC_AUTO_NIGHT ? 2 : 0;
    CheckRadioButton(IDC_AUTO_PORTRAIT, IDC_AUTO_NORMAL, id);
    UpdatePreview();
}

void CAutoProcessDlg::RunAlgorithm()
{
    running = imageType;
    balance.SetImages(CurrentImage(), &intermediate);
    RunJob(&balance, &running, kStageBalance, 0, 20);
}

LRESULT CAutoProcessDlg::OnChainNotify(WPARAM wParam, LPARAM lParam)
{
    // Only a white balance that ended well goes on to the enhancement;
    // everything else (progress, failures, the last stage) is the base's.
    if (wParam != 1 || lParam != kStageBalance || !JobPending() || theAlgorithmThread.GetResult() != 0)
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
    enhance.SetImages(&intermediate, GetWorkImage());
    if (!RunJob(&enhance, &running, kStageEnhance, 20, 100)) {
        lastResult = static_cast<int>(E_FAIL);
        OnAlgorithmDone(kStageEnhance, lastResult);
    }
    return 0;
}

int RunAutoProcessDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CAutoProcessDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
