#include "editor/adjust/AutoProcessDlg.h"

#include "editor/shell/NoticeDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/afx/MsgMap.h"

namespace {

constexpr int kTextAutomaticProcessing = 147;
constexpr int kTextAutoProcessNotice = 149;

}  // namespace

BEGIN_MESSAGE_MAP(CAutoProcessDlg, CToneSliderDlg)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_AUTO_PORTRAIT, IDC_AUTO_NORMAL, OnImageType)
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

BOOL CAutoProcessDlg::RunNextStage(int)
{
    enhance.SetImages(&intermediate, GetWorkImage());
    return RunJob(&enhance, &running, kStageEnhance, 20, 100);
}

int RunAutoProcessDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CAutoProcessDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
